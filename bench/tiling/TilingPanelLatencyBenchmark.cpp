// How fast the tiling panels answer on a real X server (Xvfb + Openbox, two monitors):
//
//   show → mapped     from showPanels() until every panel is exposed, on two monitors and on one
//   motion → preview  from an XTEST pointer motion onto another tile until the X server reports
//                     the preview window at the block's frame; also beside two CPU-bound processes,
//                     in a session of their own and in Gridlume's
//   memory            resident set size over 1,000 show/hide cycles
//
// Prints medians and 99th percentiles; asserts nothing.
//
//   tiling_panel_latency_benchmark [--iterations N] [--cycles N]
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
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <QTemporaryDir>
#include <QWindow>

#include <xcb/xtest.h>

#include <csignal>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
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

    // As Gridlume does once it has started.
    controller.preparePanels();
    measureShow("show -> panels mapped, 2 monitors", "show_2", 2);

    // Pointer motion over the primary monitor's grid, alternating between two tiles, each motion
    // made once Gridlume is idle again (a user goes from tile to tile no faster than every few
    // tens of milliseconds). The preview counts as there when the X server reports it at the
    // block's frame: a thread of the harness's own, on a connection of its own, takes the time of
    // its ConfigureNotify. Read on Gridlume's thread instead, the time would include whatever
    // Gridlume paints after moving the preview.
    auto measurePointer = [&](const char* name, const char* key) {
        controller.showPanels();
        runUntil(allExposed);
        const QRect panel = controller.panel(controller.panelDisplayIDs().first())->geometry();
        xcb_connection_t* connection = desktop.connection();
        const QPoint tiles[] = { panel.topLeft() + QPoint(12 + 70, 84 + 44), panel.topLeft() + QPoint(12 + 210, 84 + 131) };
        const QRect frames[] = { QRect(0, 0, 640, 512), QRect(640, 512, 640, 512) };
        WindowPlacementPreviewPanel& preview = controller.windowPlacementPreviewPanel();
        const xcb_window_t window = xcb_window_t(preview.winId());

        xcb_connection_t* watcher = xcb_connect(desktop.displayName().constData(), nullptr);
        const quint32 structure = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(watcher, window, XCB_CW_EVENT_MASK, &structure);
        xcb_flush(watcher);
        std::mutex mutex;
        QRect serverFrame;
        Clock::time_point configured;
        std::thread watch([&] {
            while (xcb_generic_event_t* event = xcb_wait_for_event(watcher)) {
                const auto type = event->response_type & 0x7f;
                if (type == XCB_CONFIGURE_NOTIFY) {
                    const auto* configure = reinterpret_cast<xcb_configure_notify_event_t*>(event);
                    const std::lock_guard lock(mutex);
                    serverFrame = QRect(configure->x, configure->y, configure->width, configure->height);
                    configured = Clock::now();
                }
                std::free(event);
                if (type == XCB_DESTROY_NOTIFY || type == XCB_CONFIGURE_NOTIFY)
                    QMetaObject::invokeMethod(QCoreApplication::instance(), [] { }, Qt::QueuedConnection);
                if (type == XCB_DESTROY_NOTIFY)
                    break;
            }
        });
        auto configuredAt = [&](const QRect& frame) -> std::optional<Clock::time_point> {
            const std::lock_guard lock(mutex);
            return serverFrame == frame && preview.isVisible() ? std::optional(configured) : std::nullopt;
        };
        std::vector<double> samples;
        int failures = 0;
        for (int i = 0; i < iterations; ++i) {
            const int index = i % 2;
            QElapsedTimer idle;
            idle.start();
            while (idle.elapsed() < 10)
                QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 10);
            const auto start = Clock::now();
            xcb_test_fake_input(connection, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, desktop.root(),
                qint16(tiles[index].x()), qint16(tiles[index].y()), 0);
            xcb_flush(connection);
            std::optional<Clock::time_point> at;
            const QDeadlineTimer deadline(std::chrono::seconds(5));
            while (!(at = configuredAt(frames[index])) && !deadline.hasExpired())
                QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 100);
            if (at)
                samples.push_back(std::chrono::duration<double, std::milli>(*at - start).count());
            else
                ++failures;
        }
        report(name, key, samples, failures);
        controller.hidePanels();
        runUntil(noneExposed);
        // Ends the watcher's wait: a window of its own, destroyed, sends it a DestroyNotify.
        const xcb_window_t end = xcb_generate_id(watcher);
        xcb_create_window(watcher, XCB_COPY_FROM_PARENT, end, desktop.root(), 0, 0, 1, 1, 0,
            XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &structure);
        xcb_destroy_window(watcher, end);
        xcb_flush(watcher);
        watch.join();
        xcb_disconnect(watcher);
    };
    measurePointer("pointer motion -> preview at frame", "pointer_preview");
    // The same beside two processes that keep both cores busy, as a build would: started from a
    // terminal, a build runs in a session of its own, and the kernel's autogroup scheduling
    // shares the processors between sessions first; the second row has the busy processes in
    // the session of Gridlume and the X server, where they compete thread by thread.
    for (const bool ownSession : { true, false }) {
        std::vector<pid_t> hogs;
        for (int i = 0; i < 2; ++i) {
            const pid_t pid = ::fork();
            if (pid == 0) {
                ::prctl(PR_SET_PDEATHSIG, SIGKILL);
                if (ownSession)
                    ::setsid();
                for (std::atomic<unsigned> spin = 0;; spin.fetch_add(1, std::memory_order_relaxed)) { }
            }
            hogs.push_back(pid);
        }
        if (ownSession)
            measurePointer("pointer motion -> preview, 2 CPU hogs", "pointer_preview_hogs");
        else
            measurePointer("the same, hogs in Gridlume's session", "pointer_preview_hogs_same_session");
        for (const pid_t pid : hogs) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
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
