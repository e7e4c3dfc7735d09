#include "Screens.h"

namespace gridlume {

QDebug operator<<(QDebug debug, const Screen& screen)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "Screen(" << screen.name << ", id=";
    if (screen.displayID)
        debug << *screen.displayID;
    else
        debug << "none";
    debug << ", frame=" << screen.frame << ", visible=" << screen.visibleFrame << ')';
    return debug;
}

Rect usableVisibleFrame(const Screen& screen, Size minimum, bool* fellBack)
{
    const Rect visible = screen.visibleFrame.intersected(screen.frame);
    const bool usable = visible.width() >= minimum.width && visible.height() >= minimum.height;
    if (fellBack)
        *fellBack = !usable;
    return usable ? visible : screen.frame;
}

QList<Screen> windowSystemScreens(const QList<DesktopScreen>& screens)
{
    QList<Screen> result;
    if (screens.isEmpty())
        return result;
    const Rect primary = screens.first().frame;
    const auto flipped = [&](const Rect& rect) {
        return Rect(rect.minX() - primary.minX(), primary.maxY() - rect.maxY(), rect.width(), rect.height());
    };
    for (const DesktopScreen& screen : screens)
        result.append(Screen { screen.displayID, flipped(screen.frame), flipped(screen.visibleFrame), screen.name });
    return result;
}

} // namespace gridlume
