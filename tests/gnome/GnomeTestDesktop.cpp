#include "GnomeTestDesktop.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gridlume::test {

namespace {

    const QString kShell = QStringLiteral("org.gridlume.Shell");
    const QString kShellPath = QStringLiteral("/org/gridlume/Shell");
    const QString kRemoteDesktop = QStringLiteral("org.gnome.Mutter.RemoteDesktop");
    // evdev's BTN_LEFT.
    constexpr int kLeftButton = 0x110;

    Rect rectOf(const QJsonValue& r)
    {
        return Rect(r[QStringLiteral("x")].toDouble(), r[QStringLiteral("y")].toDouble(),
            r[QStringLiteral("width")].toDouble(), r[QStringLiteral("height")].toDouble());
    }

    // The variables of the session that its programs need, out of everything scripts/gnome-session
    // reports; the folders stay the test desktop's.
    const QRegularExpression kSessionVariable(
        QStringLiteral("^(DBUS_SESSION_BUS_ADDRESS|DBUS_SYSTEM_BUS_ADDRESS|XAUTHORITY|XDG_CURRENT_DESKTOP|"
                       "XDG_SESSION_TYPE|GRIDLUME_GNOME_DIR)="));

} // namespace

GnomeTestDesktop::GnomeTestDesktop()
    : X11TestDesktop({ .id = "GnomeWayland", .windowManager = { QStringLiteral("gnome-shell") } })
{
}

std::optional<QString> GnomeTestDesktop::problem()
{
    if (QStandardPaths::findExecutable(QStringLiteral("gnome-shell")).isEmpty())
        return QStringLiteral("gnome-shell is not installed");
    return std::nullopt;
}

QStringList GnomeTestDesktop::environment() const
{
    return X11TestDesktop::environment() + m_session;
}

int GnomeTestDesktop::gnomeExtensions(const QStringList& arguments) const
{
    return run(QStringLiteral("gnome-extensions"), arguments, m_wholeSession).exitCode;
}

QString GnomeTestDesktop::sessionBusAddress() const
{
    return m_session.filter(QStringLiteral("DBUS_SESSION_BUS_ADDRESS=")).value(0).section(u'=', 1);
}

