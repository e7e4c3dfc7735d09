#include "tiling/TilingGridKeyboardCursor.h"

#include "settings/UIStates.h"

#include <algorithm>

namespace gridlume {

namespace {
    // Positional key codes (kVK_*) of the keys the grid reads.
    enum : quint16 {
        keyH = 4,
        keyOne = 18,
        keyTwo = 19,
        keyThree = 20,
        keyFour = 21,
        keySix = 22,
        keyFive = 23,
        keyEqual = 24,
        keyNine = 25,
        keySeven = 26,
        keyMinus = 27,
        keyEight = 28,
        keyReturn = 36,
        keyL = 37,
        keyJ = 38,
        keyK = 40,
        keyTab = 48,
        keySpace = 49,
        keyKeypadPlus = 69,
        keyKeypadEnter = 76,
        keyKeypadMinus = 78,
        keyKeypadOne = 83,
        keyKeypadNine = 92,
        keyLeft = 123,
        keyRight = 124,
        keyDown = 125,
        keyUp = 126,
    };

    // 1…9 of the main row and of the keypad; 0 for any other key.
    qint64 digitOf(quint16 keyCode)
    {
        switch (keyCode) {
        case keyOne:
            return 1;
        case keyTwo:
            return 2;
        case keyThree:
            return 3;
        case keyFour:
            return 4;
        case keyFive:
            return 5;
        case keySix:
            return 6;
        case keySeven:
            return 7;
        case keyEight:
            return 8;
        case keyNine:
            return 9;
        default:
            break;
        }
        // The keypad's 8 and 9 sit after a gap (91, 92).
        if (keyCode >= keyKeypadOne && keyCode <= keyKeypadNine && keyCode != 90)
            return keyCode - keyKeypadOne + 1 - (keyCode > 90 ? 1 : 0);
        return 0;
    }
} // namespace

TilingGridKeyboardCursor::TilingGridKeyboardCursor(UIStates& uiStates)
    : m_uiStates(uiStates)
{
}

TilingGridKeyboardCursor::Action TilingGridKeyboardCursor::handleKey(const KeyEvent& event)
{
    // Combinations with these belong to the desktop and to hot keys, not to the grid.
    if (event.modifierFlags & (ModifierFlag::Control | ModifierFlag::Option | ModifierFlag::Command))
        return Action::None;
    const bool shift = event.modifierFlags & ModifierFlag::Shift;
    // The grid may have been resized by the steppers since the last key.
    clampToGrid();
    switch (event.keyCode) {
    case keyLeft:
    case keyH:
        move(0, -1, shift);
        return Action::BlockChanged;
    case keyRight:
    case keyL:
        move(0, 1, shift);
        return Action::BlockChanged;
    case keyUp:
    case keyK:
        move(-1, 0, shift);
        return Action::BlockChanged;
    case keyDown:
    case keyJ:
        move(1, 0, shift);
        return Action::BlockChanged;
    case keyReturn:
    case keyKeypadEnter:
    case keySpace:
        return Action::Select;
    case keyTab:
        m_anchor = m_cursor;
        return shift ? Action::PreviousScreen : Action::NextScreen;
    case kVK_Escape:
        if (m_anchor == m_cursor)
            return Action::Close;
        m_anchor = m_cursor;
        return Action::BlockChanged;
    case keyEqual:
    case keyKeypadPlus:
        shift ? m_uiStates.incrementTileGridRowCount() : m_uiStates.incrementTileGridColumnCount();
        clampToGrid();
        return Action::BlockChanged;
    case keyMinus:
    case keyKeypadMinus:
        shift ? m_uiStates.decrementTileGridRowCount() : m_uiStates.decrementTileGridColumnCount();
        clampToGrid();
        return Action::BlockChanged;
    default:
        break;
    }
    const qint64 digit = digitOf(event.keyCode);
    if (digit == 0 || digit > m_uiStates.tileGridColumnCount())
        return Action::None;
    m_cursor.column = digit - 1;
    m_anchor = m_cursor;
    return Action::BlockChanged;
}

WindowPlacementRegion TilingGridKeyboardCursor::region() const
{
    return WindowPlacementRegion { m_uiStates.tileGridRowCount(), m_uiStates.tileGridColumnCount(),
        { std::min(m_anchor.row, m_cursor.row), std::min(m_anchor.column, m_cursor.column) },
        { std::max(m_anchor.row, m_cursor.row), std::max(m_anchor.column, m_cursor.column) } };
}

void TilingGridKeyboardCursor::continueFrom(const WindowPlacementRegion& region)
{
    m_anchor = region.leftTopTile;
    m_cursor = region.bottomRightTile;
    clampToGrid();
}

void TilingGridKeyboardCursor::reset()
{
    m_anchor = m_cursor = WindowPlacementTile {};
}

void TilingGridKeyboardCursor::clampToGrid()
{
    const qint64 lastRow = std::max<qint64>(0, m_uiStates.tileGridRowCount() - 1);
    const qint64 lastColumn = std::max<qint64>(0, m_uiStates.tileGridColumnCount() - 1);
    for (WindowPlacementTile* tile : { &m_anchor, &m_cursor }) {
        tile->row = std::clamp<qint64>(tile->row, 0, lastRow);
        tile->column = std::clamp<qint64>(tile->column, 0, lastColumn);
    }
}

void TilingGridKeyboardCursor::move(qint64 rows, qint64 columns, bool extend)
{
    m_cursor.row += rows;
    m_cursor.column += columns;
    if (!extend)
        m_anchor = m_cursor;
    clampToGrid();
}

} // namespace gridlume
