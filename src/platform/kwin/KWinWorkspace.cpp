#include "KWinWorkspace.h"

#include "KWinScriptChannel.h"

#include <QJsonObject>
#include <QPointer>

#include <unistd.h>

namespace gridlume {

KWinWorkspace::KWinWorkspace(KWinScriptChannel& channel, QObject* parent)
    : QObject(parent)
    , m_channel(channel)
{
    // Events reach the main thread through its event loop, never inside a platform call.
    connect(&channel, &KWinScriptChannel::eventReceived, this, [this](const QString& kind, const QJsonValue& data) {
        if (kind == QLatin1String("activated"))
            reportActivation(data);
    });
}

KWinWorkspace::~KWinWorkspace() = default;

pid_t KWinWorkspace::currentProcessIdentifier() const
{
    return ::getpid();
}

std::optional<RunningApplication> KWinWorkspace::frontmostApplication() const
{
    if (m_frontmost)
        return *m_frontmost;
    const auto answer
        = m_channel.request({ { QStringLiteral("op"), QStringLiteral("active") } }, KWinScriptChannel::answerDeadline);
    if (!answer)
        return std::nullopt;
    std::optional<RunningApplication> application = applicationOfWindow(answer->value(QStringLiteral("active")));
    if (application)
        m_observers.watchForExit(*application);
    return application;
}

std::optional<RunningApplication> KWinWorkspace::applicationOfWindow(const QJsonValue& value) const
{
    const QJsonObject window = value.toObject();
    return m_applications.application(pid_t(window.value(QStringLiteral("pid")).toInt()),
        window.value(QStringLiteral("desktopFileName")).toString(),
        window.value(QStringLiteral("resourceName")).toString(),
        window.value(QStringLiteral("resourceClass")).toString());
}

void KWinWorkspace::reportActivation(const QJsonValue& window)
{
    const std::optional<RunningApplication> application = applicationOfWindow(window);
    m_frontmost = application;
    if (!application || application->processIdentifier() == currentProcessIdentifier())
        return;
    m_observers.watchForExit(*application);
    m_observers.notify(WorkspaceNotification::DidActivateApplication, *application);
}

Subscription KWinWorkspace::addObserver(
    WorkspaceNotification name, std::function<void(const WorkspaceNotificationInfo&)> block)
{
    return m_observers.add(name, std::move(block));
}

} // namespace gridlume
