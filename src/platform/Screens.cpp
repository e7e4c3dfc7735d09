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

} // namespace gridlume
