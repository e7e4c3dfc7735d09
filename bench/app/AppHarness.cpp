// Measures the running program from outside, on a desktop of its own:
//   - time from starting the process to its tray icon being shown in the tray;
//   - resident memory after the start, and after 1,000 panel toggles by the shortcut;
//   - wake-ups (context switches of all its threads) while it sits idle for 10 s.
// Prints the figures next to the goals (150 ms, 40 MB, 0 wake-ups); checks nothing.
#include "ChildProcess.h"
#include "X11TestDesktop.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSize>
#include <QTextStream>
#include <QThread>

#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <chrono>
#include <cstdlib>

using namespace gridlume;
using namespace gridlume::test;
using Clock = std::chrono::steady_clock;

namespace {

QByteArray windowClass(xcb_connection_t* c, xcb_window_t window)
{
    auto* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 64), nullptr);
    QByteArray value;
    if (reply)
        value = QByteArray(static_cast<const char*>(xcb_get_property_value(reply)), xcb_get_property_value_length(reply));
    std::free(reply);
    return value;
}

bool isViewable(xcb_connection_t* c, xcb_window_t window)
{
    auto* reply = xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr);
    const bool viewable = reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(reply);
    return viewable;
}

QSize windowSize(xcb_connection_t* c, xcb_window_t window)
{
    auto* reply = xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
    const QSize size = reply ? QSize(reply->width, reply->height) : QSize();
    std::free(reply);
    return size;
}

// Gridlume's viewable windows down to three levels below the root (window-manager frames, tray
// sockets), with their sizes.
QList<QSize> gridlumeWindows(xcb_connection_t* c, xcb_window_t parent, int depth = 0)
{
    QList<QSize> found;
    auto* tree = xcb_query_tree_reply(c, xcb_query_tree(c, parent), nullptr);
    if (!tree)
        return found;
    const xcb_window_t* children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
        if (windowClass(c, children[i]).startsWith(QByteArray("gridlume\0", 9)) && isViewable(c, children[i]))
            found.append(windowSize(c, children[i]));
        if (depth < 3)
            found += gridlumeWindows(c, children[i], depth + 1);
    }
    std::free(tree);
    return found;
}

bool hasTrayIcon(xcb_connection_t* c, xcb_window_t root)
{
    for (const QSize& size : gridlumeWindows(c, root))
        if (size.width() > 1 && size.width() <= 64)
            return true;
    return false;
}

int panelCount(xcb_connection_t* c, xcb_window_t root)
{
    int count = 0;
    for (const QSize& size : gridlumeWindows(c, root))
        count += size == QSize(304, 326) ? 1 : 0;
    return count;
}

bool poll(const std::function<bool()>& predicate, std::chrono::milliseconds timeout)
{
    const auto end = Clock::now() + timeout;
    while (Clock::now() < end) {
        if (predicate())
            return true;
        QThread::usleep(500);
    }
    return predicate();
}

qint64 residentKiB(pid_t pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return -1;
}

qint64 contextSwitches(pid_t pid)
{
    qint64 total = 0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile status(tasks.filePath(task) + QStringLiteral("/status"));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.contains("ctxt_switches:"))
                total += line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
    }
    return total;
}

void pressShortcut(xcb_connection_t* c, xcb_window_t root)
{
    // Control_L 37, Alt_L 64, space 65 on Xvfb's evdev keymap.
    for (quint8 key : { 37, 64, 65 })
        xcb_test_fake_input(c, XCB_KEY_PRESS, key, XCB_CURRENT_TIME, root, 0, 0, 0);
    for (quint8 key : { 65, 64, 37 })
        xcb_test_fake_input(c, XCB_KEY_RELEASE, key, XCB_CURRENT_TIME, root, 0, 0, 0);
    xcb_flush(c);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    X11TestDesktop desktop;
    QString error;
    if (!desktop.start(&error)) {
        out << "app_harness: no desktop: " << error << '\n';
        return 1;
    }
    xcb_connection_t* c = desktop.connection();
    auto tray = desktop.startClient(QStringLiteral("trayer"),
        { QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"), QStringLiteral("right"),
            QStringLiteral("--widthtype"), QStringLiteral("request"), QStringLiteral("--height"), QStringLiteral("24"),
            QStringLiteral("--SetDockType"), QStringLiteral("true") });
    const xcb_atom_t selection = desktop.atom("_NET_SYSTEM_TRAY_S0");
    poll([&] {
        auto* reply = xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr);
        const bool owned = reply && reply->owner != XCB_WINDOW_NONE;
        std::free(reply);
        return owned;
    }, std::chrono::seconds(10));

    // A recorded shortcut, as after a first session.
    QString config;
    for (const QString& entry : desktop.environment())
        if (entry.startsWith(QStringLiteral("XDG_CONFIG_HOME=")))
            config = entry.mid(16);
    QDir().mkpath(config + QStringLiteral("/Gridlume"));
    QFile settings(config + QStringLiteral("/Gridlume/Gridlume.conf"));
    if (settings.open(QIODevice::WriteOnly))
        settings.write(R"ini([General]
tilingPanelKeyboardShortcut="@ByteArray({\"keyCode\":49,\"modifiers\":6144})"
)ini");
    settings.close();

    const auto start = Clock::now();
    auto gridlume = desktop.startClient(QStringLiteral(GRIDLUME_PROGRAM));
    const bool trayShown = poll([&] { return hasTrayIcon(c, desktop.root()); }, std::chrono::seconds(10));
    const double trayMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    out << "tray icon shown after start:   " << (trayShown ? QString::number(trayMs, 'f', 1) + QStringLiteral(" ms") : QStringLiteral("never"))
        << "   (goal 150 ms)\n";
    out.flush();

    // Let the start settle (fonts, the first event-loop turns), then measure the idle process.
    QThread::msleep(1500);
    out << "resident memory after start:   " << residentKiB(gridlume->pid()) / 1024.0 << " MB   (goal 40 MB)\n";
    const qint64 before = contextSwitches(gridlume->pid());
    QThread::sleep(10);
    const qint64 wakeUps = contextSwitches(gridlume->pid()) - before;
    out << "wake-ups while idle for 10 s:  " << wakeUps << "   (goal 0)\n";
    out.flush();

    int toggles = 0;
    for (; toggles < 1000; ++toggles) {
        const bool shown = panelCount(c, desktop.root()) > 0;
        pressShortcut(c, desktop.root());
        if (!poll([&] { return (panelCount(c, desktop.root()) > 0) != shown; }, std::chrono::seconds(5)))
            break;
    }
    out << "resident memory after " << toggles << " panel toggles: " << residentKiB(gridlume->pid()) / 1024.0
        << " MB   (goal 40 MB)\n";
    gridlume->terminate();
    return 0;
}
