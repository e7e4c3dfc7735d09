#pragma once

#include <QObject>

#include <memory>

class QSocketNotifier;

namespace gridlume {

// Turns SIGTERM, SIGINT and SIGHUP (the session ending, Ctrl+C in a terminal, the terminal
// closing) into a call of `terminationRequested` on the main thread, from the event loop, so
// that the program ends the way its own Quit does: hot keys released, the instance socket
// removed, exit status 0. A second of these signals while that quit is under way ends the
// process at once, by the signal's default action, for a quit that hangs.
//
// The signal handler only writes the signal number into a pipe (the one thing a handler may
// safely do); a socket notifier on the other end brings it into the event loop. One instance
// per process; the previous dispositions come back when it is destroyed. A signal that was
// ignored when it was created (nohup, a shell's background job) stays ignored.
class TerminationSignalHandler final : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignalHandler(QObject* parent = nullptr);
    ~TerminationSignalHandler() override;

    // False when the pipe or the handlers could not be set up; the signals then keep their
    // default action.
    bool isInstalled() const { return m_isInstalled; }

Q_SIGNALS:
    // The first termination signal arrived; `signalNumber` is which.
    void terminationRequested(int signalNumber);

private:
    void readSignal();

    bool m_isInstalled = false;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace gridlume
