#pragma once

#include <QObject>
#include <QTimer>

#include <memory>
#include <sys/types.h>

class QSocketNotifier;

namespace gridlume {

// Tells when one process instance ends, whether or not it is our child.
//
// exited() is emitted once, from the event loop. A process that is already gone, or whose pid
// now belongs to a newer process than `startTime` names, counts as exited at once (still
// reported from the event loop, never from the constructor).
//
// The exit is seen through a pidfd. Where pidfd_open is not available (an older kernel: ENOSYS;
// a sandbox that filters it: EPERM), the process's /proc entry is checked once a second instead;
// only ESRCH means the process is gone.
class ProcessExitWatcher final : public QObject {
    Q_OBJECT
public:
    // pidfd_open(2): a descriptor, or -1 with errno set.
    using OpenPidfd = int (*)(pid_t pid);
    static int openPidfd(pid_t pid);

    ProcessExitWatcher(pid_t pid, quint64 startTime, QObject* parent = nullptr, OpenPidfd open = &openPidfd);
    ~ProcessExitWatcher() override;

    pid_t processIdentifier() const { return m_pid; }
    // True while the exit is watched by polling /proc, for want of a pidfd.
    bool isPolling() const { return m_pollTimer.isActive(); }

    static constexpr int pollInterval = 1000;

Q_SIGNALS:
    void exited();

private:
    void reportExit();
    void poll();

    pid_t m_pid;
    quint64 m_startTime;
    int m_pidfd = -1;
    bool m_didReport = false;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QTimer m_pollTimer;
};

} // namespace gridlume
