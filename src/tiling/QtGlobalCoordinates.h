#pragma once

#include "platform/Geometry.h"
#include "platform/Screens.h"

#include <QPointF>
#include <QRect>
#include <QRectF>

namespace gridlume {

// Qt places top-level windows in its global space: origin at the top-left of the whole desktop,
// y downwards. Screens and frames here are in the window-system space: origin at the primary
// screen's bottom-left, y upwards. The two meet at the primary screen, whose top-left corner lies
// at `primaryScreenTopLeft` in Qt's space and at (minX, maxY) of `primaryScreenFrame` in the
// window-system space.

// `frame` in Qt's global space, unrounded.
QRectF qtGlobalRect(const Rect& frame, const Rect& primaryScreenFrame, const QPointF& primaryScreenTopLeft);

// The pixel rectangle whose edges are `rect`'s edges rounded to the nearest pixel, so rectangles
// that share an edge still share it after rounding.
QRect pixelAlignedRect(const QRectF& rect);

// Where Qt has the top-left corner of `primaryScreen`: the Qt screen of the same name, else Qt's
// primary screen, else the origin.
QPointF qtTopLeftOfScreen(const Screen& primaryScreen);

} // namespace gridlume
