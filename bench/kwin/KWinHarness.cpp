// The real program in KDE Plasma's Wayland session (kwin_wayland --virtual, two outputs, its
// Xwayland): the shortcut as KWin delivers it (KDE's shortcut service invoked on D-Bus) to both
// panels viewable, and a release on a tile to the window settled where KWin put it (an xterm:
// its ConfigureNotify on Xwayland). Prints "@metric <key> <value>" lines for scripts/bench;
// checks nothing.
#include "ChildProcess.h"
#include "KWinTestDesktop.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDir>
#include <QFile>
#include <QPoint>
#include <QTextStream>
#include <QThread>

#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <optional>
#include <vector>

using namespace gridlume::test;
using Clock = std::chrono::steady_clock;

namespace {

double percentile(std::vector<double> samples, double p)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    return samples[std::min(samples.size() - 1, std::size_t(p * double(samples.size())))];
}

void metric(QTextStream& out, const char* key, double value)
{
    out << "@metric " << key << ' ' << QString::number(value, 'f', 3) << '\n';
    out.flush();
}

void report(QTextStream& out, const char* name, const char* key, const std::vector<double>& samples, int failures)
{
    out << qSetFieldWidth(44) << Qt::left << name << qSetFieldWidth(0) << "n=" << samples.size() << "  median "
        << QString::number(percentile(samples, 0.5), 'f', 2) << " ms  p99 "
        << QString::number(percentile(samples, 0.99), 'f', 2) << " ms  failures " << failures << '\n';
    if (!samples.empty())
        metric(out, key, percentile(samples, 0.5));
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

// Viewable windows titled "Gridlume Tiling Panel", a few levels down (KWin frames X11 windows).
int viewablePanels(xcb_connection_t* c, xcb_window_t parent, int depth = 0)
{
    int count = 0;
    auto* tree = xcb_query_tree_reply(c, xcb_query_tree(c, parent), nullptr);
    if (!tree)
        return 0;
    const xcb_window_t* children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
        auto* name = xcb_get_property_reply(
            c, xcb_get_property(c, 0, children[i], XCB_ATOM_WM_NAME, XCB_ATOM_ANY, 0, 64), nullptr);
        const bool isPanel = name
            && QByteArray(static_cast<const char*>(xcb_get_property_value(name)), xcb_get_property_value_length(name))
                == "Gridlume Tiling Panel";
        std::free(name);
        if (isPanel) {
            auto* attributes = xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, children[i]), nullptr);
            count += attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE ? 1 : 0;
            std::free(attributes);
        } else if (depth < 3) {
            count += viewablePanels(c, children[i], depth + 1);
        }
    }
    std::free(tree);
    return count;
}

// The panel windows under `parent`, a few levels down.
std::vector<xcb_window_t> panelWindows(xcb_connection_t* c, xcb_window_t parent, int depth = 0)
{
    std::vector<xcb_window_t> found;
    auto* tree = xcb_query_tree_reply(c, xcb_query_tree(c, parent), nullptr);
    if (!tree)
        return found;
    const xcb_window_t* children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
        auto* name = xcb_get_property_reply(
            c, xcb_get_property(c, 0, children[i], XCB_ATOM_WM_NAME, XCB_ATOM_ANY, 0, 64), nullptr);
        if (name
            && QByteArray(static_cast<const char*>(xcb_get_property_value(name)), xcb_get_property_value_length(name))
                == "Gridlume Tiling Panel")
            found.push_back(children[i]);
        else if (depth < 3)
            for (xcb_window_t window : panelWindows(c, children[i], depth + 1))
                found.push_back(window);
        std::free(name);
    }
    std::free(tree);
    return found;
}

// How many of `windows` are viewable: one round trip.
int viewableCount(xcb_connection_t* c, const std::vector<xcb_window_t>& windows)
{
    std::vector<xcb_get_window_attributes_cookie_t> cookies;
    for (xcb_window_t window : windows)
        cookies.push_back(xcb_get_window_attributes(c, window));
    int count = 0;
    for (auto cookie : cookies) {
        auto* attributes = xcb_get_window_attributes_reply(c, cookie, nullptr);
        count += attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE ? 1 : 0;
        std::free(attributes);
    }
    return count;
}

bool invokeShortcut(QDBusConnection& bus, const QString& action)
{
    QDBusMessage invoke
        = QDBusMessage::createMethodCall(QStringLiteral("org.kde.kglobalaccel"), QStringLiteral("/component/gridlume"),
            QStringLiteral("org.kde.kglobalaccel.Component"), QStringLiteral("invokeShortcut"));
    invoke << action;
    return bus.call(invoke).type() == QDBusMessage::ReplyMessage;
}

