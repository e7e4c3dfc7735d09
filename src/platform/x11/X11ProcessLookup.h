#pragma once

#include <span>
#include <sys/types.h>
#include <vector>

#include <xcb/xcb.h>

namespace gridlume {

class X11Connection;

// Which process owns a client window.
//
// The X-Resource extension names the process behind the connection that created the window,
// which a client cannot get wrong; _NET_WM_PID is what the client says about itself, the only
// answer for clients on other hosts or servers without the extension.
class X11ProcessLookup {
public:
    explicit X11ProcessLookup(X11Connection& connection);

    // One pid per window, 0 where none is known; all windows in one round trip.
    std::vector<pid_t> processIdentifiers(std::span<const xcb_window_t> windows) const;
    pid_t processIdentifier(xcb_window_t window) const;

private:
    X11Connection& m_connection;
    bool m_hasResourceExtension = false;
};

} // namespace gridlume
