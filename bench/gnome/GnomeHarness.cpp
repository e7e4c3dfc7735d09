// The real program in GNOME's Wayland session (headless GNOME Shell, two virtual monitors,
// Gridlume's extension, its Xwayland): the shortcut's key as Mutter's RemoteDesktop gives it to
// both panels viewable, with an xterm and with a Wayland window focused, and a release on a tile
// to the xterm settled (its ConfigureNotify on Xwayland). Prints "@metric <key> <value>" lines for
// scripts/bench; checks nothing.
#include "GnomeTestDesktop.h"
#include "GridlumeUnderTest.h"
#include "GridlumeWindows.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QTextStream>
#include <QThread>

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <vector>

using namespace gridlume::test;
using Clock = std::chrono::steady_clock;

namespace {

// Control, Alt, Shift and G by evdev code: Control-Option-Shift-G in Gridlume's settings.
constexpr quint32 kModifierKeys[] = { 29, 56, 42 };
constexpr quint32 kGKey = 34;
constexpr quint32 kEscapeKey = 1;

double percentile(std::vector<double> samples, double p)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    return samples[std::min(samples.size() - 1, std::size_t(p * double(samples.size())))];
}

void report(QTextStream& out, const char* name, const char* key, const std::vector<double>& samples, int failures)
{
    out << qSetFieldWidth(48) << Qt::left << name << qSetFieldWidth(0) << "n=" << samples.size() << "  median "
        << QString::number(percentile(samples, 0.5), 'f', 2) << " ms  p99 "
        << QString::number(percentile(samples, 0.99), 'f', 2) << " ms  failures " << failures << '\n';
    if (!samples.empty())
        out << "@metric " << key << ' ' << QString::number(percentile(samples, 0.5), 'f', 3) << '\n';
    out.flush();
}

double since(Clock::time_point start) { return std::chrono::duration<double, std::milli>(Clock::now() - start).count(); }

// A RemoteDesktop session of the harness's own for the keyboard: each key a single call, so that
// the clock can start at the one press that fires the shortcut.
class Keyboard {
public:
    explicit Keyboard(const QString& busAddress)
        : m_bus(QDBusConnection::connectToBus(busAddress, QStringLiteral("harness-keyboard")))
    {
        m_session = call(QStringLiteral("/org/gnome/Mutter/RemoteDesktop"), QStringLiteral("CreateSession"), {})
                        .value(0)
                        .value<QDBusObjectPath>()
                        .path();
        call(m_session, QStringLiteral("Start"), {});
    }
    ~Keyboard() { call(m_session, QStringLiteral("Stop"), {}); }

    void key(quint32 code, bool press) { call(m_session, QStringLiteral("NotifyKeyboardKeycode"), { code, press }); }

private:
    QVariantList call(const QString& path, const QString& method, const QVariantList& arguments)
    {
        const QString interface = QStringLiteral("org.gnome.Mutter.RemoteDesktop");
        QDBusMessage message = QDBusMessage::createMethodCall(interface, path,
            path == m_session ? interface + QStringLiteral(".Session") : interface, method);
        message.setArguments(arguments);
        return m_bus.call(message).arguments();
    }

    QDBusConnection m_bus;
    QString m_session;
};

