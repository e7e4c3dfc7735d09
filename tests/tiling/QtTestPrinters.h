#pragma once

// Readable GoogleTest failure messages for the Qt values the tiling tests compare.

#include "placement/WindowPlacementRegion.h"

#include <QDebug>
#include <QRect>
#include <QString>
#include <QStringList>

#include <ostream>

inline void PrintTo(const QString& value, std::ostream* os)
{
    *os << '"' << value.toStdString() << '"';
}

inline void PrintTo(const QStringList& value, std::ostream* os)
{
    *os << '{';
    for (qsizetype i = 0; i < value.size(); ++i)
        *os << (i ? ", \"" : "\"") << value[i].toStdString() << '"';
    *os << '}';
}

inline void PrintTo(const QRect& value, std::ostream* os)
{
    *os << "QRect(" << value.x() << ", " << value.y() << ", " << value.width() << " x " << value.height() << ')';
}

inline void PrintTo(const QPoint& value, std::ostream* os)
{
    *os << "QPoint(" << value.x() << ", " << value.y() << ')';
}

// "row,column-row,column" of a block's corner tiles, for the callback logs of the grid tests.
inline QString describe(const gridlume::WindowPlacementRegion& r)
{
    return QStringLiteral("%1,%2-%3,%4")
        .arg(r.leftTopTile.row)
        .arg(r.leftTopTile.column)
        .arg(r.bottomRightTile.row)
        .arg(r.bottomRightTile.column);
}
