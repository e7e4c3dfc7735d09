#pragma once

#include <QDebug>
#include <QMetaType>

#include <cmath>
#include <limits>

namespace gridlume {

// Geometry in points, unrounded 64-bit floating point, as the window system hands it out.
struct Point {
    double x = 0;
    double y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    double width = 0;
    double height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// A rectangle with an origin and a size. The accessors below normalise a negative width or
// height first (the origin moves to the other edge), exactly like the window system's own
// rectangle functions, so minX() <= maxX() always holds for a non-null rectangle.
struct Rect {
    Point origin;
    Size size;

    constexpr Rect() = default;
    constexpr Rect(double x, double y, double width, double height)
        : origin { x, y }
        , size { width, height }
    {
    }

    // The null rectangle: the "no rectangle at all" value, distinct from an empty one at (0, 0).
    static Rect null()
    {
        constexpr double inf = std::numeric_limits<double>::infinity();
        return Rect(inf, inf, 0, 0);
    }
    bool isNull() const { return std::isinf(origin.x) && std::isinf(origin.y); }

    Rect standardized() const
    {
        if (isNull())
            return *this;
        Rect r = *this;
        if (r.size.width < 0) {
            r.origin.x += r.size.width;
            r.size.width = -r.size.width;
        }
        if (r.size.height < 0) {
            r.origin.y += r.size.height;
            r.size.height = -r.size.height;
        }
        return r;
    }

    double minX() const { return standardized().origin.x; }
    double minY() const { return standardized().origin.y; }
    double maxX() const
    {
        Rect r = standardized();
        return r.origin.x + r.size.width;
    }
    double maxY() const
    {
        Rect r = standardized();
        return r.origin.y + r.size.height;
    }
    double midX() const { return (minX() + maxX()) / 2; }
    double midY() const { return (minY() + maxY()) / 2; }
    double width() const { return std::abs(size.width); }
    double height() const { return std::abs(size.height); }
    bool isEmpty() const { return isNull() || size.width == 0 || size.height == 0; }

    // True when the two rectangles share an area of non-zero size; edges that only touch do not
    // intersect, and nothing intersects the null or an empty rectangle.
    bool intersects(const Rect& other) const
    {
        if (isEmpty() || other.isEmpty())
            return false;
        return minX() < other.maxX() && other.minX() < maxX() && minY() < other.maxY() && other.minY() < maxY();
    }

    // The common area, or the null rectangle when there is none.
    Rect intersected(const Rect& other) const
    {
        if (!intersects(other))
            return null();
        double x0 = std::max(minX(), other.minX());
        double y0 = std::max(minY(), other.minY());
        double x1 = std::min(maxX(), other.maxX());
        double y1 = std::min(maxY(), other.maxY());
        return Rect(x0, y0, x1 - x0, y1 - y0);
    }

    bool contains(const Point& p) const { return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY(); }

    friend bool operator==(const Rect& a, const Rect& b)
    {
        if (a.isNull() || b.isNull())
            return a.isNull() == b.isNull();
        return a.origin == b.origin && a.size == b.size;
    }
};

QDebug operator<<(QDebug debug, const Point& point);
QDebug operator<<(QDebug debug, const Size& size);
QDebug operator<<(QDebug debug, const Rect& rect);

} // namespace gridlume

Q_DECLARE_METATYPE(gridlume::Rect)
