#pragma once

#include "platform/Accessibility.h"

#include <xcb/xcb.h>

namespace gridlume {

// The accessibility element of one top-level client window (the window the application
// created, not the window manager's frame around it).
class X11WindowElement final : public AXUIElement {
public:
    explicit X11WindowElement(xcb_window_t window)
        : m_window(window)
    {
    }
    xcb_window_t window() const { return m_window; }

private:
    xcb_window_t m_window;
};

} // namespace gridlume
