#include "ProcessExitWatcher.h"

#include "ProcessStartTime.h"

#include <QSocketNotifier>

#include <sys/syscall.h>
#include <unistd.h>

namespace gridlume {

ProcessExitWatcher::ProcessExitWatcher(pid_t pid, quint64 startTime, QObject* parent)
    : QObject(parent)
    , m_pid(pid)
{
    m_pidfd = int(::syscall(SYS_pidfd_open, pid, 0));
    // Checked after opening: from here on the pidfd refers to whatever process had the pid,
    // so a start time that still matches proves it is the instance we were asked about.
    if (m_pidfd < 0 || processStartTime(pid) != startTime) {
        QMetaObject::invokeMethod(this, &ProcessExitWatcher::reportExit, Qt::QueuedConnection);
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

void ProcessExitWatcher::reportExit()
{
    if (m_didReport)
        return;
    m_didReport = true;
    if (m_notifier)
        m_notifier->setEnabled(false);
    Q_EMIT exited();
}

} // namespace gridlume
