#pragma once

#include "placement/WindowPlacementTile.h"
#include "platform/Geometry.h"
#include "platform/Screens.h"

#include <QDebug>

namespace gridlume {

// Space left between placed windows and around them: `tileGap` between two neighbouring blocks,
// `screenMargin` between a block and the edges of the visible frame. The user sets them in
// logical pixels, 0 to 64 of each.
struct PlacementGaps {
    double tileGap = 0;
    double screenMargin = 0;

    PlacementGaps scaled(double ratio) const { return { tileGap * ratio, screenMargin * ratio }; }

    friend bool operator==(const PlacementGaps&, const PlacementGaps&) = default;
};

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

    // The part of `visibleFrame` (window-system space) that the block covers. With no gaps (the
    // default) there is no rounding and nothing left out: the whole grid gives the visible frame
    // itself and neighbouring blocks share their edges exactly. With gaps, each edge of the block
    // that faces another tile comes in by half the tile gap and each edge on the visible frame's
    // border by the screen margin, so neighbours are one gap apart and the outer blocks one
    // margin from the border. A block that the gaps would leave no room for keeps a width or
    // height of 0.
    // `gaps` are in points there.
    Rect appKitFrame(const Rect& visibleFrame, const PlacementGaps& gaps = {}) const;
    // The same for the screen's visible frame, `gaps` in logical pixels: at the device pixel
    // ratio Gridlume's own windows are drawn at on that screen, as the user sees them.
    Rect appKitFrame(const Screen& screen, const PlacementGaps& gaps = {}) const;

    friend bool operator==(const WindowPlacementRegion&, const WindowPlacementRegion&) = default;
};

QDebug operator<<(QDebug debug, const WindowPlacementRegion& region);

} // namespace gridlume

Q_DECLARE_METATYPE(gridlume::WindowPlacementRegion)
