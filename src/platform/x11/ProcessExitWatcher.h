#pragma once

#include <QObject>

#include <memory>
#include <sys/types.h>

class QSocketNotifier;

namespace gridlume {

// Tells when one process instance ends, whether or not it is our child, through a pidfd.
//
// exited() is emitted once, from the event loop. A process that is already gone, or whose pid
// now belongs to a newer process than `startTime` names, counts as exited at once (still
// reported from the event loop, never from the constructor).
class ProcessExitWatcher final : public QObject {
    Q_OBJECT
public:
    ProcessExitWatcher(pid_t pid, quint64 startTime, QObject* parent = nullptr);
    ~ProcessExitWatcher() override;

    pid_t processIdentifier() const { return m_pid; }

Q_SIGNALS:
    void exited();

private:
    void reportExit();

    pid_t m_pid;
    int m_pidfd = -1;
    bool m_didReport = false;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace gridlume
