#include "Geometry.h"

namespace gridlume {

QDebug operator<<(QDebug debug, const Point& point)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "Point(" << point.x << ", " << point.y << ')';
    return debug;
}

QDebug operator<<(QDebug debug, const Size& size)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "Size(" << size.width << " x " << size.height << ')';
    return debug;
}

QDebug operator<<(QDebug debug, const Rect& rect)
{
    QDebugStateSaver saver(debug);
    if (rect.isNull())
        debug.nospace() << "Rect(null)";
    else
        debug.nospace() << "Rect(" << rect.origin.x << ", " << rect.origin.y << ", " << rect.size.width << " x "
                        << rect.size.height << ')';
    return debug;
}

} // namespace gridlume
