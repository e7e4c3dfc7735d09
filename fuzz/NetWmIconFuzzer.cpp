// _NET_WM_ICON: width, height and pixels, repeated, with sizes any client can make up.
#include "PropertyInput.h"

#include <cstdlib>

using namespace gridlume;

namespace {

void check(std::span<const quint32> items, std::size_t budget)
{
    const std::vector<x11::WindowIconImage> icons = x11::parseWindowIcons(items, budget);
    if (icons.size() > x11::kMaxWindowIcons)
        std::abort();
    std::size_t pixels = 0;
    for (std::size_t i = 0; i < icons.size(); ++i) {
        const x11::WindowIconImage& icon = icons[i];
        if (icon.width == 0 || icon.height == 0 || icon.width > x11::kMaxWindowIconSide
            || icon.height > x11::kMaxWindowIconSide || icon.argb.size() != std::size_t(icon.width) * icon.height)
            std::abort();
        if (icon.argb.data() < items.data() || icon.argb.data() + icon.argb.size() > items.data() + items.size())
            std::abort();
        if (i > 0 && (icons[i - 1].argb.size() < icon.argb.size()))
            std::abort();
        for (std::size_t j = 0; j < i; ++j) {
            if (icons[j].width == icon.width && icons[j].height == icon.height)
                std::abort();
        }
        pixels += icon.argb.size();
    }
    if (pixels > budget)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<quint32> items = fuzz::PropertyInput(data, size).takeRemainingItems();
    check(items, x11::kWindowIconPixelBudget);
    // A budget the input can exceed, so that choosing within it is exercised too.
    check(items, items.size() / 3);
    return 0;
}
