#include "KWinTestDesktop.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gridlume::test {

namespace {

    // The packaged kwin_wayland carries a file capability (cap_sys_resource), and a
    // container that may not grant it refuses to run it; a copy without it runs. Its name must
    // stay "kwin_wayland": KWin's platform plug-in checks it.
    QString kwinWaylandCopy(const QString& folder)
    {
        const QString installed = QStandardPaths::findExecutable(QStringLiteral("kwin_wayland"));
        if (installed.isEmpty())
            return {};
        QDir().mkpath(folder);
        const QString copy = folder + QStringLiteral("/kwin_wayland");
        if (!QFileInfo::exists(copy) && !QFile::copy(installed, copy))
            return {};
        return copy;
    }

} // namespace

KWinTestDesktop::KWinTestDesktop()
    : X11TestDesktop(profile())
{
}

const DesktopProfile& KWinTestDesktop::profile()
{
    static const DesktopProfile profile {
        .id = "KWinWayland", .windowManager = { QStringLiteral("kwin_wayland") }, .sessionBus = true, .testDock = true
    };
    return profile;
}

std::optional<QString> KWinTestDesktop::problem()
{
    if (QStandardPaths::findExecutable(QStringLiteral("kwin_wayland")).isEmpty())
        return QStringLiteral("kwin_wayland is not installed");
    if (QStandardPaths::findExecutable(QStringLiteral("Xwayland")).isEmpty())
        return QStringLiteral("Xwayland is not installed");
    QTemporaryDir folder;
    const QString copy = kwinWaylandCopy(folder.path());
    if (copy.isEmpty())
        return QStringLiteral("kwin_wayland cannot be copied");
    QProcess version;
    version.start(copy, { QStringLiteral("--version") });
    if (!version.waitForFinished(10000) || version.exitStatus() != QProcess::NormalExit || version.exitCode() != 0)
        return QStringLiteral("kwin_wayland does not run here: ")
            + QString::fromLocal8Bit(version.readAllStandardError());
    return std::nullopt;
}

QDBusMessage KWinTestDesktop::callShortcutService(
    const QString& path, const QString& method, const QVariantList& arguments, QDBusConnection bus)
{
    QDBusMessage message = QDBusMessage::createMethodCall(QStringLiteral("org.kde.kglobalaccel"), path,
        path == u"/kglobalaccel" ? QStringLiteral("org.kde.KGlobalAccel")
                                 : QStringLiteral("org.kde.kglobalaccel.Component"),
        method);
    message.setArguments(arguments);
    return bus.call(message);
}

bool KWinTestDesktop::startSession(QString* error)
{
    writeDesktopConfiguration();
    if (!startSessionBus(error))
        return false;
    const QDir folder(directoryPath());
    const QString runtime = folder.filePath(QStringLiteral("runtime"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString program = kwinWaylandCopy(folder.filePath(QStringLiteral("bin")));
    if (program.isEmpty()) {
        *error = QStringLiteral("kwin_wayland is not installed");
        return false;
    }
    // KWin starts the programs it is given once Xwayland runs, with DISPLAY naming it; the one
    // given here writes it into a FIFO, read the way an X server's -displayfd is.
    const QString displayFifo = folder.filePath(QStringLiteral("xwayland-display"));
    const QString reporter = folder.filePath(QStringLiteral("report-display"));
    QFile script(reporter);
    if (::mkfifo(QFile::encodeName(displayFifo).constData(), 0600) != 0 || !script.open(QIODevice::WriteOnly)
        || !script.write(QStringLiteral("#!/bin/sh\necho \"$DISPLAY\" > '%1'\n").arg(displayFifo).toLocal8Bit())) {
        *error = QStringLiteral("cannot set up the display reporter");
        return false;
    }
    script.close();
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    const int fifo = ::open(QFile::encodeName(displayFifo).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    setWaylandDisplay(runtime + QStringLiteral("/wayland-gridlume"));
    // The outputs' scale, 1 unless GRIDLUME_KWIN_SCALE says otherwise (1.5, say): KWin's logical
    // coordinates, in which the tests place and read windows, stay the same at every scale.
    const QString scale = qEnvironmentVariable("GRIDLUME_KWIN_SCALE", QStringLiteral("1"));
    // The shell only points standard error at a log file; exec keeps the process id.
    const QString log = folder.filePath(QStringLiteral("kwin.log"));
    setWindowManagerProcess(std::make_unique<ChildProcess>(QStringLiteral("/bin/sh"),
        QStringList { QStringLiteral("-c"), QStringLiteral("exec \"$0\" \"$@\" 2>\"%1\"").arg(log), program,
            QStringLiteral("--virtual"), QStringLiteral("--width"), QString::number(outputSize.width),
            QStringLiteral("--height"), QString::number(outputSize.height), QStringLiteral("--output-count"),
            QStringLiteral("2"), QStringLiteral("--socket"), QStringLiteral("wayland-gridlume"),
            QStringLiteral("--xwayland"), QStringLiteral("--no-lockscreen"), QStringLiteral("--scale"), scale,
            reporter },
        environment()
            + QStringList { QStringLiteral("XDG_RUNTIME_DIR=") + runtime, QStringLiteral("WAYLAND_DISPLAY="),
                // Screenshots through KWin's D-Bus interface, for any program of the test.
                QStringLiteral("KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1") }));
    const QByteArray display = readLineFrom(fifo, 30s);
    if (fifo >= 0)
        ::close(fifo);
    if (!display.startsWith(':')) {
        QFile output(log);
        output.open(QIODevice::ReadOnly);
        *error = QStringLiteral("kwin_wayland did not start Xwayland: ")
            + QString::fromLocal8Bit(output.readAll().right(2000));
        return false;
    }
    if (!connectToServer(display.mid(1), error))
        return false;
    createDock();
    return waitUntilReady(error);
}

} // namespace gridlume::test
