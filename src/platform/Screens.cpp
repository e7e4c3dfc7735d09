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

} // namespace gridlume
