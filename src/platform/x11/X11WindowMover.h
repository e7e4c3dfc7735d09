#pragma once

#include "X11EventListener.h"
#include "X11PropertyParsers.h"
#include "platform/Log.h"
#include "platform/WindowMover.h"

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
class X11WindowManagerBarrier;

// Other programs' windows through EWMH: the window manager is asked to move and resize them,
// the way a pager does.
//
// Frames are visible frames: the client window plus the window manager's decoration
// (_NET_FRAME_EXTENTS), less any shadow a client draws around itself (_GTK_FRAME_EXTENTS), in
// root pixels from the primary monitor's corner. A frame request is one _NET_MOVERESIZE_WINDOW
// (a ConfigureRequest without it), and settled when the window manager answers a barrier sent
// after it; a maximize the window manager carried out just before it (and then ignored it for)
// is undone and the frame asked for again. A maximized window is restored, with a wait, before
// anything is built on its frame. A window manager that answers no barrier is waited for before
// the request and until the window's ConfigureNotify after it.
class X11WindowMover final : public WindowMover, private X11EventListener {
public:
    X11WindowMover(X11Connection& connection, X11ProcessLookup& processLookup, X11ScreenProvider& screens,
        LogSink& logSink);
    ~X11WindowMover() override;

    FocusedWindowAnswer focusedWindow(pid_t pid) override;
    FrameAnswer frame(const WindowId& window) override;
    FrameAnswer setFrame(const WindowId& window, const Rect& frame) override;

    // How long a request waits for the window manager's answer to a barrier. It comes within a
    // millisecond or two; only a window manager that hangs makes a request wait this long.
    static constexpr std::chrono::milliseconds answerDeadline { 2000 };
    // How long a request waits for a ConfigureNotify from a window manager that answers no
    // barrier. A request the window manager grants nothing of produces none, so every such request
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
    enum class Status { Done, Gone, NoAnswer, Failed };

    void handleEvent(const xcb_generic_event_t* event) override;
    Status readWindowState(xcb_window_t window, WindowState& state);
    Status clearMaximizedState(xcb_window_t window, const WindowState& state);
    // The visible frame of `state` in the accessibility space.
    FrameAnswer answer(const WindowState& state, bool settled = true) const;
    FrameAnswer failure(Status status, const char* what, xcb_window_t window) const;
    // Asks the window manager to give the client window `client` (root coordinates).
    void sendFrame(xcb_window_t window, const x11::RootRect& client);
    bool hasMaximizedState(const std::vector<quint32>& states) const;
    bool windowManagerSupports(xcb_atom_t hint);
    bool answersBarriers();
    void probeBarriers();
    // Waits until the window manager has handled every message sent to it so far (see
    // X11WindowManagerBarrier). Gone when `window` is destroyed meanwhile, NoAnswer when the
    // connection breaks; Done also when the window manager answers no barriers, which leaves
    // nothing to wait for. With `expectedClient`, the window manager's synthetic ConfigureNotify
    // of `window` at exactly that client geometry ends the wait as well.
    Status waitForWindowManager(xcb_window_t window, const std::optional<x11::RootRect>& expectedClient = std::nullopt);
    void sendToRoot(xcb_window_t window, xcb_atom_t type, const std::array<quint32, 5>& data);

    X11Connection& m_connection;
    X11ProcessLookup& m_processLookup;
    X11ScreenProvider& m_screens;
    Logger m_logger;
    // The window manager's _NET_SUPPORTED, read once per window manager.
    std::optional<std::vector<quint32>> m_supportedHints;
    // Whether the window manager answers barriers as it claims to: learnt from a barrier sent as
    // soon as it runs, which nothing waits for, or else from the first one a request waits for.
    std::optional<bool> m_windowManagerAnswersBarriers;
    std::unique_ptr<X11WindowManagerBarrier> m_barrierProbe;
    QElapsedTimer m_barrierProbeClock;
};

} // namespace gridlume
