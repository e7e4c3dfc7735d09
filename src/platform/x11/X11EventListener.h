#pragma once

#include <xcb/xcb.h>

namespace gridlume {

// Receives every event of the main display connection, in the order the server sent them.
//
// Called from inside X11Connection's event pump, which may be running a synchronous wait on
// behalf of a platform call: a listener records what changed and schedules its reaction on the
// event loop; it never calls out to the core and never waits for the server itself.
class X11EventListener {
public:
    virtual ~X11EventListener() = default;
    virtual void handleEvent(const xcb_generic_event_t* event) = 0;
};

} // namespace gridlume
