#pragma once

#include "platform/linux/DesktopEntryIndex.h"
#include "platform/RunningApplication.h"

#include <QHash>
#include <QIcon>

#include <optional>

#include <xcb/xcb.h>

namespace gridlume {

class X11Connection;
class X11ProcessLookup;

// Turns a client window into the running application it belongs to.
//
// The name and identifier come from the desktop entry that WM_CLASS matches, else the WM_CLASS
// class, else the process's command name; the icon from the entry's theme icon, else the
// window's _NET_WM_ICON. Descriptions are cached per process instance.
class X11ApplicationResolver {
public:
    X11ApplicationResolver(X11Connection& connection, X11ProcessLookup& processLookup);

    // None when the window's process is unknown or already gone.
    std::optional<RunningApplication> applicationOfWindow(xcb_window_t window);

private:
    RunningApplication describe(pid_t pid, quint64 startTime, xcb_window_t window);
    QIcon windowIcon(xcb_window_t window) const;

    X11Connection& m_connection;
    X11ProcessLookup& m_processLookup;
    DesktopEntryIndex m_desktopEntries;
    QHash<QPair<pid_t, quint64>, RunningApplication> m_cache;
};

} // namespace gridlume
