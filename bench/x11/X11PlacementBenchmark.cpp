// How long a placement takes on a real X server, from the call until the window's frame has
// settled, next to the same move and resize done by the usual command-line tools and next to the
// window manager's own floor:
//
//   gridlume  WindowPlacementService::placeFocusedWindow on the X11 backend
//   wmctrl    wmctrl -i -r <window> -e 0,x,y,w,h
//   xdotool   xdotool windowsize --sync …, then xdotool windowmove --sync …
//   floor     a minimal xcb client of its own: one _NET_MOVERESIZE_WINDOW, until the window's
//             ConfigureNotify with the new size
//
// The four run interleaved on one Xvfb + Openbox desktop, moving one window back and forth
// between two blocks of the primary monitor. A tool's time ends once the test connection sees
// the window's visible frame on the block. Prints medians and ratios; asserts nothing.
//
//   x11_placement_benchmark [--iterations N]
#include "X11TestDesktop.h"
#include "placement/WindowPlacementService.h"
#include "platform/IniUserDefaults.h"
#include "platform/PanelWindowTraits.h"
#include "platform/x11/X11Platform.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <poll.h>

using namespace gridlume;
using namespace gridlume::test;
using Clock = std::chrono::steady_clock;

namespace {


struct Samples {
    const char* name;
    std::vector<double> milliseconds;
    int failures = 0;

    double percentile(double p) const
    {
        if (milliseconds.empty())
            return 0;
        std::vector<double> sorted = milliseconds;
        std::sort(sorted.begin(), sorted.end());
        return sorted[std::min(sorted.size() - 1, std::size_t(p * double(sorted.size() - 1) + 0.5))];
    }
};

double elapsedMilliseconds(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The frame decoration widths Openbox gives the window (left, right, top, bottom).
std::vector<qint64> frameExtents(const X11TestDesktop& desktop, xcb_window_t window)
{
    xcb_connection_t* c = desktop.connection();
    xcb_get_property_reply_t* reply = xcb_get_property_reply(c,
        xcb_get_property(c, 0, window, desktop.atom("_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL, 0, 4), nullptr);
    std::vector<qint64> extents { 0, 0, 0, 0 };
    if (reply && xcb_get_property_value_length(reply) == 16) {
        const auto* values = static_cast<const quint32*>(xcb_get_property_value(reply));
        extents.assign(values, values + 4);
    }
    std::free(reply);
    return extents;
}

// The visible frame (client + decoration) in root coordinates, read on the test's connection.
Rect visibleFrame(const X11TestDesktop& desktop, xcb_window_t window)
{
    xcb_connection_t* c = desktop.connection();
    auto geometryCookie = xcb_get_geometry(c, window);
    auto originCookie = xcb_translate_coordinates(c, window, desktop.root(), 0, 0);
    xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(c, geometryCookie, nullptr);
    xcb_translate_coordinates_reply_t* origin = xcb_translate_coordinates_reply(c, originCookie, nullptr);
    const std::vector<qint64> extents = frameExtents(desktop, window);
    Rect result;
    if (geometry && origin) {
        result = Rect(origin->dst_x - extents[0], origin->dst_y - extents[2], geometry->width + extents[0] + extents[1],
            geometry->height + extents[2] + extents[3]);
    }
    std::free(geometry);
    std::free(origin);
    return result;
}

// The least any client can spend on a move and resize: one _NET_MOVERESIZE_WINDOW on a connection
// of its own, and the wait for the client window's ConfigureNotify with the new size.
class MoveResizeFloor final {
public:
    explicit MoveResizeFloor(const QByteArray& displayName)
        : m_connection(xcb_connect(displayName.constData(), nullptr))
    {
        const QByteArray name = QByteArrayLiteral("_NET_MOVERESIZE_WINDOW");
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, quint16(name.size()), name.constData()), nullptr);
        m_moveResize = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    }
    ~MoveResizeFloor() { xcb_disconnect(m_connection); }
    MoveResizeFloor(const MoveResizeFloor&) = delete;
    MoveResizeFloor& operator=(const MoveResizeFloor&) = delete;

    void watch(xcb_window_t window)
    {
        const quint32 mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_connection, window, XCB_CW_EVENT_MASK, &mask);
        free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    }

    // Moves the client window to `client` (root coordinates of the client area); milliseconds
    // until its ConfigureNotify with the new size, or a negative number after 5 s.
    double moveResize(xcb_window_t window, const Rect& client)
    {
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection))
            std::free(event);
        xcb_client_message_event_t message {};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window;
        message.type = m_moveResize;
        // Static gravity, x, y, width and height present, from a pager.
        message.data.data32[0] = XCB_GRAVITY_STATIC | (0xF << 8) | (2 << 12);
        message.data.data32[1] = quint32(qint32(client.minX()));
        message.data.data32[2] = quint32(qint32(client.minY()));
        message.data.data32[3] = quint32(client.width());
        message.data.data32[4] = quint32(client.height());
        const Clock::time_point start = Clock::now();
        xcb_send_event(m_connection, 0, m_root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
            reinterpret_cast<const char*>(&message));
        xcb_flush(m_connection);
        while (Clock::now() - start < 5s) {
            xcb_generic_event_t* event = xcb_poll_for_event(m_connection);
            if (!event) {
                pollfd descriptor { xcb_get_file_descriptor(m_connection), POLLIN, 0 };
                ::poll(&descriptor, 1, 100);
                continue;
            }
            const auto* configure = reinterpret_cast<const xcb_configure_notify_event_t*>(event);
            const bool done = (event->response_type & 0x7f) == XCB_CONFIGURE_NOTIFY && configure->window == window
                && configure->width == client.width() && configure->height == client.height();
            std::free(event);
            if (done)
                return elapsedMilliseconds(start);
        }
        return -1;
    }

private:
    xcb_connection_t* m_connection;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    xcb_atom_t m_moveResize = XCB_ATOM_NONE;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    int iterations = 40;
    for (int i = 1; i + 1 < argc; ++i) {
        if (qstrcmp(argv[i], "--iterations") == 0)
            iterations = std::max(1, std::atoi(argv[i + 1]));
    }

