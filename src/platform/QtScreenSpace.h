#pragma once

#include "Geometry.h"
#include "Screens.h"

#include <QList>
#include <QPoint>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QString>

#include <optional>
#include <vector>

namespace gridlume {

// The one place where the window-system space meets Qt's window coordinates.
//
// Three spaces are involved:
// - the window-system space of `Screen` and every frame the core computes: origin at the primary
//   screen's bottom-left, y up, in points; a point is one device pixel;
// - the native space: device pixels with the origin at the top-left of the whole desktop, y down
//   (the root window on X11); it differs from the window-system space only by the flip about the
//   primary screen's top edge;
// - Qt's logical space, in which widgets are placed. Each Qt screen has its own device pixel
//   ratio; Qt keeps a screen's native top-left corner as its logical top-left corner and divides
//   only the distances inside the screen, so with screens of different ratios the logical space
//   is not one scaling of the native space (it has gaps or overlaps between screens).
//
// A rectangle or point is therefore converted with the ratio of the screen that holds it.
// Rectangles are rounded to whole device pixels edge by edge before they reach Qt, so that
// rectangles that share an edge in the window-system space share it on the screen.
class QtScreenSpace {
public:
    // One Qt screen: its name (the window system's monitor name), its logical top-left corner
    // and its device pixel ratio.
    struct QtScreen {
        QString name;
        QPoint logicalTopLeft;
        double devicePixelRatio = 1;
    };

    // `screens` as the screen provider lists them (primary first); `qtScreens` as Qt lists them,
    // its primary first. A screen is matched with the Qt screen of the same name; a screen
    // without one is taken at the ratio of Qt's primary screen, its logical corner at its native
    // one.
    QtScreenSpace(const QList<Screen>& screens, const QList<QtScreen>& qtScreens);
    // The space of `screens` and the Qt screens of the running application.
    static QtScreenSpace current(const QList<Screen>& screens);

    // `frame` (window-system space) in native device pixels, unrounded.
    QRectF nativeRect(const Rect& frame) const;
    // The device pixels a window covering `frame` takes: each edge rounded to the nearest pixel.
    QRect nativePixelRect(const Rect& frame) const;
    // The logical geometry Qt needs for a window covering `frame`, converted on the screen that
    // holds the frame's centre. Where the ratio is fractional Qt cannot express every device
    // pixel; the result is then the nearest logical geometry and nativePixelRect() the exact one.
    QRect logicalRect(const Rect& frame) const;
    // Where Qt must put the top-left corner of a window of `logicalSize` so that it stands centred
    // on `area` (window-system space), sized for the ratio of the screen that holds the area.
    QPoint centredTopLeft(const Rect& area, const QSize& logicalSize) const;

    // The device pixel ratio of the Qt screen of `screen`'s name, else of Qt's primary screen;
    // 1 without Qt screens (no GUI application).
    static double devicePixelRatio(const Screen& screen);
    // The name of the Qt screen that covers exactly `nativeFrame` (device pixels from the
    // desktop's top-left): how a compositor's output is matched with the Xwayland screen Gridlume's
    // windows are drawn on. Empty when none does, or without Qt screens (no GUI application).
    static QString qtScreenNameAt(const QRectF& nativeFrame);

    // A logical point (a pointer position, a tray icon's centre) in the window-system space,
    // converted on the Qt screen that holds it; none when no screen does.
    std::optional<Point> framePoint(const QPointF& logicalPoint) const;
    // The screen that holds a logical point; none when no screen does.
    std::optional<Screen> screenAt(const QPointF& logicalPoint) const;

    // The rectangle whose edges are `rect`'s edges rounded to the nearest integer, so rectangles
    // that share an edge still share it after rounding.
    static QRect pixelAlignedRect(const QRectF& rect);

private:
    struct Mapping {
        Screen screen;
        QRectF nativeGeometry;
        QPointF logicalTopLeft;
        double devicePixelRatio = 1;

        QRectF logicalGeometry() const;
        // The logical coordinates whose device pixel, as Qt computes it, is `native` or nearest.
        QPoint toLogicalPixel(const QPoint& native) const;
        QPointF toNative(const QPointF& logical) const;
    };

    // The screen whose frame holds `point` (window-system space); else the primary screen; else,
    // without screens, the primary Qt screen's ratio at the origin.
    const Mapping& mappingAt(const Point& point) const;
    // The screen whose logical geometry holds `logicalPoint`, right and bottom edges excluded.
    const Mapping* logicalMappingAt(const QPointF& logicalPoint) const;
    Point framePointOf(const QPointF& nativePoint) const;

    Rect m_primaryFrame;
    QPointF m_primaryNativeTopLeft;
    std::vector<Mapping> m_mappings;
    Mapping m_fallback;
};

} // namespace gridlume
