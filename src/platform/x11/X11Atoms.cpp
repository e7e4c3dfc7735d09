#include "X11Atoms.h"

#include "UniqueCPtr.h"

#include <array>
#include <cstring>
#include <utility>

namespace gridlume {

bool X11Atoms::intern(xcb_connection_t* connection)
{
    const std::array<std::pair<const char*, xcb_atom_t X11Atoms::*>, 22> table { {
        { "UTF8_STRING", &X11Atoms::UTF8_STRING },
        { "_NET_SUPPORTED", &X11Atoms::_NET_SUPPORTED },
        { "_NET_SUPPORTING_WM_CHECK", &X11Atoms::_NET_SUPPORTING_WM_CHECK },
        { "_NET_CLIENT_LIST", &X11Atoms::_NET_CLIENT_LIST },
        { "_NET_CLIENT_LIST_STACKING", &X11Atoms::_NET_CLIENT_LIST_STACKING },
        { "_NET_ACTIVE_WINDOW", &X11Atoms::_NET_ACTIVE_WINDOW },
        { "_NET_CURRENT_DESKTOP", &X11Atoms::_NET_CURRENT_DESKTOP },
        { "_NET_WORKAREA", &X11Atoms::_NET_WORKAREA },
        { "_NET_WM_STRUT", &X11Atoms::_NET_WM_STRUT },
        { "_NET_WM_STRUT_PARTIAL", &X11Atoms::_NET_WM_STRUT_PARTIAL },
        { "_NET_FRAME_EXTENTS", &X11Atoms::_NET_FRAME_EXTENTS },
        { "_GTK_FRAME_EXTENTS", &X11Atoms::_GTK_FRAME_EXTENTS },
        { "_NET_WM_STATE", &X11Atoms::_NET_WM_STATE },
        { "_NET_WM_STATE_MAXIMIZED_VERT", &X11Atoms::_NET_WM_STATE_MAXIMIZED_VERT },
        { "_NET_WM_STATE_MAXIMIZED_HORZ", &X11Atoms::_NET_WM_STATE_MAXIMIZED_HORZ },
        { "_NET_WM_STATE_FULLSCREEN", &X11Atoms::_NET_WM_STATE_FULLSCREEN },
        { "_NET_MOVERESIZE_WINDOW", &X11Atoms::_NET_MOVERESIZE_WINDOW },
        { "_NET_REQUEST_FRAME_EXTENTS", &X11Atoms::_NET_REQUEST_FRAME_EXTENTS },
        { "_NET_WM_PID", &X11Atoms::_NET_WM_PID },
        { "_NET_WM_ICON", &X11Atoms::_NET_WM_ICON },
        { "_NET_WM_WINDOW_TYPE", &X11Atoms::_NET_WM_WINDOW_TYPE },
        { "_NET_WM_WINDOW_TYPE_DOCK", &X11Atoms::_NET_WM_WINDOW_TYPE_DOCK },
    } };

    std::array<xcb_intern_atom_cookie_t, table.size()> cookies;
    for (std::size_t i = 0; i < table.size(); ++i)
        cookies[i] = xcb_intern_atom(connection, 0, std::strlen(table[i].first), table[i].first);

    bool complete = true;
    for (std::size_t i = 0; i < table.size(); ++i) {
        UniqueCPtr<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection, cookies[i], nullptr));
        if (!reply) {
            complete = false;
            continue;
        }
        this->*table[i].second = reply->atom;
    }
    return complete;
}

} // namespace gridlume
