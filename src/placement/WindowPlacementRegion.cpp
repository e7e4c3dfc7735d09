#include "placement/WindowPlacementRegion.h"

namespace gridlume {

Rect WindowPlacementRegion::appKitFrame(const Rect& visibleFrame) const
{
    const double tileWidth = visibleFrame.width() / static_cast<double>(tileColumnCount);
    const double tileHeight = visibleFrame.height() / static_cast<double>(tileRowCount);
    const qint64 columnsSpanned = bottomRightTile.column - leftTopTile.column + 1;
    const qint64 rowsSpanned = bottomRightTile.row - leftTopTile.row + 1;
    // Row 0 is at the top but y grows upwards: the block's bottom edge sits as many tile
    // heights above the bottom of the visible frame as there are rows below the block.
    const qint64 rowsBelow = tileRowCount - bottomRightTile.row - 1;
    return Rect(visibleFrame.minX() + static_cast<double>(leftTopTile.column) * tileWidth,
        visibleFrame.minY() + static_cast<double>(rowsBelow) * tileHeight,
        static_cast<double>(columnsSpanned) * tileWidth, static_cast<double>(rowsSpanned) * tileHeight);
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