    X11TestDesktop desktop;
    QString error;
    if (!desktop.start(&error)) {
        std::fprintf(stderr, "x11_placement_benchmark: %s\n", qPrintable(error));
        return 1;
    }
    CapturingLogSink log;
    QTemporaryDir settingsDirectory;
    IniUserDefaults userDefaults(log, settingsDirectory.filePath(QStringLiteral("bench.conf")));
    NoPanelWindowTraits panelWindowTraits;
    std::unique_ptr<X11Platform> backend
        = X11Platform::create(userDefaults, log, panelWindowTraits, &error, desktop.displayName());
    if (!backend) {
        std::fprintf(stderr, "x11_placement_benchmark: %s\n", qPrintable(error));
        return 1;
    }
    Platform& platform = backend->platform();

    const std::unique_ptr<ChildProcess> client = desktop.startTestWindow();
    const xcb_window_t window = desktop.waitForClientWindow(client->pid());
    if (window == XCB_WINDOW_NONE || !desktop.activate(window)) {
        std::fprintf(stderr, "x11_placement_benchmark: the test window did not come up\n");
        return 1;
    }
    const std::optional<RunningApplication> target = platform.workspace.frontmostApplication();
    const Screen screen = platform.screens.screens().at(0);
    WindowPlacementService service(platform.accessibility, platform.screens, platform.workspace, log);

    // Two blocks of different position and size, so every placement moves and resizes.
    const WindowPlacementRegion regions[] = { { 2, 2, { 0, 0 }, { 0, 0 } }, { 1, 2, { 0, 1 }, { 0, 1 } } };
    auto rootFrame = [&](const WindowPlacementRegion& region) {
        const Rect frame = region.appKitFrame(screen);
        return Rect(frame.minX(), screen.frame.maxY() - frame.maxY(), frame.width(), frame.height());
    };
    const QString id = QString::number(window);
    Samples gridlume { "gridlume", {} };
    Samples wmctrl { "wmctrl -e", {} };
    Samples xdotool { "xdotool --sync", {} };
    Samples floor { "floor", {} };
    MoveResizeFloor floorClient(desktop.displayName());
    floorClient.watch(window);

