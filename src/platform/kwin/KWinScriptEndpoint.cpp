#include "KWinScriptEndpoint.h"

namespace gridlume {

KWinScriptEndpoint::KWinScriptEndpoint(QDBusConnection connection)
    : m_connection(std::move(connection))
    , m_keepAliveTimer(this)
{
    m_keepAliveTimer.setSingleShot(true);
    m_keepAliveTimer.setInterval(keepAliveInterval);
    connect(&m_keepAliveTimer, &QTimer::timeout, this, &KWinScriptEndpoint::keepAlive);
}

void KWinScriptEndpoint::send(int id, const QString& request)
{
    std::lock_guard lock(m_mutex);
    m_awaited.insert(id);
    if (m_pendingPoll)
        answerPendingPoll(request);
    else
        m_requests.push_back(request);
}

std::optional<QString> KWinScriptEndpoint::waitForReply(int id, std::chrono::steady_clock::time_point deadline)
{
    std::unique_lock lock(m_mutex);
    const bool answered = m_replied.wait_until(lock, deadline, [&] { return m_replies.contains(id); });
    m_awaited.remove(id);
    if (!answered)
        return std::nullopt;
    return m_replies.take(id);
}

QString KWinScriptEndpoint::poll()
{
    std::lock_guard lock(m_mutex);
    if (!m_requests.empty()) {
        QString request = m_requests.front();
        m_requests.pop_front();
        return request;
    }
    // Only one poll is outstanding at a time; a newer one replaces a forgotten one.
    if (m_pendingPoll)
        answerPendingPoll(QString());
    setDelayedReply(true);
    m_pendingPoll = message();
    m_keepAliveTimer.start();
    return {};
}

void KWinScriptEndpoint::answerPendingPoll(const QString& request)
{
    m_connection.send(m_pendingPoll->createReply(request));
    m_pendingPoll.reset();
}

void KWinScriptEndpoint::keepAlive()
{
    std::lock_guard lock(m_mutex);
    if (m_pendingPoll)
        answerPendingPoll(QString());
}

void KWinScriptEndpoint::reply(int id, const QString& result)
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_awaited.contains(id))
            return;
        m_replies.insert(id, result);
    }
    m_replied.notify_all();
}

void KWinScriptEndpoint::stop()
{
    std::lock_guard lock(m_mutex);
    m_keepAliveTimer.stop();
    if (m_pendingPoll)
        answerPendingPoll(QString());
}

void KWinScriptEndpoint::event(const QString& event)
{
    Q_EMIT eventReceived(event);
}

} // namespace gridlume
