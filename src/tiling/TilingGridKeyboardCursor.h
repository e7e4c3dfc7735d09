#pragma once

#include "placement/WindowPlacementRegion.h"
#include "platform/KeyEvent.h"

namespace gridlume {

class UIStates;

// The keyboard's way through a tiling grid: a one-tile cursor and the anchor a block grows from.
// Arrows and h/j/k/l move the cursor (and the anchor with it); with Shift they move the cursor
// alone, and the block is every tile between anchor and cursor, as a drag from the anchor tile to
// the cursor tile covers. The = and - keys (and the keypad's + and -) step the columns, with
// Shift the rows; 1…9 put the cursor on that column of its row. Keys are positional: the same
// physical key whatever the layout. The grid's size is read from, and stepped in, UIStates.
// Main thread only.
class TilingGridKeyboardCursor {
public:
    enum class Action {
        // Not a key of the grid (or one with Control, Alt or Super held).
        None,
        // The block changed (or was confirmed where it is): show it.
        BlockChanged,
        // Return, Enter or Space: place the window on the block.
        Select,
        // Escape while the block is a single tile.
        Close,
        // Tab and Shift+Tab.
        NextScreen,
        PreviousScreen,
    };

    explicit TilingGridKeyboardCursor(UIStates& uiStates);

    // Interprets one key press and moves the cursor accordingly. Escape with a block of several
    // tiles shrinks it to the cursor's tile.
    Action handleKey(const KeyEvent& event);

    // The block between the anchor and the cursor, in the grid's current size.
    WindowPlacementRegion region() const;
    const WindowPlacementTile& cursor() const { return m_cursor; }
    const WindowPlacementTile& anchor() const { return m_anchor; }

    // Continues from a block the pointer chose: its top-left tile becomes the anchor and its
    // bottom-right tile the cursor.
    void continueFrom(const WindowPlacementRegion& region);
    // Back to the top-left tile.
    void reset();

private:
    void clampToGrid();
    void move(qint64 rows, qint64 columns, bool extend);

    UIStates& m_uiStates;
    WindowPlacementTile m_anchor;
    WindowPlacementTile m_cursor;
};

} // namespace gridlume
