#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <chrono>
#include <sys/types.h>

namespace gridlume::test {

// A program the tests start (Xvfb, the window manager, X clients). It dies with the test
// process, however that ends, and is ended when the object goes: SIGTERM, then SIGKILL if it
// has not exited within a deadline. Waits are on a pidfd, never in sleeps.
class ChildProcess {
public:
    // Starts `program` (searched in PATH) with `arguments`, the test's environment plus
    // `environment` ("NAME=value"), keeping `inheritedDescriptor` open in the child when >= 0.
    ChildProcess(const QString& program, const QStringList& arguments, const QStringList& environment = {},
        int inheritedDescriptor = -1);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return m_pid; }
    bool isRunning();

    // SIGTERM, waits up to `timeout`, then SIGKILL and reaps. Safe to call twice.
    void terminate(std::chrono::milliseconds timeout = std::chrono::milliseconds(3000));
    // SIGKILL and reap.
    void kill();
    // SIGSTOP, returning once the process has stopped; SIGCONT. Stopped, it still holds its
    // connections, and what is sent to it waits.
    bool stop();
    void resume();
    // Waits for the process to exit on its own; its exit status, or -1 on time-out.
    int waitForExit(std::chrono::milliseconds timeout);

private:
    bool waitReadable(std::chrono::milliseconds timeout) const;
    void reap();

    pid_t m_pid = -1;
    int m_pidfd = -1;
    bool m_reaped = false;
    int m_status = 0;
};

} // namespace gridlume::test
