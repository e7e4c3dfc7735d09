#include "GnomeWorkspace.h"

#include "GnomeShellChannel.h"

#include <unistd.h>

namespace gridlume {

GnomeWorkspace::GnomeWorkspace(GnomeShellChannel& channel, QObject* parent)
    : QObject(parent)
    , m_channel(channel)
{
    connect(&channel, &GnomeShellChannel::windowActivated, this, &GnomeWorkspace::reportActivation);
    connect(&channel, &GnomeShellChannel::availabilityChanged, this, [this] { m_frontmost.reset(); });
}

pid_t GnomeWorkspace::currentProcessIdentifier() const
{
    return ::getpid();
}

std::optional<RunningApplication> GnomeWorkspace::applicationOf(int pid, const QString& appId) const
{
    QString id = appId;
    if (id.endsWith(QLatin1String(".desktop")))
        id.chop(8);
    return m_applications.application(pid_t(pid), id, id, id);
}

std::optional<RunningApplication> GnomeWorkspace::frontmostApplication() const
{
    if (m_frontmost)
        return *m_frontmost;
    const auto active = m_channel.call(QStringLiteral("ActiveWindow"));
    if (!active || active->size() != 3)
        return std::nullopt;
    std::optional<RunningApplication> application = applicationOf(active->at(1).toInt(), active->at(2).toString());
    if (application)
        m_observers.watchForExit(*application);
    return application;
}

void GnomeWorkspace::reportActivation(quint32, int pid, const QString& appId)
{
    const std::optional<RunningApplication> application = applicationOf(pid, appId);
    m_frontmost = application;
    if (!application || application->processIdentifier() == currentProcessIdentifier())
        return;
    m_observers.watchForExit(*application);
    m_observers.notify(WorkspaceNotification::DidActivateApplication, *application);
}

Subscription GnomeWorkspace::addObserver(
    WorkspaceNotification name, std::function<void(const WorkspaceNotificationInfo&)> block)
{
    return m_observers.add(name, std::move(block));
}

} // namespace gridlume
