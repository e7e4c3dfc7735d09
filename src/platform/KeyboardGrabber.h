#pragma once

#include "KeyEvent.h"
#include "Subscription.h"

#include <functional>

namespace gridlume {

// Takes the whole keyboard for a while without taking the focus from the window that has it:
// the user's window stays the active one, its key presses come to Gridlume instead.
class KeyboardGrabber {
public:
    virtual ~KeyboardGrabber() = default;

    // Grabs the keyboard and calls `handler` on the main thread, from the event loop, for every
    // key press (positional key code and modifier flags) until the subscription ends; ending it
    // releases the keyboard, once the keys pressed while it was held are up. A combination registered as a hot key
    // still reaches its handler. One grab at a time: a second call replaces the first. When another program holds the
    // keyboard, the grabber keeps trying for a moment; if it cannot take it, the reason is logged
    // (once, until a later grab succeeds) and no key press is reported. Main thread only.
    virtual Subscription grabKeyboard(std::function<void(const KeyEvent&)> handler) = 0;
};

} // namespace gridlume
