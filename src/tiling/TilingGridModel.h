#pragma once

#include "placement/WindowPlacementRegion.h"
#include "placement/WindowPlacementTile.h"
#include "platform/Geometry.h"
#include "platform/Screens.h"

#include <QList>
#include <QObject>

#include <functional>
#include <optional>

namespace gridlume {

class UIStates;

// The interaction rules of one tiling grid, apart from any widget: which tile lies under a point,
// which tiles a drag covers, and how hovering, dragging and a cancel request turn into preview and
// selection callbacks. Points are in the grid's own space: origin at its top-left corner, x to
// the right, y downwards, in points. Rows and columns are read live from UIStates.
//
// Callback orders: a hover onto a new tile previews it once; leaving all tiles clears the preview
// once. Every drag movement previews the drag's region (even an unchanged one). A drag's end
// clears the preview, releases the drag in UIStates and then selects the region; a cancelled drag
// clears the preview and selects nothing, not even at the mouse-up that follows. Main thread only.
class TilingGridModel : public QObject {
    Q_OBJECT
public:
    static constexpr double width = 280;
    static constexpr double height = 175;
    // The rubber band stays this far inside the grid's edges.
    static constexpr double dragOutlineInset = 4;

    TilingGridModel(DisplayID tileGridID, UIStates& uiStates, QObject* parent = nullptr);

    DisplayID tileGridID() const { return m_tileGridID; }

    // A region to preview, or none to clear the preview.
    void setOnTilePreviewChanged(std::function<void(const std::optional<WindowPlacementRegion>&)> callback)
    {
        m_onTilePreviewChanged = std::move(callback);
    }
    // The user chose this region.
    void setOnTileSelected(std::function<void(const WindowPlacementRegion&)> callback)
    {
        m_onTileSelected = std::move(callback);
    }

    qint64 rowCount() const;
    qint64 columnCount() const;

    // The rectangle of a tile; tiles abut without gaps.
    Rect tileRect(const WindowPlacementTile& tile) const;
    // The tile under `point`: tiles contain their left and top edges, not their right and bottom
    // ones, so a point on the grid's right or bottom border lies in no tile.
    std::optional<WindowPlacementTile> tileAt(const Point& point) const;
    // The tiles the current drag covers, row by row: the tile the drag started in and every tile
    // the drag rectangle overlaps (tiles it only touches along an edge excepted; a drag flat
    // along one axis covers the tiles its line crosses). Empty when no drag is under way.
    QList<WindowPlacementTile> coveredTiles() const;
    // The smallest block holding the covered tiles, in the current grid's dimensions.
    std::optional<WindowPlacementRegion> dragRegion() const;
    // The rubber band: the drag rectangle clipped to the grid inset by dragOutlineInset, edges
    // included (a click leaves a band of no size); none without a drag or when the drag lies
    // wholly outside the inset grid.
    std::optional<Rect> dragOutline() const;

    bool isDragCancelled() const { return m_isDragCancelled; }
    const std::optional<Point>& dragStartLocation() const { return m_dragStartLocation; }
    const std::optional<Point>& dragLocation() const { return m_dragLocation; }
    // The tile under the pointer while no drag is under way.
    const std::optional<WindowPlacementTile>& hoveredTile() const { return m_hoveredTile; }
    // The block the keyboard chose, until the pointer hovers or drags again.
    const std::optional<WindowPlacementRegion>& keyboardBlock() const { return m_keyboardBlock; }
    // Whether the tile lies in the keyboard's block (drawn like a hovered tile).
    bool isInKeyboardBlock(const WindowPlacementTile& tile) const;

    // Keyboard input ----------------------------------------------------------------------------
    // Highlights `block` and previews it like a hover (none: clears both); a hover highlight
    // gives way without a callback. Ignored during a drag.
    void setKeyboardBlock(const std::optional<WindowPlacementRegion>& block);
    // Selects the keyboard's block like the release of a drag: the highlight and the preview are
    // cleared, then the block is selected. Nothing without a block.
    void selectKeyboardBlock();

    // Pointer input --------------------------------------------------------------------------------
    // The pointer hovers at `location` (inside or outside the grid) with no button down.
    void hoverMoved(const Point& location);
    // The pointer left the grid.
    void hoverEnded();
    // A press-and-move gesture that began at `startLocation` is now at `location`; the press itself
    // is its first change. A gesture that did not begin on a tile is ignored throughout.
    void dragChanged(const Point& startLocation, const Point& location);
    // The button of the gesture was released.
    void dragEnded();
    // Forgets the hover, a gesture under way and the keyboard's block without a preview or a
    // selection, for a grid shown again: a hidden grid sees neither the pointer leave nor the
    // button of a gesture come up.
    void startAfresh();

Q_SIGNALS:
    // The highlighted tiles, the rubber band or the grid's dimensions changed: repaint.
    void displayChanged();

private:
    void handleCancelRequest();
    void clearHover();
    void previewChanged(const std::optional<WindowPlacementRegion>& region);

    DisplayID m_tileGridID;
    UIStates& m_uiStates;
    std::function<void(const std::optional<WindowPlacementRegion>&)> m_onTilePreviewChanged;
    std::function<void(const WindowPlacementRegion&)> m_onTileSelected;
    bool m_isDragCancelled = false;
    std::optional<Point> m_dragStartLocation;
    std::optional<Point> m_dragLocation;
    std::optional<WindowPlacementTile> m_hoveredTile;
    std::optional<WindowPlacementRegion> m_keyboardBlock;
};

} // namespace gridlume
