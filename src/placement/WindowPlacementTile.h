#pragma once

#include <QtGlobal>

namespace gridlume {

// One cell of a tiling grid. Row 0 is the top row, column 0 the leftmost column.
struct WindowPlacementTile {
    qint64 row = 0;
    qint64 column = 0;
    friend bool operator==(const WindowPlacementTile&, const WindowPlacementTile&) = default;
};

} // namespace gridlume
