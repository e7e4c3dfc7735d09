#pragma once

#include "placement/WindowPlacementRegion.h"

#include <QString>

#include <optional>

namespace gridlume {

// A placement asked for by name rather than on a panel (`gridlume place`, the session bus): a
// block of a grid, and the monitor to place the active window on.
//
// GRID is COLUMNSxROWS, each 1…64 ("3x2"); BLOCK is one tile "COLUMN,ROW" or the tiles from one
// to another, inclusive, "COLUMN,ROW:COLUMN,ROW" (0-based, row 0 at the top). MONITOR is
// "current" (the one that holds most of the window), "next" (the one after it in Gridlume's
// screen order, the first after the last), "primary", a 0-based index in Gridlume's
// screen order (the primary first) or a monitor's name ("HDMI-1").
struct PlacementRequest {
    static constexpr qint64 maximumCount = 64;

    WindowPlacementRegion region;
    QString monitor = QStringLiteral("current");

    // None, with what is wrong in `error`, for anything outside the grammar.
    static std::optional<PlacementRequest> parse(
        const QString& grid, const QString& block, const QString& monitor, QString* error = nullptr);
    // The request in the words parse() reads: "GRID BLOCK MONITOR".
    QString toArguments() const;

    friend bool operator==(const PlacementRequest&, const PlacementRequest&) = default;
};

} // namespace gridlume
