#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

namespace gridlume {

// The D-Bus object that Gridlume's KWin script calls: it hands the script its next request and
// takes the script's answers and events. It lives on a thread of its own, so that the main thread
// can wait for an answer without running its event loop; every public method is thread-safe.
//
// The script asks for its next request with poll(), which is answered once a request is queued.
// A poll that waits longer than the bus lets a call wait would fail and end the script's loop, so
// it is answered empty after `keepAliveInterval`.
class KWinScriptEndpoint final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gridlume.KWinScript")
public:
    static constexpr std::chrono::milliseconds keepAliveInterval { 20000 };

    explicit KWinScriptEndpoint(QDBusConnection connection);

    // Queues a request (a JSON object's text) for the script; its answer comes to reply() with
    // the same `id`.
    void send(int id, const QString& request);
    // Waits for the answer to `id` until `deadline`; none when it does not come in time.
    std::optional<QString> waitForReply(int id, std::chrono::steady_clock::time_point deadline);

    // Answers a waiting poll empty and stops the keep-alive timer; on the endpoint's thread.
    void stop();

public Q_SLOTS:
    // Called by the script over D-Bus.
    QString poll();
    void reply(int id, const QString& result);
    void event(const QString& event);

Q_SIGNALS:
    // The script reported an event (a JSON object's text); emitted on the endpoint's thread.
    void eventReceived(const QString& event);

private:
    void answerPendingPoll(const QString& request);
    void keepAlive();

    QDBusConnection m_connection;
    QTimer m_keepAliveTimer;
    std::mutex m_mutex;
    std::condition_variable m_replied;
    std::optional<QDBusMessage> m_pendingPoll;
    std::deque<QString> m_requests;
    // Requests whose answer is still waited for; a late answer to any other is dropped.
    QSet<int> m_awaited;
    QHash<int, QString> m_replies;
};

} // namespace gridlume
