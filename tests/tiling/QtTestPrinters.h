#pragma once

// Readable GoogleTest failure messages for the Qt values the tiling tests compare.

#include "placement/WindowPlacementRegion.h"

#include <QDebug>
#include <QRect>
#include <QString>
#include <QStringList>

#include <concepts>
#include <ostream>

template <typename T>
requires std::same_as<T, QString> || std::same_as<T, QStringList> || std::same_as<T, QRect> || std::same_as<T, QPoint>
void PrintTo(const T& value, std::ostream* os)
{
    QString text;
    QDebug(&text).nospace() << value;
    *os << text.toStdString();
}

// "row,column-row,column" of a block's corner tiles, for the callback logs of the grid tests.
inline QString describe(const gridlume::WindowPlacementRegion& r)
{
    return QString::asprintf("%lld,%lld-%lld,%lld", r.leftTopTile.row, r.leftTopTile.column, r.bottomRightTile.row,
        r.bottomRightTile.column);
}
