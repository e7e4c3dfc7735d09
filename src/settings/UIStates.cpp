#include "settings/UIStates.h"

#include <algorithm>

namespace gridlume {

namespace {
    qint64 clamped(qint64 value, UIStates::CountRange range)
    {
        return std::clamp(value, range.lowerBound, range.upperBound);
    }

    template <typename T, typename Signal>
    void assign(UIStates* states, T& field, const T& value, Signal signal)
    {
        if (field == value)
            return;
        field = value;
        Q_EMIT(states->*signal)();
    }
} // namespace

void UIStates::setTileGridRowCount(qint64 count)
{
    assign(this, m_tileGridRowCount, count, &UIStates::tileGridRowCountChanged);
}

void UIStates::setTileGridColumnCount(qint64 count)
{
    assign(this, m_tileGridColumnCount, count, &UIStates::tileGridColumnCountChanged);
}

void UIStates::setDraggingTileGridID(std::optional<DisplayID> id)
{
    assign(this, m_draggingTileGridID, id, &UIStates::draggingTileGridIDChanged);
}

void UIStates::setTileGridCancelDragRequestID(qint64 id)
{
    assign(this, m_tileGridCancelDragRequestID, id, &UIStates::tileGridCancelDragRequestIDChanged);
}

void UIStates::incrementTileGridRowCount()
{
    setTileGridRowCount(clamped(m_tileGridRowCount + 1, tileGridRowCountRange));
}

void UIStates::decrementTileGridRowCount()
{
    setTileGridRowCount(clamped(m_tileGridRowCount - 1, tileGridRowCountRange));
}

void UIStates::incrementTileGridColumnCount()
{
    setTileGridColumnCount(clamped(m_tileGridColumnCount + 1, tileGridColumnCountRange));
}

void UIStates::decrementTileGridColumnCount()
{
    setTileGridColumnCount(clamped(m_tileGridColumnCount - 1, tileGridColumnCountRange));
}

void UIStates::endTileGridDrag(DisplayID tileGridID)
{
    if (m_draggingTileGridID == tileGridID)
        setDraggingTileGridID(std::nullopt);
}

} // namespace gridlume
