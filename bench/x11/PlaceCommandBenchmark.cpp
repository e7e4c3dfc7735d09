// How long `gridlume place` takes from the start of its process until the window's frame has
// settled on the block, next to the same move by `wmctrl -e` (also a process start), on one
// Xvfb + Openbox desktop: without a running Gridlume (the command places the window itself)
// and with one (the command hands the placement to it). Prints medians and ratios; asserts
// nothing.
//
//   place_command_benchmark [--iterations N]
#include "GridlumeUnderTest.h"
#include "X11TestDesktop.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace gridlume;
using namespace gridlume::test;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool isOn(const std::optional<Rect>& frame, const Rect& block)
{
    return frame && std::abs(frame->minX() - block.minX()) < 1 && std::abs(frame->minY() - block.minY()) < 1
        && std::abs(frame->width() - block.width()) < 1 && std::abs(frame->height() - block.height()) < 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    int iterations = 20;
    for (int i = 1; i + 1 < argc; ++i) {
        if (qstrcmp(argv[i], "--iterations") == 0)
            iterations = std::max(1, std::atoi(argv[i + 1]));
    }
    X11TestDesktop desktop;
    QString error;
    if (!desktop.start(&error)) {
        std::fprintf(stderr, "place_command_benchmark: %s\n", qPrintable(error));
        return 1;
    }
    const std::unique_ptr<ChildProcess> client = desktop.startTestWindow();
    const xcb_window_t window = desktop.waitForClientWindow(client->pid());
    if (window == XCB_WINDOW_NONE || !desktop.activate(window)) {
        std::fprintf(stderr, "place_command_benchmark: the test window did not come up\n");
        return 1;
    }
    GridlumeUnderTest gridlume(desktop);
    const Rect primary = X11TestDesktop::primaryMonitor;
    // The left and the right half, in turns, so that every command really moves the window.
    const Rect halves[] = { Rect(primary.minX(), primary.minY(), primary.width() / 2, primary.height()),
        Rect(primary.midX(), primary.minY(), primary.width() / 2, primary.height()) };
    const QString halfArguments[] = { QStringLiteral("0,0"), QStringLiteral("1,0") };
    const QString id = QString::number(window);

    auto timed = [&](const std::function<bool()>& command, const Rect& block, std::vector<double>& samples) {
        const Clock::time_point start = Clock::now();
        if (command() && desktop.waitUntil([&] { return isOn(desktop.visibleFrame(window), block); }, 5s))
            samples.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    };
    auto place = [&](int half) {
        return [&, half] {
            return gridlume.runCommand({ QStringLiteral("place"), QStringLiteral("2x1"), halfArguments[half] }).exitCode
                == 0;
        };
    };
    auto wmctrl = [&](int half) {
        return [&, half] {
            // wmctrl takes the frame's corner and the client's size: the decoration comes off.
            xcb_connection_t* c = desktop.connection();
            xcb_get_property_reply_t* reply = xcb_get_property_reply(c,
                xcb_get_property(c, 0, window, desktop.atom("_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL, 0, 4), nullptr);
            quint32 extents[4] = { 0, 0, 0, 0 };
            if (reply && xcb_get_property_value_length(reply) == 16)
                std::copy_n(static_cast<const quint32*>(xcb_get_property_value(reply)), 4, extents);
            std::free(reply);
            const Rect& block = halves[half];
            const QString geometry = QStringLiteral("0,%1,%2,%3,%4")
                                         .arg(qint64(block.minX()))
                                         .arg(qint64(block.minY()))
                                         .arg(qint64(block.width()) - extents[0] - extents[1])
                                         .arg(qint64(block.height()) - extents[2] - extents[3]);
            return desktop
                       .run(QStringLiteral("wmctrl"),
                           { QStringLiteral("-i"), QStringLiteral("-r"), id, QStringLiteral("-e"), geometry })
                       .exitCode
                == 0;
        };
    };

    std::vector<double> direct, throughInstance, byWmctrl;
    for (int i = 0; i < iterations; ++i) {
        timed(place(0), halves[0], direct);
        timed(wmctrl(1), halves[1], byWmctrl);
    }
    // With a shortcut, so that no settings window opens and takes the focus from the window.
    gridlume.writeSettings(GridlumeUnderTest::settingsWithShortcut());
    if (gridlume.start(&error) && desktop.activate(window)) {
        for (int i = 0; i < iterations; ++i) {
            timed(place(i % 2), halves[i % 2], throughInstance);
        }
    } else {
        std::fprintf(stderr, "place_command_benchmark: %s\n", qPrintable(error));
    }
    std::printf("gridlume place from process start to settled frame, %d runs each (ms)\n", iterations);
    std::printf("  without a running Gridlume  %8.2f  (%zu settled)\n", median(direct), direct.size());
    std::printf(
        "  through the running one     %8.2f  (%zu settled)\n", median(throughInstance), throughInstance.size());
    std::printf("  wmctrl -e                   %8.2f  (%zu settled)\n", median(byWmctrl), byWmctrl.size());
    std::printf(
        "@metric place_command_direct %.3f\n@metric place_command_instance %.3f\n@metric place_command_wmctrl %.3f\n",
        median(direct), median(throughInstance), median(byWmctrl));
    return 0;
}
