// _NET_WM_STRUT_PARTIAL and _NET_WM_STRUT of any number of clients, subtracted from monitors:
// a visible frame never leaves its monitor.
//
// Input: the root's width and height (CARD16 each), a monitor count (one byte; 1 to 4), the
// monitors, then per client the item counts of its two properties (one byte each) and their
// items.
#include "PropertyInput.h"

#include <cstdlib>

using namespace gridlume;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::PropertyInput input(data, size);
    const qint64 rootWidth = input.take<quint16>();
    const qint64 rootHeight = input.take<quint16>();
    std::vector<x11::RootRect> monitors(1 + input.take<quint8>() % 4);
    for (x11::RootRect& monitor : monitors)
        monitor = input.takeRect();
    std::vector<x11::Strut> struts;
    while (input.remaining() > 0) {
        const std::size_t partialCount = input.take<quint8>();
        const std::size_t legacyCount = input.take<quint8>();
        const std::vector<quint32> partial = input.takeItems(partialCount);
        const std::vector<quint32> legacy = input.takeItems(legacyCount);
        if (const std::optional<x11::Strut> strut = x11::parseStrut(partial, legacy, rootWidth, rootHeight))
            struts.push_back(*strut);
    }
    for (const x11::RootRect& monitor : monitors) {
        const x11::RootRect visible = x11::monitorWithoutStruts(monitor, struts, rootWidth, rootHeight);
        if (visible.width < 0 || visible.height < 0 || (!visible.isEmpty() && !fuzz::contains(monitor, visible)))
            std::abort();
    }
    return 0;
}
