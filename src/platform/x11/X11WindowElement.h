#pragma once

#include "platform/Accessibility.h"

#include <xcb/xcb.h>

#include <functional>

namespace gridlume {

// The accessibility element of one top-level client window (the window the application
// created, not the window manager's frame around it).
class X11WindowElement final : public AXUIElement {
public:
    // `onReleased` runs when the last reference to the element goes.
    explicit X11WindowElement(xcb_window_t window, std::function<void(xcb_window_t)> onReleased = {})
        : m_window(window)
        , m_onReleased(std::move(onReleased))
    {
    }
    ~X11WindowElement() override
    {
        if (m_onReleased)
            m_onReleased(m_window);
    }
    X11WindowElement(const X11WindowElement&) = delete;
    X11WindowElement& operator=(const X11WindowElement&) = delete;

    xcb_window_t window() const { return m_window; }

private:
    xcb_window_t m_window;
    std::function<void(xcb_window_t)> m_onReleased;
};

} // namespace gridlume
