#include "ChildProcess.h"

#include <QProcessEnvironment>

#include <cerrno>
#include <fcntl.h>
#include <csignal>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace gridlume::test {

ChildProcess::ChildProcess(
    const QString& program, const QStringList& arguments, const QStringList& environment, int inheritedDescriptor)
{
    // Everything the child needs is built before fork(): only async-signal-safe calls after it.
    std::vector<QByteArray> argumentStorage { program.toLocal8Bit() };
    for (const QString& argument : arguments)
        argumentStorage.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& argument : argumentStorage)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    QProcessEnvironment merged = QProcessEnvironment::systemEnvironment();
    for (const QString& entry : environment) {
        const qsizetype equals = entry.indexOf(u'=');
        merged.insert(entry.left(equals), entry.mid(equals + 1));
    }
    std::vector<QByteArray> environmentStorage;
    for (const QString& entry : merged.toStringList())
        environmentStorage.push_back(entry.toLocal8Bit());
    std::vector<char*> envp;
    for (QByteArray& entry : environmentStorage)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    const pid_t parent = ::getpid();
    m_pid = ::fork();
    if (m_pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
        // A new process group, so that a terminal's Ctrl-C reaches the test, which ends us.
        ::setpgid(0, 0);
        if (inheritedDescriptor >= 0) {
            const int flags = ::fcntl(inheritedDescriptor, F_GETFD);
            ::fcntl(inheritedDescriptor, F_SETFD, flags & ~FD_CLOEXEC);
        }
        ::execvpe(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    if (m_pid > 0)
        m_pidfd = int(::syscall(SYS_pidfd_open, m_pid, 0));
}

ChildProcess::~ChildProcess()
{
    terminate();
    if (m_pidfd >= 0)
        ::close(m_pidfd);
}

bool ChildProcess::waitReadable(std::chrono::milliseconds timeout) const
{
    if (m_pidfd < 0)
        return false;
    pollfd descriptor { m_pidfd, POLLIN, 0 };
    int result;
    do {
        result = ::poll(&descriptor, 1, int(timeout.count()));
    } while (result < 0 && errno == EINTR);
    return result > 0;
}

void ChildProcess::reap()
{
    if (m_reaped || m_pid <= 0)
        return;
    while (::waitpid(m_pid, &m_status, 0) < 0 && errno == EINTR) { }
    m_reaped = true;
}

bool ChildProcess::isRunning()
{
    if (m_reaped || m_pid <= 0)
        return false;
    return !waitReadable(std::chrono::milliseconds(0));
}

void ChildProcess::terminate(std::chrono::milliseconds timeout)
{
    if (m_reaped || m_pid <= 0)
        return;
    ::kill(m_pid, SIGTERM);
    // A stopped process takes the signal only once it runs again.
    ::kill(m_pid, SIGCONT);
    if (!waitReadable(timeout))
        ::kill(m_pid, SIGKILL);
    reap();
}

void ChildProcess::kill()
{
    if (m_reaped || m_pid <= 0)
        return;
    ::kill(m_pid, SIGKILL);
    reap();
}

bool ChildProcess::stop()
{
    if (m_reaped || m_pid <= 0 || ::kill(m_pid, SIGSTOP) != 0)
        return false;
    // Only this process's stop is reported (WUNTRACED); its exit is still reaped later.
    int status = 0;
    pid_t result;
    do {
        result = ::waitpid(m_pid, &status, WUNTRACED);
    } while (result < 0 && errno == EINTR);
    if (result == m_pid && !WIFSTOPPED(status)) {
        m_status = status;
        m_reaped = true;
    }
    return result == m_pid && WIFSTOPPED(status);
}

void ChildProcess::resume()
{
    if (!m_reaped && m_pid > 0)
        ::kill(m_pid, SIGCONT);
}

int ChildProcess::waitForExit(std::chrono::milliseconds timeout)
{
    if (!m_reaped && !waitReadable(timeout))
        return -1;
    reap();
    return m_status;
}

} // namespace gridlume::test
