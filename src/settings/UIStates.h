#pragma once

#include "platform/Screens.h"

#include <QObject>

#include <optional>

namespace gridlume {

// What every tiling panel shares while the program runs: the grid's size, which grid (if any)
// has a drag under way, and a counter whose every increase asks all grids to abandon their
// drag. Not persisted: each launch starts with a 2 × 2 grid. Main thread only.
class UIStates : public QObject {
    Q_OBJECT
    Q_PROPERTY(qint64 tileGridRowCount READ tileGridRowCount WRITE setTileGridRowCount NOTIFY tileGridRowCountChanged)
    Q_PROPERTY(qint64 tileGridColumnCount READ tileGridColumnCount WRITE setTileGridColumnCount NOTIFY
            tileGridColumnCountChanged)
    Q_PROPERTY(qint64 tileGridCancelDragRequestID READ tileGridCancelDragRequestID WRITE
            setTileGridCancelDragRequestID NOTIFY tileGridCancelDragRequestIDChanged)

public:
    struct CountRange {
        qint64 lowerBound;
        qint64 upperBound;
    };
    static constexpr CountRange tileGridRowCountRange { 2, 8 };
    static constexpr CountRange tileGridColumnCountRange { 2, 8 };

    using QObject::QObject;

    qint64 tileGridRowCount() const { return m_tileGridRowCount; }
    qint64 tileGridColumnCount() const { return m_tileGridColumnCount; }
    // The display ID of the grid in which a drag is under way.
    std::optional<DisplayID> draggingTileGridID() const { return m_draggingTileGridID; }
    qint64 tileGridCancelDragRequestID() const { return m_tileGridCancelDragRequestID; }

    // The setters store what they are given (no clamping) and notify only on a change.
    void setTileGridRowCount(qint64 count);
    void setTileGridColumnCount(qint64 count);
    void setDraggingTileGridID(std::optional<DisplayID> id);
    void setTileGridCancelDragRequestID(qint64 id);

    // Step by one, kept within 2…8.
    void incrementTileGridRowCount();
    void decrementTileGridRowCount();
    void incrementTileGridColumnCount();
    void decrementTileGridColumnCount();

    // Clears the drag only when it is `tileGridID`'s, so a grid never ends another grid's drag.
    void endTileGridDrag(DisplayID tileGridID);
    // Asks every grid to abandon the drag it has under way.
    void requestTileGridDragCancel() { setTileGridCancelDragRequestID(m_tileGridCancelDragRequestID + 1); }

Q_SIGNALS:
    void tileGridRowCountChanged();
    void tileGridColumnCountChanged();
    void draggingTileGridIDChanged();
    void tileGridCancelDragRequestIDChanged();

private:
    qint64 m_tileGridRowCount = 2;
    qint64 m_tileGridColumnCount = 2;
    std::optional<DisplayID> m_draggingTileGridID;
    qint64 m_tileGridCancelDragRequestID = 0;
};

} // namespace gridlume
