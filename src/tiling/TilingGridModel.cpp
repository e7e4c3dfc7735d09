#include "tiling/TilingGridModel.h"

#include "settings/UIStates.h"

#include <algorithm>

namespace gridlume {

namespace {
    Rect rectBetween(const Point& a, const Point& b)
    {
        return Rect(std::min(a.x, b.x), std::min(a.y, b.y), std::abs(b.x - a.x), std::abs(b.y - a.y));
    }

    // Whether the spans [aMin, aMin + aLength) and [bMin, bMax) share something. Spans that only
    // touch do not; a span of length 0 is a point and lies in the other span like tileAt's points.
    bool spansOverlap(double aMin, double aLength, double bMin, double bMax)
    {
        if (aLength == 0)
            return bMin <= aMin && aMin < bMax;
        return aMin < bMax && bMin < aMin + aLength;
    }

    // Like an area intersection, except that a drag rectangle flattened to a line (a purely
    // horizontal or vertical drag) still covers the tiles the line crosses; an area test would
    // find nothing in it and shrink such a drag to its start tile.
    bool dragCovers(const Rect& drag, const Rect& tile)
    {
        return spansOverlap(drag.minX(), drag.width(), tile.minX(), tile.maxX())
            && spansOverlap(drag.minY(), drag.height(), tile.minY(), tile.maxY());
    }
} // namespace

TilingGridModel::TilingGridModel(DisplayID tileGridID, UIStates& uiStates, QObject* parent)
    : QObject(parent)
    , m_tileGridID(tileGridID)
    , m_uiStates(uiStates)
{
    connect(&m_uiStates, &UIStates::tileGridRowCountChanged, this, &TilingGridModel::displayChanged);
    connect(&m_uiStates, &UIStates::tileGridColumnCountChanged, this, &TilingGridModel::displayChanged);
    connect(&m_uiStates, &UIStates::tileGridCancelDragRequestIDChanged, this, &TilingGridModel::handleCancelRequest);
}

qint64 TilingGridModel::rowCount() const
{
    return m_uiStates.tileGridRowCount();
}

qint64 TilingGridModel::columnCount() const
{
    return m_uiStates.tileGridColumnCount();
}

Rect TilingGridModel::tileRect(const WindowPlacementTile& tile) const
{
    const double tileWidth = width / double(columnCount());
    const double tileHeight = height / double(rowCount());
    return Rect(tileWidth * double(tile.column), tileHeight * double(tile.row), tileWidth, tileHeight);
}

std::optional<WindowPlacementTile> TilingGridModel::tileAt(const Point& point) const
{
    if (point.x < 0 || point.y < 0 || point.x > width || point.y > height)
        return std::nullopt;
    const qint64 rows = rowCount();
    const qint64 columns = columnCount();
    if (rows <= 0 || columns <= 0)
        return std::nullopt;
    for (qint64 row = 0; row < rows; ++row) {
        for (qint64 column = 0; column < columns; ++column) {
            const WindowPlacementTile tile { row, column };
            if (tileRect(tile).contains(point))
                return tile;
        }
    }
    return std::nullopt;
}

QList<WindowPlacementTile> TilingGridModel::coveredTiles() const
{
    if (!m_dragStartLocation || !m_dragLocation)
        return {};
    const auto startTile = tileAt(*m_dragStartLocation);
    if (!startTile)
        return {};
    const qint64 rows = rowCount();
    const qint64 columns = columnCount();
    if (rows <= 0 || columns <= 0)
        return {};
    const Rect dragRect = rectBetween(*m_dragStartLocation, *m_dragLocation);
    QList<WindowPlacementTile> tiles;
    for (qint64 row = 0; row < rows; ++row) {
        for (qint64 column = 0; column < columns; ++column) {
            const WindowPlacementTile tile { row, column };
            if (tile == *startTile || dragCovers(dragRect, tileRect(tile)))
                tiles.append(tile);
        }
    }
    return tiles;
}

std::optional<WindowPlacementRegion> TilingGridModel::dragRegion() const
{
    const QList<WindowPlacementTile> tiles = coveredTiles();
    if (tiles.isEmpty())
        return std::nullopt;
    WindowPlacementTile leftTop = tiles.first();
    WindowPlacementTile bottomRight = tiles.first();
    for (const WindowPlacementTile& tile : tiles) {
        leftTop.row = std::min(leftTop.row, tile.row);
        leftTop.column = std::min(leftTop.column, tile.column);
        bottomRight.row = std::max(bottomRight.row, tile.row);
        bottomRight.column = std::max(bottomRight.column, tile.column);
    }
    return WindowPlacementRegion { rowCount(), columnCount(), leftTop, bottomRight };
}

std::optional<Rect> TilingGridModel::dragOutline() const
{
    if (!m_dragStartLocation || !m_dragLocation)
        return std::nullopt;
    const Rect bounds(
        dragOutlineInset, dragOutlineInset, width - 2 * dragOutlineInset, height - 2 * dragOutlineInset);
    const Rect drag = rectBetween(*m_dragStartLocation, *m_dragLocation);
    // Edges count as inside, so a click or a flat drag keeps a band of no width, which is
    // drawn as a dot or a line.
    const double x0 = std::max(drag.minX(), bounds.minX());
    const double y0 = std::max(drag.minY(), bounds.minY());
    const double x1 = std::min(drag.maxX(), bounds.maxX());
    const double y1 = std::min(drag.maxY(), bounds.maxY());
    if (x1 < x0 || y1 < y0)
        return std::nullopt;
    return Rect(x0, y0, x1 - x0, y1 - y0);
}

bool TilingGridModel::isInKeyboardBlock(const WindowPlacementTile& tile) const
{
    // A block chosen in another grid size (the steppers changed it since) is not drawn.
    const auto& block = m_keyboardBlock;
    return block && block->tileRowCount == rowCount() && block->tileColumnCount == columnCount()
        && block->leftTopTile.row <= tile.row && tile.row <= block->bottomRightTile.row
        && block->leftTopTile.column <= tile.column && tile.column <= block->bottomRightTile.column;
}

void TilingGridModel::setKeyboardBlock(const std::optional<WindowPlacementRegion>& block)
{
    if (m_dragStartLocation)
        return;
    m_hoveredTile.reset();
    m_keyboardBlock = block;
    Q_EMIT displayChanged();
    previewChanged(block);
}

void TilingGridModel::selectKeyboardBlock()
{
    if (m_dragStartLocation || !m_keyboardBlock)
        return;
    const WindowPlacementRegion block = *std::exchange(m_keyboardBlock, std::nullopt);
    Q_EMIT displayChanged();
    previewChanged(std::nullopt);
    if (m_onTileSelected)
        m_onTileSelected(block);
}

void TilingGridModel::hoverMoved(const Point& location)
{
    if (m_dragStartLocation || m_isDragCancelled)
        return;
    const auto tile = tileAt(location);
    // The pointer takes over from the keyboard once it moves onto a tile.
    if (tile && m_keyboardBlock) {
        m_keyboardBlock.reset();
        m_hoveredTile.reset();
    }
    if (!tile) {
        clearHover();
        return;
    }
    if (m_hoveredTile == tile)
        return;
    m_hoveredTile = tile;
    Q_EMIT displayChanged();
    previewChanged(WindowPlacementRegion { rowCount(), columnCount(), *tile, *tile });
}

void TilingGridModel::hoverEnded()
{
    if (m_dragStartLocation || m_isDragCancelled)
        return;
    clearHover();
}

void TilingGridModel::clearHover()
{
    if (!m_hoveredTile)
        return;
    m_hoveredTile.reset();
    Q_EMIT displayChanged();
    previewChanged(std::nullopt);
}

void TilingGridModel::dragChanged(const Point& startLocation, const Point& location)
{
    if (m_isDragCancelled)
        return;
    if (!m_dragStartLocation) {
        if (!tileAt(startLocation))
            return;
        m_dragStartLocation = startLocation;
        // The drag's own preview replaces the hover's, so clearing it needs no callback.
        m_hoveredTile.reset();
        m_keyboardBlock.reset();
        if (m_uiStates.draggingTileGridID() != m_tileGridID)
            m_uiStates.setDraggingTileGridID(m_tileGridID);
    }
    m_dragLocation = location;
    Q_EMIT displayChanged();
    previewChanged(dragRegion());
}

void TilingGridModel::dragEnded()
{
    if (m_isDragCancelled) {
        m_isDragCancelled = false;
        return;
    }
    const auto region = dragRegion();
    m_dragStartLocation.reset();
    m_dragLocation.reset();
    Q_EMIT displayChanged();
    previewChanged(std::nullopt);
    m_uiStates.endTileGridDrag(m_tileGridID);
    if (region && m_onTileSelected)
        m_onTileSelected(*region);
}

void TilingGridModel::startAfresh()
{
    if (m_dragStartLocation && m_uiStates.draggingTileGridID() == m_tileGridID)
        m_uiStates.endTileGridDrag(m_tileGridID);
    m_isDragCancelled = false;
    m_dragStartLocation.reset();
    m_dragLocation.reset();
    m_hoveredTile.reset();
    m_keyboardBlock.reset();
    Q_EMIT displayChanged();
}

void TilingGridModel::handleCancelRequest()
{
    if (m_uiStates.draggingTileGridID() != m_tileGridID || !m_dragStartLocation)
        return;
    m_isDragCancelled = true;
    m_dragStartLocation.reset();
    m_dragLocation.reset();
    Q_EMIT displayChanged();
    previewChanged(std::nullopt);
    m_uiStates.endTileGridDrag(m_tileGridID);
}

void TilingGridModel::previewChanged(const std::optional<WindowPlacementRegion>& region)
{
    if (m_onTilePreviewChanged)
        m_onTilePreviewChanged(region);
}

} // namespace gridlume
