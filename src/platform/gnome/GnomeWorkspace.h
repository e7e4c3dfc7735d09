#pragma once

#include "platform/Workspace.h"
#include "platform/linux/WindowApplications.h"
#include "platform/linux/WorkspaceObservers.h"

#include <QObject>

namespace gridlume {

class GnomeShellChannel;

// The session's applications as GNOME Shell sees them: the frontmost application owns Shell's
// focused window, which the extension reports on every change of focus; this process's own
// windows and "no focused window" are not activations. Each reported application is watched, and
// its exit is a termination. The frontmost application is the one of the last activation
// reported, so that asking for it does not wait for Shell; until the first report, and after the
// extension restarted, Shell is asked.
//
// Names come from WindowApplications, with the application id Shell reports (its desktop file's
// id when Shell knows the application, else the Wayland app id or the X11 class).
class GnomeWorkspace final : public QObject, public Workspace {
    Q_OBJECT
public:
    explicit GnomeWorkspace(GnomeShellChannel& channel, QObject* parent = nullptr);

    std::optional<RunningApplication> frontmostApplication() const override;
    pid_t currentProcessIdentifier() const override;
    Subscription addObserver(
        WorkspaceNotification name, std::function<void(const WorkspaceNotificationInfo&)> block) override;

private:
    std::optional<RunningApplication> applicationOf(int pid, const QString& appId) const;
    void reportActivation(quint32 window, int pid, const QString& appId);

    GnomeShellChannel& m_channel;
    WindowApplications m_applications;
    // Watching starts lazily, from const reads too.
    mutable WorkspaceObservers m_observers;
    std::optional<std::optional<RunningApplication>> m_frontmost;
};

} // namespace gridlume
