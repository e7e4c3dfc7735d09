#include "platform/sim/SimWorkspace.h"

#include "platform/sim/SimDesktop.h"

namespace gridlume {

std::optional<RunningApplication> SimWorkspace::frontmostApplication() const
{
    if (!m_desktop.m_frontmost || !m_desktop.m_applications.contains(*m_desktop.m_frontmost))
        return std::nullopt;
    return m_desktop.application(*m_desktop.m_frontmost);
}

pid_t SimWorkspace::currentProcessIdentifier() const
{
    return m_desktop.currentProcessIdentifier();
}

Subscription SimWorkspace::addObserver(
    WorkspaceNotification name, std::function<void(const WorkspaceNotificationInfo&)> block)
{
    const quint64 id = m_nextObserverID++;
    m_observers.insert(id, Observer { name, std::move(block) });
    return Subscription([this, id] { m_observers.remove(id); });
}

void SimWorkspace::post(const WorkspaceNotificationInfo& info)
{
    // Observers may remove themselves (or others) while being called.
    const QList<quint64> ids = m_observers.keys();
    for (quint64 id : ids) {
        auto it = m_observers.constFind(id);
        if (it != m_observers.constEnd() && it->name == info.name) {
            const auto block = it->block;
            block(info);
        }
    }
}

int SimWorkspace::observerCount(WorkspaceNotification name) const
{
    int count = 0;
    for (const Observer& observer : m_observers)
        count += observer.name == name ? 1 : 0;
    return count;
}

} // namespace gridlume
