#pragma once

#include <QByteArray>
#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

namespace gridlume {

// Keeps Gridlume to one instance per user and display, and lets a later start talk to it.
// The first instance holds a lock file and listens on a local socket next to it, in the user's
// runtime directory (mode 0700) with the socket itself 0600, so that no other user can reach
// it. A later start finds the lock held and sends its command instead.
class InstanceChannel : public QObject {
    Q_OBJECT
public:
    static inline const QByteArray showSettingsCommand = "show-settings";
    static inline const QByteArray toggleCommand = "toggle";

    // `socketPath` defaults to defaultSocketPath() for the display.
    explicit InstanceChannel(QString socketPath, QObject* parent = nullptr);
    ~InstanceChannel() override;

    // $XDG_RUNTIME_DIR/gridlume-<display>.socket; without a runtime directory, a 0700 folder of
    // our own under the temporary directory. Empty when neither can be made private.
    static QString defaultSocketPath(const QByteArray& displayName);

    // Takes the lock and listens. False when another instance holds it (or it cannot be taken;
    // `error` says which).
    bool becomePrimaryInstance(QString* error = nullptr);
    // Sends `command` to the running instance and waits (up to `timeoutMs`) for its answer.
    // True when it confirmed.
    bool sendToPrimaryInstance(const QByteArray& command, int timeoutMs = 3000, QString* error = nullptr) const;

    const QString& socketPath() const { return m_socketPath; }

Q_SIGNALS:
    // Emitted in the primary instance for every command a later start sent.
    void commandReceived(const QByteArray& command);

private:
    void acceptConnections();

    QString m_socketPath;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<QLocalServer> m_server;
};

} // namespace gridlume
