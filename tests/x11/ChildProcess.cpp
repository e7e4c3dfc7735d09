#include "ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace gridlume::test {

QProcessEnvironment environmentWith(const QStringList& additions)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& entry : additions) {
        const qsizetype equals = entry.indexOf(u'=');
        environment.insert(entry.left(equals), entry.mid(equals + 1));
    }
    return environment;
}

ChildProcess::ChildProcess(
    const QString& program, const QStringList& arguments, const QStringList& environment, int inheritedDescriptor)
{
    m_process.setProcessEnvironment(environmentWith(environment));
    m_process.setProcessChannelMode(QProcess::ForwardedChannels);
    m_process.setInputChannelMode(QProcess::ForwardedInputChannel);
    const pid_t parent = ::getpid();
    // Only async-signal-safe calls: this runs in the child between fork() and exec().
    m_process.setChildProcessModifier([parent, inheritedDescriptor] {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
        // A new process group, so that a terminal's Ctrl-C reaches the test, which ends us.
        ::setpgid(0, 0);
        if (inheritedDescriptor >= 0)
            ::fcntl(inheritedDescriptor, F_SETFD, ::fcntl(inheritedDescriptor, F_GETFD) & ~FD_CLOEXEC);
    });
    m_process.start(program, arguments);
    m_process.waitForStarted();
    m_pid = pid_t(m_process.processId());
}

void ChildProcess::terminate(std::chrono::milliseconds timeout)
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    ::kill(m_pid, SIGTERM);
    // A stopped process takes the signal only once it runs again.
    ::kill(m_pid, SIGCONT);
    if (!m_process.waitForFinished(int(timeout.count())))
        kill();
}

void ChildProcess::kill()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(-1);
}

bool ChildProcess::stop()
{
    if (!isRunning() || ::kill(m_pid, SIGSTOP) != 0)
        return false;
    // Waits for the stop, or an exit, without reaping: QProcess reaps.
    siginfo_t info {};
    int result;
    do {
        result = ::waitid(P_PID, id_t(m_pid), &info, WSTOPPED | WEXITED | WNOWAIT | __WALL);
    } while (result < 0 && errno == EINTR);
    return result == 0 && info.si_code == CLD_STOPPED;
}

void ChildProcess::resume()
{
    if (m_process.state() != QProcess::NotRunning)
        ::kill(m_pid, SIGCONT);
}

int ChildProcess::waitForExit(std::chrono::milliseconds timeout)
{
    if (m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(int(timeout.count())))
        return -1;
    return m_process.exitStatus() == QProcess::NormalExit ? W_EXITCODE(m_process.exitCode(), 0)
                                                          : W_EXITCODE(0, m_process.exitCode());
}

} // namespace gridlume::test