bool GnomeTestDesktop::startSession(QString* error)
{
    const QDir folder(directoryPath());
    const QString session = folder.filePath(QStringLiteral("gnome"));
    const QString report = folder.filePath(QStringLiteral("gnome-report"));
    if (::mkfifo(QFile::encodeName(report).constData(), 0600) != 0) {
        *error = QStringLiteral("cannot make the session's report FIFO");
        return false;
    }
    const int fifo = ::open(QFile::encodeName(report).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    setWindowManagerProcess(std::make_unique<ChildProcess>(QStringLiteral(GRIDLUME_GNOME_SESSION_SCRIPT),
        QStringList { session, report, QStringLiteral(GRIDLUME_GNOME_EXTENSION_DIR),
            QStringLiteral("%1x%2").arg(primaryMonitor.width()).arg(primaryMonitor.height()),
            QStringLiteral("%1x%2").arg(secondMonitor.width()).arg(secondMonitor.height()) }));
    const QByteArray answer = readLineFrom(fifo, 90s);
    if (fifo >= 0)
        ::close(fifo);
    QFile variables(session + QStringLiteral("/environment"));
    if (answer.trimmed() != "ready" || !variables.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("GNOME Shell did not start (see scripts/gnome-session's output above)");
        return false;
    }
    QByteArray display;
    while (!variables.atEnd()) {
        const QString line = QString::fromLocal8Bit(variables.readLine()).trimmed();
        m_wholeSession.append(line);
        if (line.startsWith(QLatin1String("DISPLAY=:")))
            display = line.mid(9).toLatin1();
        else if (kSessionVariable.match(line).hasMatch())
            m_session.append(line);
    }
    // Mutter's Xwayland asks every client for its cookie, this process's own connection too.
    qputenv("XAUTHORITY", m_session.filter(QStringLiteral("XAUTHORITY=")).value(0).mid(11).toLocal8Bit());
    setWaylandDisplay(session + QStringLiteral("/runtime/wayland-gridlume"));
    return connectToServer(display, error) && waitUntilReady(error);
}

GnomeShellProbe::GnomeShellProbe(const QString& busAddress)
    : m_bus(QDBusConnection::connectToBus(busAddress, QStringLiteral("gnome-probe")))
{
    m_session = remoteDesktop(QStringLiteral("CreateSession"), {}).value(0).value<QDBusObjectPath>().path();
    remoteDesktop(QStringLiteral("Start"), {});
}

GnomeShellProbe::~GnomeShellProbe()
{
    remoteDesktop(QStringLiteral("Stop"), {});
    QDBusConnection::disconnectFromBus(QStringLiteral("gnome-probe"));
}

QVariantList GnomeShellProbe::callExtension(const QString& method, const QVariantList& arguments)
{
    QDBusMessage call = QDBusMessage::createMethodCall(kShell, kShellPath, kShell, method);
    call.setArguments(arguments);
    return m_bus.call(call).arguments();
}

QJsonDocument GnomeShellProbe::answer(const QString& method)
{
    return QJsonDocument::fromJson(callExtension(method).value(0).toString().toUtf8());
}

QVariantList GnomeShellProbe::remoteDesktop(const QString& method, const QVariantList& arguments)
{
    const bool onSession = method != QLatin1String("CreateSession");
    QDBusMessage call = QDBusMessage::createMethodCall(kRemoteDesktop,
        onSession ? m_session : QStringLiteral("/org/gnome/Mutter/RemoteDesktop"),
        onSession ? kRemoteDesktop + QStringLiteral(".Session") : kRemoteDesktop, method);
    call.setArguments(arguments);
    return m_bus.call(call).arguments();
}

std::vector<Rect> GnomeShellProbe::workAreas()
{
    std::vector<Rect> areas;
    for (const QJsonValue& monitor : answer(QStringLiteral("Monitors"))[QStringLiteral("monitors")].toArray())
        areas.push_back(rectOf(monitor[QStringLiteral("workArea")]));
    return areas;
}

QJsonArray GnomeShellProbe::windows()
{
    return answer(QStringLiteral("Windows")).array();
}

std::optional<Rect> GnomeShellProbe::frameOf(pid_t pid)
{
    for (const QJsonValue& window : windows()) {
        const Rect frame = rectOf(window[QStringLiteral("frame")]);
        if (window[QStringLiteral("pid")].toInt() == pid && window[QStringLiteral("type")].toInt() == 0
            && frame.width() > 0)
            return frame;
    }
    return std::nullopt;
}

pid_t GnomeShellProbe::focusedProcess()
{
    return pid_t(callExtension(QStringLiteral("ActiveWindow")).value(1).toInt());
}

bool GnomeShellProbe::activate(pid_t pid)
{
    return QTest::qWaitFor(
        [&] {
            for (const QJsonValue& window : windows()) {
                if (window[QStringLiteral("pid")].toInt() == pid && window[QStringLiteral("type")].toInt() == 0)
                    callExtension(QStringLiteral("Activate"), { window[QStringLiteral("id")].toVariant().toUInt() });
            }
            return focusedProcess() == pid;
        },
        10000);
}

void GnomeShellProbe::keys(const std::vector<quint32>& evdevCodes)
{
    for (const quint32 code : evdevCodes)
        remoteDesktop(QStringLiteral("NotifyKeyboardKeycode"), { code, true });
    for (auto code = std::rbegin(evdevCodes); code != std::rend(evdevCodes); ++code)
        remoteDesktop(QStringLiteral("NotifyKeyboardKeycode"), { *code, false });
}

QPoint GnomeShellProbe::pointer()
{
    const QJsonDocument pointer = answer(QStringLiteral("Pointer"));
    return QPoint(pointer[QStringLiteral("x")].toInt(), pointer[QStringLiteral("y")].toInt());
}

bool GnomeShellProbe::moveTo(QPoint point)
{
    // Relative motions, which need no screen cast: Mutter moves the pointer by exactly that much,
    // in its own time, unless the way leaves every monitor; then it is asked again from where the
    // pointer stopped. The last two pixels are a motion of their own, as a hand's last are: a
    // window the pointer jumped into has its enter, and this its motion.
    const auto reach = [&](QPoint target) {
        return QTest::qWaitFor(
            [&] {
                const QPoint from = pointer();
                if (from == target)
                    return true;
                remoteDesktop(QStringLiteral("NotifyPointerMotionRelative"),
                    { double(target.x() - from.x()), double(target.y() - from.y()) });
                return QTest::qWaitFor([&] { return pointer() != from; }, 1000) && pointer() == target;
            },
            10000);
    };
    return reach(point - QPoint(2, 2)) && reach(point);
}

void GnomeShellProbe::button(bool press)
{
    remoteDesktop(QStringLiteral("NotifyPointerButton"), { kLeftButton, press });
}

} // namespace gridlume::test
