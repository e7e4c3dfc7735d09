#pragma once

#include "platform/KeyEvent.h"
#include "platform/Log.h"

#include <QByteArray>
#include <QObject>
#include <QSet>

#include <map>
#include <memory>

class QSocketNotifier;

namespace gridlume {

// Key presses anywhere on the desktop, as XInput 2.2 raw key events on the root window.
//
// Raw events reach every client that selects them, whoever has the focus or a grab, and they
// never take the key away from its window. They come on a second connection of their own, so
// that a burst of typing never sits in front of the replies the rest of the backend waits for,
// and they are selected only while at least one monitor is installed.
class X11GlobalKeyMonitor final : public QObject, public GlobalKeyMonitor {
    Q_OBJECT
public:
    X11GlobalKeyMonitor(QByteArray displayName, LogSink& logSink, QObject* parent = nullptr);
    ~X11GlobalKeyMonitor() override;

    Subscription addGlobalKeyDownMonitor(
        std::function<void(const KeyEvent&)> handler, GlobalKeyPresses presses) override;

private:
    bool ensureConnection();
    void selectRawEvents(bool enabled);
    void readEvents();
    bool hasOwnWindowTheFocus() const;
    void removeHandler(quint64 id);

    QByteArray m_displayName;
    Logger m_logger;
    struct Connection;
    std::unique_ptr<Connection> m_connection;
    std::unique_ptr<QSocketNotifier> m_notifier;
    struct Handler {
        std::function<void(const KeyEvent&)> handler;
        GlobalKeyPresses presses;
    };
    std::map<quint64, Handler> m_handlers;
    quint64 m_nextID = 1;
    QSet<quint32> m_pressedModifierKeycodes;
};

} // namespace gridlume
