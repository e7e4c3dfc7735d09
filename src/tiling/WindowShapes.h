#pragma once

#include <QRegion>
#include <QSize>

class QWidget;

namespace gridlume {

// Window shapes for desktops without a compositor, where a window cannot be translucent and its
// outline has to be cut out instead. Pixel-exact (no antialiasing is possible in a shape).

// A rounded rectangle filling `size`.
QRegion roundedRectRegion(const QSize& size, double cornerRadius);
// The band of width `thickness` along the inside of that rounded rectangle.
QRegion roundedRingRegion(const QSize& size, double cornerRadius, double thickness);
// Sets the shape of the top-level `window` again, for the device pixel ratio of the screen it is
// on now; Qt converts a shape to device pixels only when it is set. Does nothing without a shape.
void setShapeAgain(QWidget& window);

} // namespace gridlume
