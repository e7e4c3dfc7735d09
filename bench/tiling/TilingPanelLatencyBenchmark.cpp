// How fast the tiling panels answer on a real X server (Xvfb + Openbox, two monitors):
//
//   show → mapped     from showPanels() until every panel is exposed, on two monitors and on one
//   motion → preview  from an XTEST pointer motion onto another tile until the server has the
//                     preview window at the block's frame; also beside two CPU-bound processes
//   memory            resident set size over 1,000 show/hide cycles
//
// Prints medians and 99th percentiles; asserts nothing.
//
//   tiling_panel_latency_benchmark [--iterations N] [--cycles N]
#include "ChildProcess.h"
#include "X11TestDesktop.h"
#include "hotkeys/HotKeyService.h"
#include "placement/WindowPlacementService.h"
#include "platform/IniUserDefaults.h"
#include "platform/x11/X11PanelWindowTraits.h"
#include "platform/x11/X11Platform.h"
#include "settings/SettingsStore.h"
#include "settings/UIStates.h"
#include "tiling/SpotlightLikePanel.h"
#include "tiling/WindowPlacementPreviewPanel.h"
#include "tiling/WindowPlacementTilingPanelController.h"
#include "tracking/ForegroundApplicationStore.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>
#include <QTemporaryDir>
#include <QWindow>

#include <xcb/xtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace gridlume;
using namespace gridlume::test;
using Clock = std::chrono::steady_clock;

