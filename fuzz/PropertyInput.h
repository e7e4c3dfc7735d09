#pragma once

// Reads fuzzer bytes as what the X server hands us: geometry of the sizes the protocol allows
// (INT16 positions, CARD16 sizes) and 32-bit property items, in native byte order, in a plain
// layout so that seed inputs are easy to write. Past the end, every read gives zeros.

#include "platform/x11/X11PropertyParsers.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace gridlume::fuzz {

class PropertyInput {
public:
    PropertyInput(const uint8_t* data, std::size_t size)
        : m_data(data)
        , m_size(size)
    {
    }

    std::size_t remaining() const { return m_size - m_offset; }

    template <typename T> T take()
    {
        T value {};
        const std::size_t count = std::min(sizeof(T), remaining());
        std::memcpy(&value, m_data + m_offset, count);
        m_offset += count;
        return value;
    }

    // `count` items, or as many whole items as remain.
    std::vector<quint32> takeItems(std::size_t count)
    {
        count = std::min(count, remaining() / sizeof(quint32));
        std::vector<quint32> items(count);
        if (count > 0)
            std::memcpy(items.data(), m_data + m_offset, count * sizeof(quint32));
        m_offset += count * sizeof(quint32);
        return items;
    }

    // The rest as items; a trailing partial item is dropped, as X11Connection::values32 does.
    std::vector<quint32> takeRemainingItems() { return takeItems(remaining() / sizeof(quint32)); }

    // A monitor or window rectangle as RandR and GetGeometry report it: x, y, width, height.
    x11::RootRect takeRect()
    {
        const qint64 x = take<qint16>();
        const qint64 y = take<qint16>();
        const qint64 width = take<quint16>();
        const qint64 height = take<quint16>();
        return { x, y, width, height };
    }

private:
    const uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_offset = 0;
};

inline bool contains(const x11::RootRect& outer, const x11::RootRect& inner)
{
    return inner.left() >= outer.left() && inner.top() >= outer.top() && inner.rightEdge() <= outer.rightEdge()
        && inner.bottomEdge() <= outer.bottomEdge();
}

} // namespace gridlume::fuzz
