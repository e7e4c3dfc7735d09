// _GTK_WORKAREAS_D<n>: per-monitor work areas, published by the window manager on the root.
//
// Input: the monitor, then the property's items.
#include "PropertyInput.h"

#include <cstdlib>

using namespace gridlume;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::PropertyInput input(data, size);
    const x11::RootRect monitor = input.takeRect();
    const std::vector<quint32> workAreas = input.takeRemainingItems();
    if (const std::optional<x11::RootRect> area = x11::workAreaForMonitor(monitor, workAreas)) {
        if (area->isEmpty() || !fuzz::contains(monitor, *area))
            std::abort();
    }
    return 0;
}
