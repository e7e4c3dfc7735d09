#include "tiling/QtGlobalCoordinates.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace gridlume {

QRectF qtGlobalRect(const Rect& frame, const Rect& primaryScreenFrame, const QPointF& primaryScreenTopLeft)
{
    return QRectF(primaryScreenTopLeft.x() + (frame.minX() - primaryScreenFrame.minX()),
        primaryScreenTopLeft.y() + (primaryScreenFrame.maxY() - frame.maxY()), frame.width(), frame.height());
}

QRect pixelAlignedRect(const QRectF& rect)
{
    const int left = int(std::lround(rect.left()));
    const int top = int(std::lround(rect.top()));
    const int right = int(std::lround(rect.left() + rect.width()));
    const int bottom = int(std::lround(rect.top() + rect.height()));
    return QRect(left, top, right - left, bottom - top);
}

QPointF qtTopLeftOfScreen(const Screen& primaryScreen)
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (const QScreen* screen : screens) {
        if (!primaryScreen.name.isEmpty() && screen->name() == primaryScreen.name)
            return screen->geometry().topLeft();
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        return screen->geometry().topLeft();
    return QPointF(0, 0);
}

} // namespace gridlume
