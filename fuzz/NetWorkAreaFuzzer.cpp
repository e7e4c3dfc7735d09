// _NET_WORKAREA: one rectangle per desktop, clipped to a monitor the way the screen provider
// does when neither GTK work areas nor struts are available.
//
// Input: the monitor, the current desktop (CARD32), then the property's items.
#include "PropertyInput.h"

#include <cstdlib>

using namespace gridlume;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::PropertyInput input(data, size);
    const x11::RootRect monitor = input.takeRect();
    const quint32 desktop = input.take<quint32>();
    const std::vector<quint32> workAreas = input.takeRemainingItems();
    if (const std::optional<x11::RootRect> area = x11::desktopWorkArea(workAreas, desktop)) {
        const x11::RootRect clipped = area->intersected(monitor);
        if (!clipped.isEmpty() && !fuzz::contains(monitor, clipped))
            std::abort();
        (void)x11::windowSystemFrame(clipped.isEmpty() ? monitor : clipped, monitor);
    }
    return 0;
}
