#include "placement/WindowPlacementRegion.h"

#include "platform/QtScreenSpace.h"

#include <algorithm>

namespace gridlume {

Rect WindowPlacementRegion::appKitFrame(const Rect& visibleFrame, const PlacementGaps& gaps) const
{
    const double tileWidth = visibleFrame.width() / static_cast<double>(tileColumnCount);
    const double tileHeight = visibleFrame.height() / static_cast<double>(tileRowCount);
    const qint64 columnsSpanned = bottomRightTile.column - leftTopTile.column + 1;
    const qint64 rowsSpanned = bottomRightTile.row - leftTopTile.row + 1;
    // Row 0 is at the top but y grows upwards: the block's bottom edge sits as many tile
    // heights above the bottom of the visible frame as there are rows below the block.
    const qint64 rowsBelow = tileRowCount - bottomRightTile.row - 1;
    const Rect block(visibleFrame.minX() + static_cast<double>(leftTopTile.column) * tileWidth,
        visibleFrame.minY() + static_cast<double>(rowsBelow) * tileHeight,
        static_cast<double>(columnsSpanned) * tileWidth, static_cast<double>(rowsSpanned) * tileHeight);
    if (gaps == PlacementGaps {})
        return block;
    const auto inset = [&](bool onBorder) { return onBorder ? gaps.screenMargin : gaps.tileGap / 2; };
    const double left = inset(leftTopTile.column == 0);
    const double right = inset(bottomRightTile.column == tileColumnCount - 1);
    const double top = inset(leftTopTile.row == 0);
    const double bottom = inset(bottomRightTile.row == tileRowCount - 1);
    return Rect(block.minX() + left, block.minY() + bottom, std::max(0.0, block.width() - left - right),
        std::max(0.0, block.height() - top - bottom));
}

Rect WindowPlacementRegion::appKitFrame(const Screen& screen, const PlacementGaps& gaps) const
{
    if (gaps == PlacementGaps {})
        return appKitFrame(screen.visibleFrame);
    return appKitFrame(screen.visibleFrame, gaps.scaled(QtScreenSpace::devicePixelRatio(screen)));
}

QDebug operator<<(QDebug debug, const WindowPlacementRegion& region)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "WindowPlacementRegion(" << region.tileRowCount << 'x' << region.tileColumnCount << ", ("
                    << region.leftTopTile.row << ',' << region.leftTopTile.column << ")-(" << region.bottomRightTile.row
                    << ',' << region.bottomRightTile.column << "))";
    return debug;
}

} // namespace gridlume
