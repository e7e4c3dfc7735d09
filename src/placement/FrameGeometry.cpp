#include "placement/FrameGeometry.h"

#include <algorithm>

namespace gridlume {

Rect flippedFrame(const Rect& rect, const Rect& primaryScreenFrame)
{
    if (rect.isNull())
        return rect;
    return Rect(rect.minX(), primaryScreenFrame.maxY() - rect.maxY(), rect.width(), rect.height());
}

std::optional<Rect> flippedFrame(const Rect& rect, const ScreenProvider& screens)
{
    const QList<Screen> all = screens.screens();
    if (all.isEmpty())
        return std::nullopt;
    return flippedFrame(rect, all.first().frame);
}

Rect constrainedFrame(const Rect& bounds, const Rect& frame)
{
    const double x = bounds.width() >= frame.width()
        ? std::min(std::max(frame.minX(), bounds.minX()), bounds.maxX() - frame.width())
        : bounds.minX();
    const double y = bounds.height() >= frame.height()
        ? std::min(std::max(frame.minY(), bounds.minY()), bounds.maxY() - frame.height())
        : bounds.minY();
    return Rect(x, y, frame.width(), frame.height());
}

} // namespace gridlume
