#pragma once

#include <QRegion>
#include <QSize>

namespace gridlume {

// Window shapes for desktops without a compositor, where a window cannot be translucent and its
// outline has to be cut out instead. Pixel-exact (no antialiasing is possible in a shape).

// A rounded rectangle filling `size`.
QRegion roundedRectRegion(const QSize& size, double cornerRadius);
// The band of width `thickness` along the inside of that rounded rectangle.
QRegion roundedRingRegion(const QSize& size, double cornerRadius, double thickness);

} // namespace gridlume