QStringList shortcutNames(QDBusConnection& bus)
{
    const QDBusReply<QStringList> names = bus.call(
        QDBusMessage::createMethodCall(QStringLiteral("org.kde.kglobalaccel"), QStringLiteral("/component/gridlume"),
            QStringLiteral("org.kde.kglobalaccel.Component"), QStringLiteral("shortcutNames")));
    return names.isValid() ? names.value() : QStringList();
}

void fakeMotion(xcb_connection_t* c, xcb_window_t root, QPoint point)
{
    xcb_test_fake_input(c, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, root, qint16(point.x()), qint16(point.y()), 0);
    xcb_flush(c);
}

void fakeButton(xcb_connection_t* c, bool press)
{
    xcb_test_fake_input(
        c, press ? XCB_BUTTON_PRESS : XCB_BUTTON_RELEASE, 1, XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0, 0);
    xcb_flush(c);
}

// Tile (row, column) of the 2 × 2 grid of the panel centred on `area` (304 × 344 points with the keyboard hints).
QPoint tileCentre(const gridlume::Rect& area, int row, int column)
{
    const QPoint panel(int(area.midX() - 152), int(area.midY() - 163));
    return panel + QPoint(12 + 70 + 140 * column, 84 + 43 + 87 * row);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    // --trace: every event of the panels during each show, with its time.
    const bool trace = application.arguments().contains(QStringLiteral("--trace"));
    if (const auto problem = KWinTestDesktop::problem()) {
        out << "kwin_harness: " << *problem << '\n';
        return 0;
    }
    KWinTestDesktop desktop;
    QString error;
    if (!desktop.start(&error)) {
        out << "kwin_harness: no desktop: " << error << '\n';
        return 1;
    }
    xcb_connection_t* c = desktop.connection();
    QString config;
    QString busAddress;
    for (const QString& entry : desktop.environment()) {
        if (entry.startsWith(QStringLiteral("XDG_CONFIG_HOME=")))
            config = entry.mid(16);
        if (entry.startsWith(QStringLiteral("DBUS_SESSION_BUS_ADDRESS=")))
            busAddress = entry.mid(25);
    }
    QDBusConnection bus = QDBusConnection::connectToBus(busAddress, QStringLiteral("harness"));
    QDir().mkpath(config + QStringLiteral("/Gridlume"));
    QFile settings(config + QStringLiteral("/Gridlume/Gridlume.conf"));
    if (settings.open(QIODevice::WriteOnly))
        settings.write(R"ini([General]
tilingPanelKeyboardShortcut="@ByteArray({\"keyCode\":5,\"modifiers\":6656})"
)ini");
    settings.close();

    auto terminal = desktop.startClient(QStringLiteral("xterm"));
    const xcb_window_t terminalWindow = desktop.waitForClientWindow(terminal->pid());
    desktop.activate(terminalWindow);
    const uint32_t structure = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, terminalWindow, XCB_CW_EVENT_MASK, &structure);
    xcb_flush(c);

    // GRIDLUME_HARNESS_PROGRAM: another build of the program, to compare two in one run.
    auto gridlume = desktop.startClient(qEnvironmentVariable("GRIDLUME_HARNESS_PROGRAM", QStringLiteral(GRIDLUME_PROGRAM)));
    QString action;
    poll(
        [&] {
            for (const QString& name : shortcutNames(bus))
                if (name.startsWith(QStringLiteral("hotkey-")))
                    action = name;
            return !action.isEmpty();
        },
        std::chrono::seconds(20));
    if (action.isEmpty()) {
        out << "kwin_harness: Gridlume registered no shortcut\n";
        return 1;
    }

    // The shortcut to both panels viewable, and Escape to none. Gridlume shows the same two
    // windows every time while the outputs stay, so they are found once, on a first show, and
    // then watched by their events: the first change Gridlume makes to a panel (a property or its
    // place, before it maps it), KWin mapping each, and both viewable. The shortcut's D-Bus call
    // returns once KDE's shortcut service has sent Gridlume its signal.
    invokeShortcut(bus, action);
    poll([&] { return viewablePanels(c, desktop.root()) == 2; }, std::chrono::seconds(5));
    const std::vector<xcb_window_t> panels = panelWindows(c, desktop.root());
    const uint32_t watched = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
    for (xcb_window_t panel : panels)
        xcb_change_window_attributes(c, panel, XCB_CW_EVENT_MASK, &watched);
    const auto hide = [&] {
        // Escape is Gridlume's while the panels are shown, from a moment after they are.
        poll([&] { return shortcutNames(bus).contains(QStringLiteral("escape")); }, std::chrono::seconds(5));
        invokeShortcut(bus, QStringLiteral("escape"));
        poll([&] { return viewableCount(c, panels) == 0; }, std::chrono::seconds(5));
        QThread::msleep(50);
        while (xcb_generic_event_t* event = xcb_poll_for_event(c))
            std::free(event);
    };
    hide();
    std::vector<double> shows, delivered, touched, mapped;
    int showFailures = 0;
    for (int i = 0; i < 30 && panels.size() == 2; ++i) {
        const auto start = Clock::now();
        const auto since = [&] { return std::chrono::duration<double, std::milli>(Clock::now() - start).count(); };
        invokeShortcut(bus, action);
        delivered.push_back(since());
        std::optional<double> firstTouch;
        int maps = 0;
        while (maps < 2 && since() < 5000) {
            xcb_generic_event_t* event = xcb_poll_for_event(c);
            if (!event) {
                QThread::usleep(100);
                continue;
            }
            const int type = event->response_type & 0x7f;
            xcb_window_t window = XCB_WINDOW_NONE;
            if (type == XCB_PROPERTY_NOTIFY)
                window = reinterpret_cast<xcb_property_notify_event_t*>(event)->window;
            else if (type == XCB_CONFIGURE_NOTIFY)
                window = reinterpret_cast<xcb_configure_notify_event_t*>(event)->window;
            else if (type == XCB_MAP_NOTIFY)
                window = reinterpret_cast<xcb_map_notify_event_t*>(event)->window;
            const bool isPanel = std::find(panels.begin(), panels.end(), window) != panels.end();
            if (trace && isPanel) {
                QByteArray what = type == XCB_MAP_NOTIFY ? "MapNotify" : type == XCB_CONFIGURE_NOTIFY ? "ConfigureNotify" : "";
                if (type == XCB_PROPERTY_NOTIFY) {
                    auto* name = xcb_get_atom_name_reply(
                        c, xcb_get_atom_name(c, reinterpret_cast<xcb_property_notify_event_t*>(event)->atom), nullptr);
                    what = "PropertyNotify "
                        + (name ? QByteArray(xcb_get_atom_name_name(name), xcb_get_atom_name_name_length(name)) : "?");
                    std::free(name);
                }
                out << "  show " << i << ' ' << QString::number(since(), 'f', 2) << " ms  0x" << Qt::hex << window
                    << Qt::dec << ' ' << what << '\n';
            }
            if (isPanel && !firstTouch && type != XCB_MAP_NOTIFY)
                firstTouch = since();
            if (isPanel && type == XCB_MAP_NOTIFY && ++maps == 2)
                mapped.push_back(since());
            std::free(event);
        }
        if (firstTouch)
            touched.push_back(*firstTouch);
        if (maps == 2 && poll([&] { return viewableCount(c, panels) == 2; }, std::chrono::seconds(5)))
            shows.push_back(since());
        else
            ++showFailures;
        hide();
    }
    report(out, "shortcut -> KWin's reply sent (KWin)", "kwin_shortcut_delivered_median", delivered, 0);
    report(out, "shortcut -> Gridlume's first panel change", "kwin_shortcut_touched_median", touched, 0);
    report(out, "shortcut -> both panels mapped by KWin", "kwin_shortcut_mapped_median", mapped, 0);
    report(out, "shortcut -> panels viewable (KWin)", "kwin_shortcut_panels_median", shows, showFailures);

    // Release on a tile to the xterm's frame settled: alternately the whole first output and its
    // top-left quarter, so that every release changes the frame.
    const gridlume::Rect output(0, 0, KWinTestDesktop::outputSize.width, KWinTestDesktop::outputSize.height);
    invokeShortcut(bus, action);
    poll([&] { return viewablePanels(c, desktop.root()) == 2; }, std::chrono::seconds(5));
    std::vector<double> releases;
    int releaseFailures = 0;
    for (int i = 0; i < 30; ++i) {
        const QPoint to = (i % 2) ? tileCentre(output, 0, 0) : tileCentre(output, 1, 1);
        fakeMotion(c, desktop.root(), tileCentre(output, 0, 0));
        fakeButton(c, true);
        fakeMotion(c, desktop.root(), to);
        QThread::msleep(50);
        while (xcb_generic_event_t* event = xcb_poll_for_event(c))
            std::free(event);
        const auto start = Clock::now();
        fakeButton(c, false);
        bool settled = false;
        while (!settled && Clock::now() - start < std::chrono::seconds(3)) {
            xcb_generic_event_t* event = xcb_poll_for_event(c);
            if (!event) {
                QThread::usleep(200);
                continue;
            }
            settled = (event->response_type & 0x7f) == XCB_CONFIGURE_NOTIFY
                && reinterpret_cast<xcb_configure_notify_event_t*>(event)->window == terminalWindow;
            std::free(event);
        }
        if (settled)
            releases.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        else
            ++releaseFailures;
        QThread::msleep(100);
    }
    report(out, "release on a tile -> xterm settled (KWin)", "kwin_release_settled_median", releases, releaseFailures);
    return 0;
}
