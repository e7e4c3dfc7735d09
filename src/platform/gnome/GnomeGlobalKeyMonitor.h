#pragma once

#include "platform/KeyEvent.h"

namespace gridlume {

// Key presses in other applications, as far as GNOME on Wayland lets a program see them: none.
// Escape reaches the panels through the keyboard grab (GnomeKeyboardGrabber), and a shortcut
// another program holds is known from Shell's refusal to grab it.
class GnomeGlobalKeyMonitor final : public GlobalKeyMonitor {
public:
    Subscription addGlobalKeyDownMonitor(std::function<void(const KeyEvent&)>, GlobalKeyPresses) override
    {
        return Subscription();
    }
};

} // namespace gridlume
