// _NET_FRAME_EXTENTS (set by the window manager) and _GTK_FRAME_EXTENTS (set by the client),
// and the conversion between a client rectangle and its visible frame that uses both.
//
// Input: the client rectangle, the item counts of the two properties (one byte each), then
// their items.
#include "PropertyInput.h"

#include <cstdlib>

using namespace gridlume;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::PropertyInput input(data, size);
    const x11::RootRect client = input.takeRect();
    const std::size_t decorationCount = input.take<quint8>();
    const std::size_t shadowCount = input.take<quint8>();
    const x11::FrameExtents decoration = x11::parseFrameExtents(input.takeItems(decorationCount));
    const x11::FrameExtents shadow = x11::parseFrameExtents(input.takeItems(shadowCount));
    for (const x11::FrameExtents& extents : { decoration, shadow }) {
        for (qint64 edge : { extents.left, extents.right, extents.top, extents.bottom }) {
            if (edge < 0 || edge > 0xFFFF)
                std::abort();
        }
    }
    const x11::RootRect visible = x11::visibleFrameOfClient(client, decoration, shadow);
    if (x11::clientOfVisibleFrame(visible, decoration, shadow) != client)
        std::abort();
    return 0;
}
