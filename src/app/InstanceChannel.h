#pragma once

#include <QByteArray>
#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <functional>
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
    // Followed by a space and the request's arguments; answered by the request handler.
    static inline const QByteArray placeCommand = "place";

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
    // Sends `command` and returns the running instance's one-line answer; none when it cannot
    // be reached or does not answer in time (`error` says which).
    std::optional<QByteArray> requestFromPrimaryInstance(
        const QByteArray& command, int timeoutMs, QString* error = nullptr) const;
    // Answers commands that start with placeCommand in the primary instance: gets the whole
    // command line, returns the answer line (without its newline).
    void setRequestHandler(std::function<QByteArray(const QByteArray&)> handler)
    {
        m_requestHandler = std::move(handler);
    }

    const QString& socketPath() const { return m_socketPath; }

Q_SIGNALS:
    // Emitted in the primary instance for every command a later start sent.
    void commandReceived(const QByteArray& command);

private:
    void acceptConnections();

    QString m_socketPath;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<QLocalServer> m_server;
    std::function<QByteArray(const QByteArray&)> m_requestHandler;
};

} // namespace gridlume
