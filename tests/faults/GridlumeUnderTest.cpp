#include "GridlumeUnderTest.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include <utility>

namespace gridlume::test {

GridlumeUnderTest::GridlumeUnderTest(X11TestDesktop& desktop, QString program)
    : m_desktop(desktop)
    , m_program(std::move(program))
{
    // The instance channel only uses a runtime folder that no one else can enter.
    QDir(m_directory.path()).mkdir(QStringLiteral("runtime"));
    QFile::setPermissions(m_directory.filePath(QStringLiteral("runtime")),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

QString GridlumeUnderTest::builtProgram() { return QStringLiteral(GRIDLUME_PROGRAM); }

QString GridlumeUnderTest::runtimeEnvironment() const
{
    return QStringLiteral("XDG_RUNTIME_DIR=") + m_directory.filePath(QStringLiteral("runtime"));
}

QString GridlumeUnderTest::settingsFilePath() const
{
    return m_desktop.environment().filter("XDG_CONFIG_HOME=").value(0).mid(16) + "/Gridlume/Gridlume.conf";
}

void GridlumeUnderTest::writeSettings(const QByteArray& content) const
{
    QDir().mkpath(QFileInfo(settingsFilePath()).path());
    QFile file(settingsFilePath());
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(content);
}

QByteArray GridlumeUnderTest::settingsWithShortcut(int keyCode, int modifiers)
{
    return QStringLiteral(R"ini([General]
tilingPanelKeyboardShortcut="@ByteArray({\"keyCode\":%1,\"modifiers\":%2})"
)ini")
        .arg(keyCode)
        .arg(modifiers)
        .toUtf8();
}

QString GridlumeUnderTest::socketPath() const
{
    // The instance channel's name for the display: "gridlume-_7.socket" for ":7".
    const QString display = QString::fromLatin1(m_desktop.displayName()).replace(u':', u'_');
    return m_directory.filePath(QStringLiteral("runtime/gridlume-%1.socket").arg(display));
}

QString GridlumeUnderTest::logFilePath() const { return m_directory.filePath(QStringLiteral("stderr.log")); }

bool GridlumeUnderTest::answersInstanceChannel() const
{
    // A command the program does not know is answered and otherwise ignored: the answer shows
    // that the event loop runs, past the start-up work queued before it.
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(1000))
        return false;
    socket.write("are-you-there\n");
    if (!socket.waitForBytesWritten(1000))
        return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(5000))
            return false;
    }
    return socket.readLine().trimmed() == "unknown";
}

bool GridlumeUnderTest::start(QString* error, std::chrono::milliseconds timeout)
{
    // The shell only points standard error at the log file; exec keeps the process id.
    m_process = std::make_unique<ChildProcess>(QStringLiteral("/bin/sh"),
        QStringList { QStringLiteral("-c"), QStringLiteral("exec \"$0\" 2>\"$1\""), m_program, logFilePath() },
        m_desktop.environment() + QStringList { runtimeEnvironment() });
    const bool ready = QTest::qWaitFor(
        [&] { return !m_process->isRunning() || (QFileInfo::exists(socketPath()) && answersInstanceChannel()); },
        int(timeout.count()));
    if (ready && m_process->isRunning())
        return true;
    *error = m_process->isRunning() ? "Gridlume did not answer on its instance channel"
                                    : "Gridlume ended at start; its log:\n" + log();
    return false;
}

QString GridlumeUnderTest::standardError() const
{
    QFile file(logFilePath());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList GridlumeUnderTest::journalMessages() const
{
    if (!QFileInfo::exists(QStringLiteral("/run/systemd/journal/socket")) || pid() <= 0
        || QStandardPaths::findExecutable(QStringLiteral("journalctl")).isEmpty())
        return {};
    QProcess journal;
    journal.start("journalctl",
        { "--no-pager", "--output=cat", "SYSLOG_IDENTIFIER=gridlume", QStringLiteral("_PID=%1").arg(pid()) });
    if (!journal.waitForFinished(10000))
        return {};
    return QString::fromUtf8(journal.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

QString GridlumeUnderTest::log() const
{
    return standardError() + journalMessages().join(u'\n');
}

QStringList GridlumeUnderTest::logMessages() const
{
    static const QRegularExpression record(QStringLiteral("^(?:error|warning|info|debug) \\[[^\\]]*\\] (.*)$"));
    QStringList messages;
    for (const QString& line : standardError().split(u'\n')) {
        const QRegularExpressionMatch match = record.match(line);
        if (match.hasMatch())
            messages.append(match.captured(1));
    }
    return messages + journalMessages();
}

int GridlumeUnderTest::countLogMessages(const QString& text) const { return int(logMessages().filter(text).size()); }

X11TestDesktop::ToolResult GridlumeUnderTest::runCommand(const QStringList& arguments) const
{
    return m_desktop.run(m_program, arguments, { runtimeEnvironment() });
}

} // namespace gridlume::test
