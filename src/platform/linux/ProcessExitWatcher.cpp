#include "ProcessExitWatcher.h"

#include "ProcessStartTime.h"

#include <QSocketNotifier>

#include <cerrno>
#include <sys/syscall.h>
#include <unistd.h>

namespace gridlume {

int ProcessExitWatcher::openPidfd(pid_t pid) { return int(::syscall(SYS_pidfd_open, pid, 0)); }

ProcessExitWatcher::ProcessExitWatcher(pid_t pid, quint64 startTime, QObject* parent, OpenPidfd open)
    : QObject(parent)
    , m_pid(pid)
    , m_startTime(startTime)
{
    m_pidfd = open(pid);
    const int openError = m_pidfd < 0 ? errno : 0;
    // Checked after opening: from here on the pidfd refers to whatever process had the pid,
    // so a start time that still matches proves it is the instance we were asked about.
    if ((m_pidfd < 0 && openError == ESRCH) || processStartTime(pid) != startTime) {
        QMetaObject::invokeMethod(this, &ProcessExitWatcher::reportExit, Qt::QueuedConnection);
        return;
    }
    if (m_pidfd < 0) {
        // The start time read at each tick tells a recycled pid from the process watched.
        m_pollTimer.setInterval(pollInterval);
        m_pollTimer.setTimerType(Qt::CoarseTimer);
        connect(&m_pollTimer, &QTimer::timeout, this, &ProcessExitWatcher::poll);
        m_pollTimer.start();
        return;
    }
    // "A PID file descriptor can be monitored using poll(2) ... When the process that it
    // refers to terminates, these interfaces indicate the file descriptor as readable."
    m_notifier = std::make_unique<QSocketNotifier>(m_pidfd, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &ProcessExitWatcher::reportExit);
}

ProcessExitWatcher::~ProcessExitWatcher()
{
    m_notifier.reset();
    if (m_pidfd >= 0)
        ::close(m_pidfd);
}

void ProcessExitWatcher::poll()
{
    if (processStartTime(m_pid) != m_startTime)
        reportExit();
}

void ProcessExitWatcher::reportExit()
{
    if (m_didReport)
        return;
    m_didReport = true;
    m_pollTimer.stop();
    if (m_notifier)
        m_notifier->setEnabled(false);
    Q_EMIT exited();
}

} // namespace gridlume