    for (int i = 0; i < iterations; ++i) {
        // Each method starts from the other block, so each one really moves the window.
        {
            const WindowPlacementRegion& region = regions[0];
            const Clock::time_point start = Clock::now();
            const bool placed = service.placeFocusedWindow(target, screen, region);
            const double time = elapsedMilliseconds(start);
            if (placed && visibleFrame(desktop, window) == rootFrame(region))
                gridlume.milliseconds.push_back(time);
            else
                ++gridlume.failures;
        }
        {
            const Rect frame = rootFrame(regions[1]);
            const std::vector<qint64> extents = frameExtents(desktop, window);
            // North-west gravity: x, y place the frame's corner; the size is the client's.
            const QString geometry = QStringLiteral("0,%1,%2,%3,%4")
                                         .arg(qint64(frame.minX()))
                                         .arg(qint64(frame.minY()))
                                         .arg(qint64(frame.width()) - extents[0] - extents[1])
                                         .arg(qint64(frame.height()) - extents[2] - extents[3]);
            const Clock::time_point start = Clock::now();
            const bool ran = desktop.run(QStringLiteral("wmctrl"), { QStringLiteral("-i"), QStringLiteral("-r"), id,
                                                                      QStringLiteral("-e"), geometry })
                                 .exitCode
                == 0;
            const bool settled = ran && desktop.waitUntil([&] { return visibleFrame(desktop, window) == frame; }, 5s);
            const double time = elapsedMilliseconds(start);
            if (settled)
                wmctrl.milliseconds.push_back(time);
            else
                ++wmctrl.failures;
        }
        {
            const Rect frame = rootFrame(regions[0]);
            const std::vector<qint64> extents = frameExtents(desktop, window);
            const Clock::time_point start = Clock::now();
            const bool ran = desktop.run(QStringLiteral("xdotool"),
                                 { QStringLiteral("windowsize"), QStringLiteral("--sync"), id,
                                     QString::number(qint64(frame.width()) - extents[0] - extents[1]),
                                     QString::number(qint64(frame.height()) - extents[2] - extents[3]) })
                                 .exitCode
                    == 0
                && desktop.run(QStringLiteral("xdotool"),
                              { QStringLiteral("windowmove"), QStringLiteral("--sync"), id,
                                  QString::number(qint64(frame.minX())), QString::number(qint64(frame.minY())) })
                           .exitCode
                    == 0;
            const bool settled = ran && desktop.waitUntil([&] { return visibleFrame(desktop, window) == frame; }, 5s);
            const double time = elapsedMilliseconds(start);
            if (settled)
                xdotool.milliseconds.push_back(time);
            else
                ++xdotool.failures;
        }
        {
            const Rect frame = rootFrame(regions[1]);
            const std::vector<qint64> extents = frameExtents(desktop, window);
            const Rect client(frame.minX() + double(extents[0]), frame.minY() + double(extents[2]),
                frame.width() - double(extents[0] + extents[1]), frame.height() - double(extents[2] + extents[3]));
            const double time = floorClient.moveResize(window, client);
            if (time >= 0 && desktop.waitUntil([&] { return visibleFrame(desktop, window) == frame; }, 5s))
                floor.milliseconds.push_back(time);
            else
                ++floor.failures;
        }
    }

    const double ours = gridlume.percentile(0.5);
    std::printf("Placement of one window on Xvfb + Openbox, %d runs each (ms); ratio = Gridlume / method\n", iterations);
    std::printf("%-16s %9s %9s %9s %9s %9s\n", "method", "median", "p10", "p90", "ratio", "failed");
    for (const Samples* samples : { &gridlume, &floor, &wmctrl, &xdotool }) {
        const double median = samples->percentile(0.5);
        std::printf("%-16s %9.2f %9.2f %9.2f %8.2fx %9d\n", samples->name, median, samples->percentile(0.1),
            samples->percentile(0.9), median > 0 ? ours / median : 0.0, samples->failures);
    }
    // For scripts/bench; the ratios are taken within this run.
    std::printf("@metric place_gridlume %.3f\n@metric place_wmctrl %.3f\n@metric place_xdotool %.3f\n", ours,
        wmctrl.percentile(0.5), xdotool.percentile(0.5));
    std::printf("@metric place_floor %.3f\n@metric place_floor_p90 %.3f\n", floor.percentile(0.5),
        floor.percentile(0.9));
    if (floor.percentile(0.5) > 0 && wmctrl.percentile(0.5) > 0)
        std::printf("@metric place_ratio_floor %.3f\n@metric place_ratio_wmctrl %.3f\n", ours / floor.percentile(0.5),
            ours / wmctrl.percentile(0.5));
    if (gridlume.failures || qEnvironmentVariableIsSet("GRIDLUME_BENCH_LOG"))
        std::printf("gridlume log:\n%s\n", qPrintable(log.messages().join(u'\n')));
    return 0;
}
