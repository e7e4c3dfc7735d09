#pragma once

#include "X11EventListener.h"
#include "X11PropertyParsers.h"
#include "platform/Accessibility.h"
#include "platform/Log.h"

#include <QElapsedTimer>

#include <array>
#include <chrono>
#include <memory>
#include <optional>
#include <vector>

namespace gridlume {

class X11Connection;
class X11ProcessLookup;
class X11ScreenProvider;
class X11WindowElement;
class X11WindowManagerBarrier;

// Other programs' windows through EWMH: the window manager is asked to move and resize them,
// the way a pager does.
//
// Positions and sizes are those of the visible frame: the client window plus the window
// manager's decoration (_NET_FRAME_EXTENTS), less any shadow a client draws around itself
// (_GTK_FRAME_EXTENTS). Writes go out without waiting: the first builds on the frame read from the
// server, those that follow it to the same window on the frame the earlier ones asked for, since
// the server hands them to the window manager in order. The window manager has carried them all
// out when the window's frame is next read, or its element released; that is where the backend
// waits for it, once, with a deadline, and where a maximize the window manager carried out just
// before the writes (which it then ignored) is undone and the frame written again. A maximized
// window is restored, with a wait, before anything is built on its frame. A window manager that
// answers no barrier is waited for before and after every write.
class X11Accessibility final : public Accessibility, private X11EventListener {
public:
    X11Accessibility(X11Connection& connection, X11ProcessLookup& processLookup, X11ScreenProvider& screens,
        LogSink& logSink);
    ~X11Accessibility() override;

    AXUIElementRef createApplication(pid_t pid) override;
    AXError copyAttributeValue(const AXUIElementRef& element, const QString& attribute, AXObjectRef& value) override;
    AXError setAttributeValue(const AXUIElementRef& element, const QString& attribute, const AXObjectRef& value) override;
    std::shared_ptr<const AXValue> createPointValue(Point point) override;
    std::shared_ptr<const AXValue> createSizeValue(Size size) override;

    // How long a write waits for the window manager's answer to a barrier. It comes within a
    // millisecond or two; only a window manager that hangs makes a write wait this long.
    static constexpr std::chrono::milliseconds answerDeadline { 2000 };
    // How long a write waits for a ConfigureNotify from a window manager that answers no
    // barrier. A request the window manager grants nothing of produces none, so every such write
    // may wait this long.
    static constexpr std::chrono::milliseconds configureDeadline { 250 };

private:
    struct WindowState {
        x11::RootRect client;
        x11::FrameExtents decoration;
        x11::FrameExtents shadow;
        std::vector<quint32> states;
        x11::RootRect visibleFrame() const { return x11::visibleFrameOfClient(client, decoration, shadow); }
    };

    void handleEvent(const xcb_generic_event_t* event) override;
    AXError focusedWindow(pid_t pid, AXObjectRef& value);
    AXError readWindowState(xcb_window_t window, WindowState& state);
    AXError writeFrame(xcb_window_t window, std::optional<Point> position, std::optional<Size> size);
    AXError clearMaximizedState(xcb_window_t window, const WindowState& state);
    // Waits until the window manager has carried out the writes that went out without waiting,
    // and reads the window's frame.
    AXError settlePendingWrites();
    // Asks the window manager to give the client window `client` (root coordinates).
    void sendFrame(xcb_window_t window, const x11::RootRect& client);
    bool hasMaximizedState(const std::vector<quint32>& states) const;
    bool windowManagerSupports(xcb_atom_t hint);
    bool answersBarriers();
    void probeBarriers();
    // Waits until the window manager has handled every message sent to it so far (see
    // X11WindowManagerBarrier). InvalidUIElement when `window` is destroyed meanwhile,
    // CannotComplete when the connection breaks; Success also when the window manager answers no
    // barriers, which leaves nothing to wait for.
    // With `expectedClient`, the window manager's synthetic ConfigureNotify of `window` at exactly
    // that client geometry ends the wait as well.
    AXError waitForWindowManager(xcb_window_t window, const std::optional<x11::RootRect>& expectedClient = std::nullopt);
    void sendToRoot(xcb_window_t window, xcb_atom_t type, const std::array<quint32, 5>& data);
    AXError failure(AXError error, const char* what, xcb_window_t window) const;

    X11Connection& m_connection;
    X11ProcessLookup& m_processLookup;
    X11ScreenProvider& m_screens;
    Logger m_logger;
    // The window manager's _NET_SUPPORTED, read once per window manager.
    std::optional<std::vector<quint32>> m_supportedHints;
    // Whether the window manager answers barriers as it claims to: learnt from a barrier sent as
    // soon as it runs, which nothing waits for, or else from the first one a write waits for.
    std::optional<bool> m_windowManagerAnswersBarriers;
    std::unique_ptr<X11WindowManagerBarrier> m_barrierProbe;
    QElapsedTimer m_barrierProbeClock;
    // The last position written, unrounded, and the pixel it was rounded to: a size written
    // next to the same window rounds the far edges, so blocks that share an edge share it in
    // pixels too (rounding the origin and the size apart leaves one-pixel seams).
    struct WrittenPosition {
        xcb_window_t window = XCB_WINDOW_NONE;
        Point position;
        qint64 rootX = 0;
        qint64 rootY = 0;
    };
    WrittenPosition m_lastPosition;
    // The writes sent to a window and not yet seen carried out: the frame the last of them asks for,
    // which the next write to the same window builds on.
    struct PendingWrites {
        xcb_window_t window = XCB_WINDOW_NONE;
        WindowState expected;
    };
    std::optional<PendingWrites> m_pendingWrites;
    // The frame last read, until the window's next change or write.
    struct LastRead {
        xcb_window_t window = XCB_WINDOW_NONE;
        WindowState state;
    };
    std::optional<LastRead> m_lastRead;
    // Lets window elements released after the backend do nothing.
    std::shared_ptr<X11Accessibility*> m_self { std::make_shared<X11Accessibility*>(this) };
};

} // namespace gridlume
