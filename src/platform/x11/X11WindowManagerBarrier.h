#pragma once

#include <xcb/xcb.h>

namespace gridlume {

class X11Connection;

// Shows when the window manager has handled every message sent to it before.
//
// Window managers handle client messages one after the other, in the order the server delivers
// them. The barrier sends one whose answer nothing else can produce: it asks for the frame extents
// of a window of its own that is never mapped, and "the Window Manager MUST respond by estimating
// the prospective frame extents and setting the window's _NET_FRAME_EXTENTS property" (EWMH,
// _NET_REQUEST_FRAME_EXTENTS). That PropertyNotify comes after everything the earlier messages
// made the window manager do: state changes, moves, resizes, new decoration.
//
// Unlike a no-op change of a client's _NET_WM_STATE, whose PropertyNotify cannot be told apart
// from those of a real state change (Openbox writes the property twice for one), the answer names
// a window that exists only for this barrier; a late answer to an earlier barrier that timed out
// can never be taken for it.
//
// Sent when constructed; the window goes with the object. Only for window managers that list
// _NET_REQUEST_FRAME_EXTENTS in _NET_SUPPORTED.
class X11WindowManagerBarrier final {
public:
    explicit X11WindowManagerBarrier(X11Connection& connection);
    ~X11WindowManagerBarrier();
    X11WindowManagerBarrier(const X11WindowManagerBarrier&) = delete;
    X11WindowManagerBarrier& operator=(const X11WindowManagerBarrier&) = delete;

    // Whether `event` is the window manager's answer to this barrier.
    bool isAnswer(const xcb_generic_event_t* event) const;

private:
    X11Connection& m_connection;
    xcb_window_t m_window = XCB_WINDOW_NONE;
};

} // namespace gridlume
