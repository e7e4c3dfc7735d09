#pragma once

#include "ChildProcess.h"
#include "X11TestDesktop.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <memory>

namespace gridlume::test {

// The real program on a test desktop, driven and read from outside the way a user's session
// would: its settings file is the one in the desktop's configuration folder, its instance socket
// lives in a runtime folder of its own, and its standard error goes to a file the test reads.
// The program is ended with the object. It is the one built here unless `program` names another
// (an installed one).
class GridlumeUnderTest {
public:
    explicit GridlumeUnderTest(X11TestDesktop& desktop, QString program = builtProgram());

    // $XDG_CONFIG_HOME/Gridlume/Gridlume.conf of the desktop.
    QString settingsFilePath() const;
    // Writes the settings file (creating its folder), as a previous session would have left it.
    void writeSettings(const QByteArray& content) const;
    // A settings file as Gridlume writes it, with the panel shortcut `keyCode` (a virtual key
    // code) and `modifiers` (Carbon's bits): Control-Option-Space unless told otherwise.
    static QByteArray settingsWithShortcut(int keyCode = 49, int modifiers = 6144);

    // Starts the program and waits until its event loop serves the instance channel; false with
    // the reason otherwise.
    bool start(QString* error, std::chrono::milliseconds timeout = std::chrono::seconds(20));
    pid_t pid() const { return m_process ? m_process->pid() : -1; }
    ChildProcess& process() { return *m_process; }
    bool isRunning() { return m_process && m_process->isRunning(); }

    // Everything the program wrote: its standard error, and its journal records when the
    // journal is reachable.
    QString log() const;
    // The messages of the program's own log: its journal records, or, without a journal, the
    // "<level> [<subsystem>:<category>] <message>" lines on standard error. Whatever else
    // reaches standard error is not in the log a user reads.
    QStringList logMessages() const;
    // How many messages of the log contain `text`.
    int countLogMessages(const QString& text) const;

    // Runs the program with `arguments` in the program's environment to completion: a
    // second start (no arguments) or --toggle.
    X11TestDesktop::ToolResult runCommand(const QStringList& arguments) const;
    // `gridlume --toggle`; true when the running program took the command.
    bool toggle() const { return runCommand({ QStringLiteral("--toggle") }).exitCode == 0; }

    // Whether the program's event loop answers on its instance channel: it has then handled what
    // reached it before.
    bool answersInstanceChannel() const;
    // The socket the running program listens on for later starts.
    QString socketPath() const;

    // build/gridlume.
    static QString builtProgram();

private:
    QString runtimeEnvironment() const;
    QString standardError() const;
    QStringList journalMessages() const;
    QString logFilePath() const;

    X11TestDesktop& m_desktop;
    QString m_program;
    QTemporaryDir m_directory;
    std::unique_ptr<ChildProcess> m_process;
};

} // namespace gridlume::test
