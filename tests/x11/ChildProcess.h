#pragma once

#include <QProcess>
#include <QStringList>

#include <chrono>
#include <sys/types.h>

namespace gridlume::test {

// The test's environment with `additions` ("NAME=value") set.
QProcessEnvironment environmentWith(const QStringList& additions);

// A program the tests start (Xvfb, the window manager, X clients), its output on the test's.
// It dies with the test process, however that ends, and is ended when the object goes: SIGTERM,
// then SIGKILL if it has not exited within a deadline. Waits never sleep.
class ChildProcess {
public:
    // Starts `program` (searched in PATH) with `arguments`, the test's environment plus
    // `environment` ("NAME=value"), keeping `inheritedDescriptor` open in the child when >= 0.
    ChildProcess(const QString& program, const QStringList& arguments, const QStringList& environment = {},
        int inheritedDescriptor = -1);
    ~ChildProcess() { terminate(); }

    pid_t pid() const { return m_pid; }
    bool isRunning() { return m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(0); }

    // SIGTERM, waits up to `timeout`, then SIGKILL. Safe to call twice.
    void terminate(std::chrono::milliseconds timeout = std::chrono::milliseconds(3000));
    // SIGKILL, returning once the process is gone.
    void kill();
    // SIGSTOP, returning once the process has stopped; SIGCONT. Stopped, it still holds its
    // connections, and what is sent to it waits.
    bool stop();
    void resume();
    // Waits for the process to exit on its own; its wait status (as waitpid() gives it), or -1
    // on time-out.
    int waitForExit(std::chrono::milliseconds timeout);

private:
    QProcess m_process;
    pid_t m_pid = -1;
};

} // namespace gridlume::test
