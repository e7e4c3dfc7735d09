#include "app/TerminationSignalHandler.h"

#include <QSocketNotifier>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace gridlume {

namespace {

    constexpr std::array<int, 3> terminationSignals { SIGTERM, SIGINT, SIGHUP };

    // Shared with the asynchronous signal handler: only lock-free atomics and the pipe.
    std::atomic<int> writeEnd { -1 };
    std::atomic<bool> didReceiveTermination { false };
    static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);

    struct sigaction previousActions[terminationSignals.size()];

    void handleTerminationSignal(int signalNumber)
    {
        if (didReceiveTermination.exchange(true)) {
            // The quit the first signal asked for has not ended the process: end it now, the
            // way the signal would have without us.
            ::signal(signalNumber, SIG_DFL);
            ::raise(signalNumber);
            return;
        }
        const int savedErrno = errno;
        const unsigned char byte = static_cast<unsigned char>(signalNumber);
        const int fd = writeEnd.load();
        if (fd >= 0)
            (void)!::write(fd, &byte, 1);
        errno = savedErrno;
    }

} // namespace

TerminationSignalHandler::TerminationSignalHandler(QObject* parent)
    : QObject(parent)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    writeEnd.store(fds[1]);
    didReceiveTermination.store(false);
    m_notifier = std::make_unique<QSocketNotifier>(fds[0], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &TerminationSignalHandler::readSignal);

    struct sigaction action { };
    action.sa_handler = &handleTerminationSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls resume; the event loop learns of the signal through the pipe.
    action.sa_flags = SA_RESTART;
    m_isInstalled = true;
    for (size_t i = 0; i < terminationSignals.size(); ++i) {
        if (::sigaction(terminationSignals[i], nullptr, &previousActions[i]) != 0) {
            m_isInstalled = false;
            continue;
        }
        // A signal ignored by whoever started us (nohup, a shell's background job) stays ignored.
        if (previousActions[i].sa_handler == SIG_IGN)
            continue;
        m_isInstalled = ::sigaction(terminationSignals[i], &action, nullptr) == 0 && m_isInstalled;
    }
}

TerminationSignalHandler::~TerminationSignalHandler()
{
    for (size_t i = 0; i < terminationSignals.size(); ++i)
        ::sigaction(terminationSignals[i], &previousActions[i], nullptr);
    const int fd = writeEnd.exchange(-1);
    if (fd >= 0)
        ::close(fd);
    if (m_notifier) {
        const int readEnd = int(m_notifier->socket());
        m_notifier.reset();
        ::close(readEnd);
    }
}

void TerminationSignalHandler::readSignal()
{
    unsigned char byte = 0;
    const ssize_t count = ::read(int(m_notifier->socket()), &byte, 1);
    if (count == 1)
        Q_EMIT terminationRequested(int(byte));
}

} // namespace gridlume