namespace {

class NoAppearance final : public AppearanceApplier {
public:
    void applyAppearance(AppAppearance) override { }
};

double percentile(std::vector<double> samples, double p)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    return samples[std::min(samples.size() - 1, std::size_t(p * double(samples.size() - 1) + 0.5))];
}

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool runUntil(const std::function<bool()>& predicate, std::chrono::milliseconds timeout = std::chrono::seconds(5))
{
    const QDeadlineTimer deadline(timeout);
    while (!predicate()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

long residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// The human-readable line, and "@metric <key>_median|_p99 <ms>" lines for scripts/bench.
void report(const char* name, const char* key, const std::vector<double>& samples, int failures)
{
    std::printf("%-34s n=%3zu  median %7.2f ms  p99 %7.2f ms  failures %d\n", name, samples.size(),
        percentile(samples, 0.5), percentile(samples, 0.99), failures);
    if (!samples.empty()) {
        std::printf("@metric %s_median %.3f\n", key, percentile(samples, 0.5));
        std::printf("@metric %s_p99 %.3f\n", key, percentile(samples, 0.99));
    }
}

} // namespace

int main(int argc, char** argv)
{
    int iterations = 100;
    int cycles = 1000;
    for (int i = 1; i + 1 < argc; ++i) {
        if (qstrcmp(argv[i], "--iterations") == 0)
            iterations = std::max(1, atoi(argv[i + 1]));
        if (qstrcmp(argv[i], "--cycles") == 0)
            cycles = std::max(1, atoi(argv[i + 1]));
    }

    X11TestDesktop desktop;
    QString error;
    if (!desktop.start(&error)) {
        std::fprintf(stderr, "no test desktop: %s\n", qPrintable(error));
        return 1;
    }
    qputenv("DISPLAY", desktop.displayName());
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);

    QTemporaryDir settings;
    CapturingLogSink log;
    IniUserDefaults userDefaults(log, settings.filePath(QStringLiteral("gridlume.conf")));
    const std::unique_ptr<X11PanelWindowTraits> traits = X11PanelWindowTraits::create();
    const std::unique_ptr<X11Platform> backend = traits ? X11Platform::create(userDefaults, log, *traits, &error) : nullptr;
    if (!backend) {
        std::fprintf(stderr, "no X11 backend: %s\n", qPrintable(error));
        return 1;
    }
    Platform& platform = backend->platform();
    HotKeyService hotKeyService(platform.hotKeys, log);
    NoAppearance appearance;
    SettingsStore settingsStore(platform.userDefaults, hotKeyService, appearance, platform.logSink);
    UIStates uiStates;
    ForegroundApplicationStore foregroundApplicationStore(platform.workspace);
    WindowPlacementService placementService(platform.accessibility, platform.screens, platform.workspace, log);
    WindowPlacementTilingPanelController controller(
        platform, foregroundApplicationStore, settingsStore, uiStates, placementService);

    auto allExposed = [&] {
        const QList<DisplayID> ids = controller.panelDisplayIDs();
        return !ids.isEmpty() && std::all_of(ids.begin(), ids.end(), [&](DisplayID id) {
            return controller.panel(id)->windowHandle()->isExposed();
        });
    };
    auto noneExposed = [&] {
        const QList<DisplayID> ids = controller.panelDisplayIDs();
        return std::none_of(ids.begin(), ids.end(), [&](DisplayID id) {
            const SpotlightLikePanel* panel = controller.panel(id);
            return panel->windowHandle() && panel->windowHandle()->isExposed();
        });
    };

    auto measureShow = [&](const char* name, const char* key, int expectedPanels) {
        std::vector<double> samples;
        int failures = 0;
        for (int i = 0; i < iterations; ++i) {
            const auto start = Clock::now();
            controller.showPanels();
            if (runUntil(allExposed) && controller.panelDisplayIDs().size() == expectedPanels)
                samples.push_back(millisecondsSince(start));
            else
                ++failures;
            controller.hidePanels();
            runUntil(noneExposed);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        report(name, key, samples, failures);
    };

    measureShow("show -> panels mapped, 2 monitors", "show_2", 2);

    // Pointer motion over the primary monitor's grid, alternating between two tiles.
    auto measurePointer = [&](const char* name, const char* key) {
        controller.showPanels();
        runUntil(allExposed);
        const QRect panel = controller.panel(controller.panelDisplayIDs().first())->geometry();
        xcb_connection_t* connection = desktop.connection();
        const QPoint tiles[] = { panel.topLeft() + QPoint(12 + 70, 84 + 44), panel.topLeft() + QPoint(12 + 210, 84 + 131) };
        const QRect frames[] = { QRect(0, 0, 640, 512), QRect(640, 512, 640, 512) };
        WindowPlacementPreviewPanel& preview = controller.windowPlacementPreviewPanel();
        // The server's view of the preview comes as events on the harness's own connection
        // (ConfigureNotify, MapNotify, UnmapNotify), waited for without spinning: a loop of
        // geometry requests would compete with the X server for the two cores it measures.
        const xcb_window_t window = xcb_window_t(preview.winId());
        const quint32 structure = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection, window, XCB_CW_EVENT_MASK, &structure);
        QRect serverFrame;
        bool mapped = false;
        {
            xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
            xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
                connection, xcb_get_window_attributes(connection, window), nullptr);
            if (geometry)
                serverFrame = QRect(geometry->x, geometry->y, geometry->width, geometry->height);
            mapped = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
            std::free(geometry);
            std::free(attributes);
        }
        auto readEvents = [&] {
            while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
                const auto type = event->response_type & 0x7f;
                if (type == XCB_CONFIGURE_NOTIFY) {
                    const auto* configure = reinterpret_cast<xcb_configure_notify_event_t*>(event);
                    if (configure->window == window)
                        serverFrame = QRect(configure->x, configure->y, configure->width, configure->height);
                } else if (type == XCB_MAP_NOTIFY) {
                    mapped = mapped || reinterpret_cast<xcb_map_notify_event_t*>(event)->window == window;
                } else if (type == XCB_UNMAP_NOTIFY) {
                    mapped = mapped && reinterpret_cast<xcb_unmap_notify_event_t*>(event)->window != window;
                }
                std::free(event);
            }
        };
        QSocketNotifier harnessEvents(xcb_get_file_descriptor(connection), QSocketNotifier::Read);
        QTimer safety; // wakes the wait should an event slip past the notifier
        safety.start(100);
        auto waitForPreview = [&](const QRect& frame) {
            const QDeadlineTimer deadline(std::chrono::seconds(5));
            for (;;) {
                readEvents();
                if (mapped && serverFrame == frame && preview.geometry() == frame)
                    return true;
                if (deadline.hasExpired())
                    return false;
                QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
            }
        };
        std::vector<double> samples;
        int failures = 0;
        for (int i = 0; i < iterations; ++i) {
            const int index = i % 2;
            const auto start = Clock::now();
            xcb_test_fake_input(connection, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, desktop.root(),
                qint16(tiles[index].x()), qint16(tiles[index].y()), 0);
            xcb_flush(connection);
            if (waitForPreview(frames[index]))
                samples.push_back(millisecondsSince(start));
            else
                ++failures;
        }
        report(name, key, samples, failures);
        controller.hidePanels();
        runUntil(noneExposed);
    };
    measurePointer("pointer motion -> preview at frame", "pointer_preview");
    // The same beside two processes that keep both cores busy, as a build would.
    {
        std::vector<std::unique_ptr<ChildProcess>> hogs;
        for (int i = 0; i < 2; ++i)
            hogs.push_back(std::make_unique<ChildProcess>(
                QStringLiteral("sh"), QStringList { QStringLiteral("-c"), QStringLiteral("while :; do :; done") }));
        measurePointer("pointer motion -> preview, 2 CPU hogs", "pointer_preview_hogs");
        for (const std::unique_ptr<ChildProcess>& hog : hogs)
            hog->kill();
    }

    // Resident memory over many show/hide cycles, after a warm-up.
    {
        long afterWarmUp = 0;
        for (int i = 0; i < cycles; ++i) {
            controller.showPanels();
            runUntil(allExposed);
            controller.hidePanels();
            runUntil(noneExposed);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            if (i == std::min(99, cycles - 1))
                afterWarmUp = residentKilobytes();
        }
        const long atEnd = residentKilobytes();
        std::printf("%-34s after %d cycles %ld kB, after %d cycles %ld kB, growth %ld kB\n", "resident memory",
            std::min(100, cycles), afterWarmUp, cycles, atEnd, atEnd - afterWarmUp);
        std::printf("@metric panel_cycles_rss_growth_kb %ld\n", atEnd - afterWarmUp);
    }

    if (desktop.run(QStringLiteral("xrandr"), { QStringLiteral("--delmonitor"), QStringLiteral("M2") }).exitCode == 0) {
        runUntil([&] { return platform.screens.screens().size() == 1; });
        measureShow("show -> panels mapped, 1 monitor", "show_1", 1);
    }
    return 0;
}