int viewableCount(GridlumeWindows& windows, const std::vector<xcb_window_t>& panels)
{
    return int(std::ranges::count_if(panels, [&](xcb_window_t panel) { return windows.isViewable(panel); }));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    if (const auto problem = GnomeTestDesktop::problem()) {
        out << "gnome_harness: " << *problem << '\n';
        return 0;
    }
    GnomeTestDesktop desktop;
    QString error;
    if (!desktop.start(&error)) {
        out << "gnome_harness: no desktop: " << error << '\n';
        return 1;
    }
    xcb_connection_t* c = desktop.connection();
    GnomeShellProbe shell(desktop.sessionBusAddress());
    Keyboard keyboard(desktop.sessionBusAddress());
    GridlumeWindows windows(desktop);
    const std::vector<gridlume::Rect> areas = shell.workAreas();
    if (areas.size() != 2) {
        out << "gnome_harness: Shell reports " << areas.size() << " monitors\n";
        return 1;
    }

    auto xterm = desktop.startClient(QStringLiteral("xterm"));
    auto wayland = desktop.startClient(QStringLiteral("env"),
        { QStringLiteral("QT_QPA_PLATFORM=wayland"), QStringLiteral(GRIDLUME_WAYLAND_TEST_WINDOW_PROGRAM) });
    const xcb_window_t terminalWindow = desktop.waitForClientWindow(xterm->pid());
    if (!desktop.waitUntil([&] { return shell.frameOf(xterm->pid()) && shell.frameOf(wayland->pid()); }, 20s)) {
        out << "gnome_harness: the clients' windows did not appear\n";
        return 1;
    }
    // GRIDLUME_HARNESS_PROGRAM: another build of the program, to compare two in one run.
    GridlumeUnderTest gridlume(desktop, qEnvironmentVariable("GRIDLUME_HARNESS_PROGRAM", GridlumeUnderTest::builtProgram()));
    gridlume.writeSettings(GridlumeUnderTest::settingsWithShortcut(5, 6656));
    if (!gridlume.start(&error)) {
        out << "gnome_harness: " << error << '\n';
        return 1;
    }
    const auto pressShortcut = [&] {
        for (quint32 code : kModifierKeys)
            keyboard.key(code, true);
        keyboard.key(kGKey, true);
    };
    const auto releaseShortcut = [&] {
        keyboard.key(kGKey, false);
        for (auto code = std::rbegin(kModifierKeys); code != std::rend(kModifierKeys); ++code)
            keyboard.key(*code, false);
    };
    const std::vector<QRect> expected { GridlumeWindows::centredPanel(areas[0]), GridlumeWindows::centredPanel(areas[1]) };
    // Gridlume takes the shortcut from Shell a moment after it starts: pressed until it shows.
    shell.activate(xterm->pid());
    if (!desktop.waitUntil([&] { return pressShortcut(), releaseShortcut(), windows.waitForPanels(expected, 2s); }, 20s)) {
        out << "gnome_harness: the shortcut showed no panels\n";
        return 1;
    }
    // Gridlume shows the same two windows every time while the monitors stay: found once, then
    // watched by their MapNotify.
    const std::vector<xcb_window_t> panels = windows.windowsNamed("Gridlume Tiling Panel");
    const uint32_t structure = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    for (xcb_window_t window : panels)
        xcb_change_window_attributes(c, window, XCB_CW_EVENT_MASK, &structure);
    xcb_change_window_attributes(c, terminalWindow, XCB_CW_EVENT_MASK, &structure);
    xcb_flush(c);
    const auto hide = [&] {
        keyboard.key(kEscapeKey, true);
        keyboard.key(kEscapeKey, false);
        return desktop.waitUntil([&] { return viewableCount(windows, panels) == 0; }, 5s);
    };
    hide();

    // The clock starts at the press of G, the modifiers held already, and stops when both panels
    // are viewable; the keys are let go of afterwards, outside the time.
    const auto showTimes = [&](pid_t focused, const char* name, const char* key) {
        std::vector<double> shows;
        int failures = 0;
        if (!shell.activate(focused))
            out << "gnome_harness: no focus for " << name << '\n';
        for (int i = 0; i < 30 && panels.size() == 2; ++i) {
            desktop.waitUntil([] { return true; }, 0s);
            for (quint32 code : kModifierKeys)
                keyboard.key(code, true);
            const auto start = Clock::now();
            keyboard.key(kGKey, true);
            int maps = 0;
            while (maps < 2 && since(start) < 5000) {
                xcb_generic_event_t* event = xcb_poll_for_event(c);
                if (!event) {
                    QThread::usleep(100);
                    continue;
                }
                const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
                maps += (event->response_type & 0x7f) == XCB_MAP_NOTIFY
                    && std::ranges::count(panels, map->window) > 0;
                std::free(event);
            }
            while (maps == 2 && viewableCount(windows, panels) < 2 && since(start) < 5000)
                QThread::usleep(100);
            if (maps == 2 && viewableCount(windows, panels) == 2)
                shows.push_back(since(start));
            else
                ++failures;
            releaseShortcut();
            hide();
        }
        report(out, name, key, shows, failures);
    };
    showTimes(xterm->pid(), "shortcut -> panels viewable, xterm focused", "gnome_shortcut_panels_x11_median");
    showTimes(wayland->pid(), "shortcut -> panels viewable, Wayland focused", "gnome_shortcut_panels_wayland_median");

    // Release on a tile to the xterm's new size on Xwayland: alternately the whole first work
    // area and its top half, so that every release changes the frame. The drag is checked by
    // its preview before the release, since now and then a press through RemoteDesktop reaches
    // no window; then it is pressed again.
    shell.activate(xterm->pid());
    pressShortcut();
    releaseShortcut();
    windows.waitForPanels(expected, 5s);
    const QRect& panel = expected[0];
    std::vector<double> releases;
    int releaseFailures = 0;
    for (int i = 0; i < 30; ++i) {
        const int toRow = i % 2 ? 0 : 1;
        const QRect block = GridlumeWindows::tileBlock(areas[0], 0, 0).united(GridlumeWindows::tileBlock(areas[0], toRow, 1));
        bool dragged = false;
        for (int attempt = 0; attempt < 3 && !dragged; ++attempt) {
            shell.button(false);
            shell.moveTo(GridlumeWindows::tileCentre(panel, 0, 0));
            desktop.waitUntil([&] { return windows.viewablePreview() == GridlumeWindows::tileBlock(areas[0], 0, 0); }, 2s);
            shell.button(true);
            dragged = shell.moveTo(GridlumeWindows::tileCentre(panel, toRow, 1))
                && desktop.waitUntil([&] { return windows.viewablePreview() == block; }, 2s);
        }
        Reply<xcb_get_geometry_reply_t> before(xcb_get_geometry_reply(c, xcb_get_geometry(c, terminalWindow), nullptr));
        desktop.waitUntil([] { return true; }, 0s);
        const auto start = Clock::now();
        shell.button(false);
        bool settled = false;
        while (dragged && before && !settled && since(start) < 3000) {
            xcb_generic_event_t* event = xcb_poll_for_event(c);
            if (!event) {
                QThread::usleep(100);
                continue;
            }
            const auto* configure = reinterpret_cast<xcb_configure_notify_event_t*>(event);
            settled = (event->response_type & 0x7f) == XCB_CONFIGURE_NOTIFY && configure->window == terminalWindow
                && (configure->width != before->width || configure->height != before->height);
            std::free(event);
        }
        if (settled)
            releases.push_back(since(start));
        else
            ++releaseFailures;
    }
    report(out, "release on a tile -> xterm settled", "gnome_release_settled_median", releases, releaseFailures);
    return 0;
}
