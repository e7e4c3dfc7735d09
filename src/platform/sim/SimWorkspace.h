#pragma once

#include "platform/Workspace.h"

#include <QMap>

namespace gridlume {

class SimDesktop;

class SimWorkspace final : public Workspace {
public:
    explicit SimWorkspace(SimDesktop& desktop)
        : m_desktop(desktop)
    {
    }

    std::optional<RunningApplication> frontmostApplication() const override;
    pid_t currentProcessIdentifier() const override;
    Subscription addObserver(
        WorkspaceNotification name, std::function<void(const WorkspaceNotificationInfo&)> block) override;

    // Runs the observers of the notification's name, in registration order.
    void post(const WorkspaceNotificationInfo& info);
    int observerCount() const { return int(m_observers.size()); }
    int observerCount(WorkspaceNotification name) const;

private:
    struct Observer {
        WorkspaceNotification name;
        std::function<void(const WorkspaceNotificationInfo&)> block;
    };
    SimDesktop& m_desktop;
    QMap<quint64, Observer> m_observers;
    quint64 m_nextObserverID = 1;
};

} // namespace gridlume
