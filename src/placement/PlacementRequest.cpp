#include "placement/PlacementRequest.h"

#include <QRegularExpression>

#include <algorithm>

namespace gridlume {

namespace {
    std::optional<PlacementRequest> failure(QString* error, const QString& message)
    {
        if (error)
            *error = message;
        return std::nullopt;
    }
} // namespace

std::optional<PlacementRequest> PlacementRequest::parse(
    const QString& grid, const QString& block, const QString& monitor, QString* error)
{
    static const QRegularExpression gridPattern(QStringLiteral("^(\\d{1,3})x(\\d{1,3})$"));
    static const QRegularExpression blockPattern(QStringLiteral("^(\\d{1,3}),(\\d{1,3})(?::(\\d{1,3}),(\\d{1,3}))?$"));
    static const QRegularExpression monitorPattern(QStringLiteral("^[A-Za-z0-9._-]{1,32}$"));

    const QRegularExpressionMatch gridMatch = gridPattern.match(grid);
    if (!gridMatch.hasMatch())
        return failure(error, QStringLiteral("the grid '%1' is not COLUMNSxROWS, e.g. 3x2").arg(grid));
    const qint64 columns = gridMatch.captured(1).toLongLong();
    const qint64 rows = gridMatch.captured(2).toLongLong();
    if (columns < 1 || rows < 1 || columns > maximumCount || rows > maximumCount)
        return failure(
            error, QStringLiteral("the grid '%1' needs 1 to %2 columns and rows").arg(grid).arg(maximumCount));

    const QRegularExpressionMatch blockMatch = blockPattern.match(block);
    if (!blockMatch.hasMatch())
        return failure(error, QStringLiteral("the block '%1' is not COLUMN,ROW or COLUMN,ROW:COLUMN,ROW").arg(block));
    const bool hasEnd = blockMatch.hasCaptured(3);
    const WindowPlacementTile first { blockMatch.captured(2).toLongLong(), blockMatch.captured(1).toLongLong() };
    const WindowPlacementTile last = hasEnd
        ? WindowPlacementTile { blockMatch.captured(4).toLongLong(), blockMatch.captured(3).toLongLong() }
        : first;
    for (const WindowPlacementTile& tile : { first, last }) {
        if (tile.column >= columns || tile.row >= rows)
            return failure(error,
                QStringLiteral("the tile %1,%2 is outside the %3x%4 grid")
                    .arg(tile.column)
                    .arg(tile.row)
                    .arg(columns)
                    .arg(rows));
    }

    if (!monitorPattern.match(monitor).hasMatch())
        return failure(
            error, QStringLiteral("the monitor '%1' is not current, primary, a number or a name").arg(monitor));

    PlacementRequest request;
    request.region
        = WindowPlacementRegion { rows, columns, { std::min(first.row, last.row), std::min(first.column, last.column) },
              { std::max(first.row, last.row), std::max(first.column, last.column) } };
    request.monitor = monitor;
    return request;
}

QString PlacementRequest::toArguments() const
{
    return QStringLiteral("%1x%2 %3,%4:%5,%6 %7")
        .arg(region.tileColumnCount)
        .arg(region.tileRowCount)
        .arg(region.leftTopTile.column)
        .arg(region.leftTopTile.row)
        .arg(region.bottomRightTile.column)
        .arg(region.bottomRightTile.row)
        .arg(monitor);
}

} // namespace gridlume
