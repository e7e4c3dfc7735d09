#pragma once

#include <xcb/xcb.h>

namespace gridlume {

// The atoms the backend uses, interned once per connection.
struct X11Atoms {
    xcb_atom_t UTF8_STRING = XCB_ATOM_NONE;
    xcb_atom_t _NET_SUPPORTED = XCB_ATOM_NONE;
    xcb_atom_t _NET_SUPPORTING_WM_CHECK = XCB_ATOM_NONE;
    xcb_atom_t _NET_CLIENT_LIST = XCB_ATOM_NONE;
    xcb_atom_t _NET_CLIENT_LIST_STACKING = XCB_ATOM_NONE;
    xcb_atom_t _NET_ACTIVE_WINDOW = XCB_ATOM_NONE;
    xcb_atom_t _NET_CURRENT_DESKTOP = XCB_ATOM_NONE;
    xcb_atom_t _NET_WORKAREA = XCB_ATOM_NONE;
    xcb_atom_t _NET_WM_STRUT = XCB_ATOM_NONE;
    xcb_atom_t _NET_WM_STRUT_PARTIAL = XCB_ATOM_NONE;
    xcb_atom_t _NET_FRAME_EXTENTS = XCB_ATOM_NONE;
    xcb_atom_t _GTK_FRAME_EXTENTS = XCB_ATOM_NONE;
    xcb_atom_t _NET_WM_STATE = XCB_ATOM_NONE;
    xcb_atom_t _NET_WM_STATE_MAXIMIZED_VERT = XCB_ATOM_NONE;
    xcb_atom_t _NET_WM_STATE_MAXIMIZED_HORZ = XCB_ATOM_NONE;
    xcb_atom_t _NET_WM_STATE_FULLSCREEN = XCB_ATOM_NONE;
    xcb_atom_t _NET_MOVERESIZE_WINDOW = XCB_ATOM_NONE;
    xcb_atom_t _NET_REQUEST_FRAME_EXTENTS = XCB_ATOM_NONE;
    xcb_atom_t _NET_WM_PID = XCB_ATOM_NONE;
    xcb_atom_t _NET_WM_ICON = XCB_ATOM_NONE;
    xcb_atom_t _NET_WM_WINDOW_TYPE = XCB_ATOM_NONE;
    xcb_atom_t _NET_WM_WINDOW_TYPE_DOCK = XCB_ATOM_NONE;

    // Interns every atom above in one round trip. False when the connection failed.
    bool intern(xcb_connection_t* connection);
};

} // namespace gridlume
