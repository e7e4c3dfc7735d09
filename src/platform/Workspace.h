#pragma once

#include "RunningApplication.h"
#include "Subscription.h"

#include <functional>
#include <optional>

namespace gridlume {

enum class WorkspaceNotification {
    // Another application became the active one.
    DidActivateApplication,
    // An application's process ended.
    DidTerminateApplication,
};

// What a workspace notification carries. `application` is absent when the backend could not
// tell which application the notification is about.
struct WorkspaceNotificationInfo {
    WorkspaceNotification name;
    std::optional<RunningApplication> application;
};

// The running applications of the desktop session.
class Workspace {
public:
    virtual ~Workspace() = default;

    // The application the user works in, or none (no window is active, or it belongs to no
    // known process).
    virtual std::optional<RunningApplication> frontmostApplication() const = 0;

    // This process's identifier.
    virtual pid_t currentProcessIdentifier() const = 0;

    // Calls `block` on the main thread for every notification of that name, after the event
    // that caused it has been processed, until the returned subscription is cancelled or
    // destroyed. The block never runs inside this call.
    virtual Subscription addObserver(WorkspaceNotification name,
        std::function<void(const WorkspaceNotificationInfo&)> block)
        = 0;
};

} // namespace gridlume
