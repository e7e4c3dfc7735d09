#include "KWinWorkspace.h"

#include "KWinScriptChannel.h"
#include "platform/linux/ProcessExitWatcher.h"
#include "platform/linux/ProcessStartTime.h"

#include <QFile>
#include <QFileInfo>
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
    const pid_t pid = pid_t(window.value(QStringLiteral("pid")).toInt());
    if (pid <= 0)
        return std::nullopt;
    const std::optional<quint64> startTime = processStartTime(pid);
    if (!startTime)
        return std::nullopt;
    const auto key = qMakePair(pid, *startTime);
    if (auto cached = m_cache.constFind(key); cached != m_cache.constEnd())
        return *cached;

    const QString desktopFileName = window.value(QStringLiteral("desktopFileName")).toString();
    const QString className = window.value(QStringLiteral("resourceClass")).toString();
    const QString instanceName = window.value(QStringLiteral("resourceName")).toString();
    std::optional<DesktopEntry> entry;
    if (!desktopFileName.isEmpty())
        entry = m_desktopEntries.find(desktopFileName, desktopFileName);
    if (!entry)
        entry = m_desktopEntries.find(instanceName, className);
    const ApplicationNaming naming = nameApplication(entry, className, pid);
    RunningApplication application(pid, *startTime, naming.name, naming.identifier, naming.icon);
    m_cache.insert(key, application);
    return application;
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
