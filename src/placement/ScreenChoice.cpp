#include "placement/ScreenChoice.h"

namespace gridlume {

std::optional<qsizetype> screenHoldingMostOf(const Rect& frame, const QList<Screen>& screens)
{
    std::optional<qsizetype> best;
    double bestArea = 0;
    for (qsizetype i = 0; i < screens.size(); ++i) {
        const Rect common = screens[i].frame.intersected(frame);
        const double area = common.width() * common.height();
        if (area > bestArea) {
            bestArea = area;
            best = i;
        }
    }
    return best;
}

} // namespace gridlume
