#pragma once

#include "platform/linux/WorkspaceObservers.h"
#include "X11EventListener.h"
#include "platform/Log.h"
#include "platform/Workspace.h"

#include <QObject>
#include <QTimer>

#include <map>
#include <memory>

#include <xcb/xcb.h>

namespace gridlume {

class X11ApplicationResolver;
class X11Connection;

// The desktop session's applications as the window manager sees them.
//
// The frontmost application owns _NET_ACTIVE_WINDOW. Every change of that property to a window
// of another process is an activation; 0 (nothing active) and this process's own windows are
// not. Each application reported here is watched, and its exit is a termination.
class X11Workspace final : public QObject, public Workspace, private X11EventListener {
    Q_OBJECT
public:
    X11Workspace(X11Connection& connection, X11ApplicationResolver& resolver, LogSink& logSink, QObject* parent = nullptr);
    ~X11Workspace() override;

    std::optional<RunningApplication> frontmostApplication() const override;
    pid_t currentProcessIdentifier() const override;
    Subscription addObserver(WorkspaceNotification name, std::function<void(const WorkspaceNotificationInfo&)> block) override;

private:
    void handleEvent(const xcb_generic_event_t* event) override;
    xcb_window_t activeWindow() const;
    void reportActivation();

    X11Connection& m_connection;
    X11ApplicationResolver& m_resolver;
    Logger m_logger;
    QTimer m_activationTimer;
    // Watching starts lazily, from const reads too.
    mutable WorkspaceObservers m_observers;
};

} // namespace gridlume
