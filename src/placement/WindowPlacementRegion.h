#pragma once

#include "placement/WindowPlacementTile.h"
#include "platform/Geometry.h"
#include "platform/Screens.h"

#include <QDebug>

namespace gridlume {

// A rectangular block of tiles with the size of the grid it was chosen in.
//
// Whoever builds a region keeps 0 <= leftTopTile <= bottomRightTile < the counts, row- and
// column-wise; the type neither checks nor repairs it. A single tile is a region whose corner
// tiles are equal.
struct WindowPlacementRegion {
    qint64 tileRowCount = 1;
    qint64 tileColumnCount = 1;
    WindowPlacementTile leftTopTile;
    WindowPlacementTile bottomRightTile;

    // The part of `visibleFrame` (window-system space) that the block covers. No gaps, no
    // margins, no rounding: the whole grid gives the visible frame itself and neighbouring
    // blocks share their edges exactly.
    Rect appKitFrame(const Rect& visibleFrame) const;
    // The same for the screen's visible frame.
    Rect appKitFrame(const Screen& screen) const { return appKitFrame(screen.visibleFrame); }

    friend bool operator==(const WindowPlacementRegion&, const WindowPlacementRegion&) = default;
};

QDebug operator<<(QDebug debug, const WindowPlacementRegion& region);

} // namespace gridlume

Q_DECLARE_METATYPE(gridlume::WindowPlacementRegion)
