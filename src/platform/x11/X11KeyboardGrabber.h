#pragma once

#include "X11EventListener.h"
#include "platform/KeyboardGrabber.h"
#include "platform/Log.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSet>
#include <QTimer>

namespace gridlume {

class X11Connection;

// An active keyboard grab on the root window, on the backend's own connection.
//
// The grab moves no focus: the focused window keeps it (and its window manager keeps it active),
// it only stops receiving key presses until the grab ends. Taken on the connection that holds the
// hot keys' passive grabs, so that the press of the shortcut that showed the panels, whose grab is
// still active while its key is down, does not stand in the way, and so that the shortcut pressed
// again reaches the hot key handlers. Another client's grab (a desktop's key binding daemon that
// ran `gridlume --toggle`) ends when its key is released; the grab is tried again until then.
// A grab that ends while keys pressed under it are down lasts until they are up: their releases
// go where their presses went (the hot key platform, which tells a held key by its release).
class X11KeyboardGrabber final : public QObject, public KeyboardGrabber, private X11EventListener {
    Q_OBJECT
public:
    X11KeyboardGrabber(X11Connection& connection, LogSink& logSink, QObject* parent = nullptr);
    ~X11KeyboardGrabber() override;

    Subscription grabKeyboard(std::function<void(const KeyEvent&)> handler) override;

private:
    void handleEvent(const xcb_generic_event_t* event) override;
    void tryGrab();
    void release();
    void ungrab();

    X11Connection& m_connection;
    Logger m_logger;
    std::function<void(const KeyEvent&)> m_handler;
    quint64 m_generation = 0;
    bool m_isGrabbed = false;
    // The keys pressed under the grab and not released yet.
    QSet<quint8> m_keysDown;
    bool m_didReportFailure = false;
    QTimer m_retryTimer;
    QElapsedTimer m_retryClock;
};

} // namespace gridlume
