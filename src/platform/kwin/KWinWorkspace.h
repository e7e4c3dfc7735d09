#pragma once

#include "platform/Workspace.h"
#include "platform/linux/WindowApplications.h"
#include "platform/linux/WorkspaceObservers.h"

#include <QJsonValue>
#include <QObject>

#include <map>
#include <memory>

namespace gridlume {

class KWinScriptChannel;

// The session's applications as KWin sees them: the frontmost application owns KWin's active
// window, which the script reports on every activation; this process's own windows and "no
// active window" are not activations. Each reported application is watched, and its exit is a
// termination. The frontmost application is the one of the last activation reported, so that
// asking for it does not wait for KWin.
//
// Names and identifiers are WindowApplications' (KWin knows the desktop file of a Wayland window).
class KWinWorkspace final : public QObject, public Workspace {
    Q_OBJECT
public:
    KWinWorkspace(KWinScriptChannel& channel, QObject* parent = nullptr);
    ~KWinWorkspace() override;

    std::optional<RunningApplication> frontmostApplication() const override;
    pid_t currentProcessIdentifier() const override;
    Subscription addObserver(
        WorkspaceNotification name, std::function<void(const WorkspaceNotificationInfo&)> block) override;

private:
    std::optional<RunningApplication> applicationOfWindow(const QJsonValue& window) const;
    void reportActivation(const QJsonValue& window);

    KWinScriptChannel& m_channel;
    WindowApplications m_applications;
    // Watching starts lazily, from const reads too.
    mutable WorkspaceObservers m_observers;
    // The application of KWin's active window as last reported (none: no active window), once
    // the script has reported one; until then KWin is asked.
    std::optional<std::optional<RunningApplication>> m_frontmost;
};

} // namespace gridlume
