#pragma once

#include "DesktopEntryIndex.h"
#include "platform/RunningApplication.h"

#include <QHash>
#include <QPair>
#include <QString>

#include <optional>
#include <sys/types.h>

namespace gridlume {

// The applications of the windows a compositor reports, named once per process: by the window's
// desktop file (a compositor knows it for Wayland windows), else the desktop entry its class
// matches, else the class, else the process's command name. Cached by process and start time, so
// that a reused process id is another application. Main thread only.
class WindowApplications {
public:
    // None for a process that is not there (any more), or an unknown one (pid 0).
    std::optional<RunningApplication> application(
        pid_t pid, const QString& desktopFileName, const QString& instanceName, const QString& className) const;

private:
    DesktopEntryIndex m_desktopEntries;
    mutable QHash<QPair<pid_t, quint64>, RunningApplication> m_cache;
};

} // namespace gridlume
