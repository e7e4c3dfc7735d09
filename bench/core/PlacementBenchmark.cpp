// The placement path without a window system: the geometry rules, and a whole
// placeFocusedWindow on the simulated desktop (so later changes to the service can be compared).
#include "placement/FrameGeometry.h"
#include "placement/WindowPlacementRegion.h"
#include "placement/WindowPlacementService.h"
#include "platform/sim/SimDesktop.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

using namespace gridlume;

namespace {

void regionToFrame(benchmark::State& state)
{
    const Rect visible(-1920, 40, 1920, 1040);
    qint64 n = 2;
    for (auto _ : state) {
        const WindowPlacementRegion region { n, n, { 0, 1 }, { n - 1, n - 1 } };
        benchmark::DoNotOptimize(region.appKitFrame(visible));
        n = n == 8 ? 2 : n + 1;
    }
}
BENCHMARK(regionToFrame);

void flipAndConstrain(benchmark::State& state)
{
    const Rect primary(0, 0, 2560, 1440);
    const Rect bounds(0, 0, 2560, 1400);
    Rect frame(2000, -50, 900, 700);
    for (auto _ : state) {
        const Rect flipped = flippedFrame(frame, primary);
        benchmark::DoNotOptimize(constrainedFrame(bounds, flippedFrame(flipped, primary)));
        frame.origin.x += 0.5;
    }
}
BENCHMARK(flipAndConstrain);

// A window with a minimum width: the longest path, with the position adjusted after the read-back.
void placeFocusedWindowOnSimulatedDesktop(benchmark::State& state)
{
    SimDesktop desktop;
    Platform platform = desktop.platform();
    WindowPlacementService service(platform.accessibility, platform.screens, platform.workspace, platform.logSink);
    const pid_t pid = desktop.addApplication(QStringLiteral("Terminal"));
    SimWindowSpec spec;
    spec.minimumSize = { 1000, 0 };
    desktop.addWindow(pid, spec);
    desktop.setEnhancedUserInterface(pid, true);
    const RunningApplication target = desktop.application(pid);
    const Screen screen = desktop.screens().first();
    const WindowPlacementRegion region { 2, 2, { 1, 1 }, { 1, 1 } };
    for (auto _ : state) {
        benchmark::DoNotOptimize(service.placeFocusedWindow(target, screen, region));
        state.PauseTiming();
        desktop.clearCalls();
        state.ResumeTiming();
    }
}
BENCHMARK(placeFocusedWindowOnSimulatedDesktop);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
