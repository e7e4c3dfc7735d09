#include "tiling/WindowShapes.h"

#include <QBitmap>
#include <QPainter>
#include <QPainterPath>
#include <QWidget>

#include <algorithm>

namespace gridlume {

namespace {
    QRegion regionOfPath(const QSize& size, const QPainterPath& path)
    {
        if (size.isEmpty())
            return QRegion();
        QBitmap bitmap(size);
        bitmap.fill(Qt::color0);
        QPainter painter(&bitmap);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::color1);
        painter.drawPath(path);
        painter.end();
        return QRegion(bitmap);
    }
} // namespace

QRegion roundedRectRegion(const QSize& size, double cornerRadius)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(QPointF(0, 0), size), cornerRadius, cornerRadius);
    return regionOfPath(size, path);
}

QRegion roundedRingRegion(const QSize& size, double cornerRadius, double thickness)
{
    const QRectF outer(QPointF(0, 0), size);
    const QRectF inner = outer.adjusted(thickness, thickness, -thickness, -thickness);
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    path.addRoundedRect(outer, cornerRadius, cornerRadius);
    if (inner.width() > 0 && inner.height() > 0) {
        const double innerRadius = std::max(0.0, cornerRadius - thickness);
        path.addRoundedRect(inner, innerRadius, innerRadius);
    }
    return regionOfPath(size, path);
}

void setShapeAgain(QWidget& window)
{
    const QRegion shape = window.mask();
    if (shape.isEmpty())
        return;
    // Setting an equal shape does nothing at all.
    window.clearMask();
    window.setMask(shape);
}

} // namespace gridlume
