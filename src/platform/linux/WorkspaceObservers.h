#pragma once

#include "ProcessExitWatcher.h"
#include "platform/Subscription.h"
#include "platform/Workspace.h"

#include <QObject>

#include <functional>
#include <map>
#include <memory>

namespace gridlume {

// What a workspace backend shares: its observers, and the exit of every application it reported,
// which it announces as a termination.
class WorkspaceObservers final : public QObject {
public:
    Subscription add(WorkspaceNotification name, std::function<void(const WorkspaceNotificationInfo&)> block);
    // Observers may add or remove observers while they run.
    void notify(WorkspaceNotification name, const RunningApplication& application);
    // Watches the application's process once; its exit is a DidTerminateApplication.
    void watchForExit(const RunningApplication& application);

private:
    struct Observer {
        WorkspaceNotification name;
        std::function<void(const WorkspaceNotificationInfo&)> block;
    };

    std::map<quint64, Observer> m_observers;
    quint64 m_nextObserverID = 1;
    std::map<pid_t, std::unique_ptr<ProcessExitWatcher>> m_exitWatchers;
};

} // namespace gridlume
