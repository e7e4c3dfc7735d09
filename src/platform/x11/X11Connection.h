#pragma once

#include "X11Atoms.h"

#include <QByteArray>
#include <QMetaObject>
#include <QObject>
#include <QSet>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include <xcb/xcb.h>

class QSocketNotifier;

namespace gridlume {

class X11EventListener;

// The backend's connection to the X server and its event pump.
//
// Events are read on the main thread: when the socket becomes readable, before the event loop
// goes to sleep (replies read by a round trip may have pulled events into xcb's queue without
// the socket staying readable), and inside waitForEvent(). Every event goes to every listener,
// whichever of these paths read it, so a synchronous wait never swallows a screen or activation
// change.
class X11Connection final : public QObject {
    Q_OBJECT
public:
    // Connects to `displayName` ($DISPLAY when empty). Null, with a one-line reason in
    // `errorMessage`, when no X server answers there.
    static std::unique_ptr<X11Connection> open(const QByteArray& displayName, QString* errorMessage);
    ~X11Connection() override;

    xcb_connection_t* xcb() const { return m_connection; }
    xcb_window_t root() const { return m_root; }
    const X11Atoms& atoms() const { return m_atoms; }
    const QByteArray& displayName() const { return m_displayName; }

    // False once the server closed the connection or a protocol error broke it.
    bool isUsable() const;

    void addEventListener(X11EventListener* listener);
    void removeEventListener(X11EventListener* listener);

    // Hands every event already read from the server to the listeners; never blocks.
    void dispatchQueuedEvents();

    // Reads and dispatches events until `isDone` accepts one or `timeout` has passed; the
    // accepted event is dispatched too. False on time-out or a broken connection.
    bool waitForEvent(const std::function<bool(const xcb_generic_event_t*)>& isDone, std::chrono::milliseconds timeout);

    // Selects property and structure events on a client window (once; the selection is shared
    // by every part of the backend, since a second select on the same connection would replace
    // the first).
    void watchClientWindow(xcb_window_t window);

    // The 32-bit items of a property reply (CARDINAL, WINDOW, ATOM); empty for another format.
    static std::vector<quint32> values32(const xcb_get_property_reply_t* reply);

private:
    X11Connection(xcb_connection_t* connection, QByteArray displayName);
    void dispatch(const xcb_generic_event_t* event);
    void readAndDispatchEvents();

    xcb_connection_t* m_connection = nullptr;
    QByteArray m_displayName;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    X11Atoms m_atoms;
    std::vector<X11EventListener*> m_listeners;
    QSet<xcb_window_t> m_watchedWindows;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QMetaObject::Connection m_aboutToBlockConnection;
};

} // namespace gridlume
