#pragma once

#include "X11EventListener.h"
#include "X11PropertyParsers.h"
#include "platform/Accessibility.h"
#include "platform/Log.h"

#include <array>
#include <chrono>
#include <optional>
#include <vector>

namespace gridlume {

class X11Connection;
class X11ProcessLookup;
class X11ScreenProvider;
class X11WindowElement;

// Other programs' windows through EWMH: the window manager is asked to move and resize them,
// the way a pager does.
//
// Positions and sizes are those of the visible frame: the client window plus the window
// manager's decoration (_NET_FRAME_EXTENTS), less any shadow a client draws around itself
// (_GTK_FRAME_EXTENTS). A write returns once the window manager has carried it out, or after a
// short deadline if it never shows that it has.
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

    // How long a write waits for the window manager's answer.
    static constexpr std::chrono::milliseconds answerDeadline { 250 };

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
    bool hasMaximizedState(const std::vector<quint32>& states) const;
    bool supportsMoveResize();
    // Asks the window manager for a no-op state change, whose _NET_WM_STATE PropertyNotify
    // shows that it has handled every message sent before.
    void sendEcho(xcb_window_t window);
    void sendToRoot(xcb_window_t window, xcb_atom_t type, const std::array<quint32, 5>& data);
    AXError failure(AXError error, const char* what, xcb_window_t window) const;

    X11Connection& m_connection;
    X11ProcessLookup& m_processLookup;
    X11ScreenProvider& m_screens;
    Logger m_logger;
    std::optional<bool> m_supportsMoveResize;
    // Whether the window manager rewrites _NET_WM_STATE when a client message asks it to;
    // learnt on the first write.
    std::optional<bool> m_windowManagerEchoesState;
};

} // namespace gridlume
