#include "WorkspaceObservers.h"

#include <QPointer>

#include <vector>

namespace gridlume {

Subscription WorkspaceObservers::add(
    WorkspaceNotification name, std::function<void(const WorkspaceNotificationInfo&)> block)
{
    const quint64 id = m_nextObserverID++;
    m_observers.emplace(id, Observer { name, std::move(block) });
    return Subscription([self = QPointer<WorkspaceObservers>(this), id] {
        if (self)
            self->m_observers.erase(id);
    });
}

void WorkspaceObservers::notify(WorkspaceNotification name, const RunningApplication& application)
{
    const WorkspaceNotificationInfo info { name, application };
    std::vector<quint64> ids;
    for (const auto& [id, observer] : m_observers) {
        if (observer.name == name)
            ids.push_back(id);
    }
    for (quint64 id : ids) {
        auto found = m_observers.find(id);
        if (found == m_observers.end())
            continue;
        auto block = found->second.block;
        block(info);
    }
}

void WorkspaceObservers::watchForExit(const RunningApplication& application)
{
    const pid_t pid = application.processIdentifier();
    if (m_exitWatchers.find(pid) != m_exitWatchers.end())
        return;
    auto watcher = std::make_unique<ProcessExitWatcher>(pid, application.launchIdentity());
    connect(watcher.get(), &ProcessExitWatcher::exited, this, [this, application] {
        // The watcher is done; drop it after its signal has returned.
        auto found = m_exitWatchers.find(application.processIdentifier());
        if (found != m_exitWatchers.end()) {
            found->second.release()->deleteLater();
            m_exitWatchers.erase(found);
        }
        notify(WorkspaceNotification::DidTerminateApplication, application);
    });
    m_exitWatchers.emplace(pid, std::move(watcher));
}

} // namespace gridlume
