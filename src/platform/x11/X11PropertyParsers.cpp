#include "X11PropertyParsers.h"

#include <algorithm>
#include <climits>

namespace gridlume::x11 {

bool RootRect::intersects(const RootRect& other) const { return !intersected(other).isEmpty(); }

RootRect RootRect::intersected(const RootRect& other) const
{
    const qint64 x0 = std::max(left(), other.left());
    const qint64 y0 = std::max(top(), other.top());
    const qint64 x1 = std::min(rightEdge(), other.rightEdge());
    const qint64 y1 = std::min(bottomEdge(), other.bottomEdge());
    if (x1 <= x0 || y1 <= y0)
        return {};
    return { x0, y0, x1 - x0, y1 - y0 };
}

std::optional<Strut> parseStrut(
    std::span<const quint32> partial, std::span<const quint32> legacy, qint64 rootWidth, qint64 rootHeight)
{
    Strut strut;
    if (partial.size() >= 12) {
        strut = { partial[0], partial[1], partial[2], partial[3], partial[4], partial[5], partial[6], partial[7],
            partial[8], partial[9], partial[10], partial[11] };
    } else if (legacy.size() >= 4) {
        // "This property is equivalent to a _NET_WM_STRUT_PARTIAL property where all start
        // values are 0 and all end values are the height or width of the logical screen."
        strut = { legacy[0], legacy[1], legacy[2], legacy[3], 0, rootHeight - 1, 0, rootHeight - 1, 0, rootWidth - 1,
            0, rootWidth - 1 };
    } else {
        return std::nullopt;
    }
    if (strut.left == 0 && strut.right == 0 && strut.top == 0 && strut.bottom == 0)
        return std::nullopt;
    return strut;
}

RootRect monitorWithoutStruts(const RootRect& monitor, std::span<const Strut> struts, qint64 rootWidth, qint64 rootHeight)
{
    qint64 left = monitor.left();
    qint64 top = monitor.top();
    qint64 right = monitor.rightEdge();
    qint64 bottom = monitor.bottomEdge();
    for (const Strut& strut : struts) {
        // Each edge's reserved band, in root coordinates.
        const RootRect leftBand { 0, strut.leftStartY, strut.left, strut.leftEndY - strut.leftStartY + 1 };
        const RootRect rightBand { rootWidth - strut.right, strut.rightStartY, strut.right,
            strut.rightEndY - strut.rightStartY + 1 };
        const RootRect topBand { strut.topStartX, 0, strut.topEndX - strut.topStartX + 1, strut.top };
        const RootRect bottomBand { strut.bottomStartX, rootHeight - strut.bottom, strut.bottomEndX - strut.bottomStartX + 1,
            strut.bottom };
        if (leftBand.intersects(monitor))
            left = std::max(left, leftBand.rightEdge());
        if (rightBand.intersects(monitor))
            right = std::min(right, rightBand.left());
        if (topBand.intersects(monitor))
            top = std::max(top, topBand.bottomEdge());
        if (bottomBand.intersects(monitor))
            bottom = std::min(bottom, bottomBand.top());
    }
    return { left, top, std::max<qint64>(0, right - left), std::max<qint64>(0, bottom - top) };
}

FrameExtents parseFrameExtents(std::span<const quint32> values)
{
    if (values.size() != 4)
        return {};
    // Extents are CARDINALs, but a client writing -1 through a signed API is not unheard of;
    // treat anything absurd as no extent rather than as a four-billion-pixel border.
    auto sane = [](quint32 value) -> qint64 { return value > 0xFFFF ? 0 : qint64(value); };
    return { sane(values[0]), sane(values[1]), sane(values[2]), sane(values[3]) };
}

RootRect visibleFrameOfClient(const RootRect& client, const FrameExtents& decoration, const FrameExtents& shadow)
{
    return { client.x - decoration.left + shadow.left, client.y - decoration.top + shadow.top,
        client.width + decoration.left + decoration.right - shadow.left - shadow.right,
        client.height + decoration.top + decoration.bottom - shadow.top - shadow.bottom };
}

RootRect clientOfVisibleFrame(const RootRect& visible, const FrameExtents& decoration, const FrameExtents& shadow)
{
    return { visible.x + decoration.left - shadow.left, visible.y + decoration.top - shadow.top,
        visible.width - decoration.left - decoration.right + shadow.left + shadow.right,
        visible.height - decoration.top - decoration.bottom + shadow.top + shadow.bottom };
}

std::optional<RootRect> workAreaForMonitor(const RootRect& monitor, std::span<const quint32> workAreas)
{
    std::optional<RootRect> best;
    qint64 bestArea = 0;
    for (std::size_t i = 0; i + 4 <= workAreas.size(); i += 4) {
        const RootRect candidate { workAreas[i], workAreas[i + 1], workAreas[i + 2], workAreas[i + 3] };
        const RootRect overlap = candidate.intersected(monitor);
        if (overlap.area() > bestArea) {
            bestArea = overlap.area();
            best = overlap;
        }
    }
    return best;
}

std::optional<RootRect> desktopWorkArea(std::span<const quint32> workAreas, quint32 desktop)
{
    const std::size_t first = std::size_t(desktop) * 4;
    if (first + 4 > workAreas.size())
        return std::nullopt;
    return RootRect { workAreas[first], workAreas[first + 1], workAreas[first + 2], workAreas[first + 3] };
}

RootRect visibleFrameOfMonitor(const RootRect& monitor, const WorkAreaHints& hints)
{
    if (!hints.gtkWorkAreas.empty())
        return workAreaForMonitor(monitor, hints.gtkWorkAreas).value_or(monitor);

    RootRect frame = hints.hasClientList
        ? monitorWithoutStruts(monitor, hints.struts, hints.rootWidth, hints.rootHeight)
        : monitor;
    const RootRect root { 0, 0, hints.rootWidth, hints.rootHeight };
    if (!hints.workArea || !hints.workArea->intersects(root))
        return frame;

    // _NET_WORKAREA is one rectangle for the whole root window ("the work area ... is the
    // result of subtracting the struts"), so what it reserves at each root edge is at least the
    // deepest strut there. Only what it reserves beyond that is the window manager's own.
    const RootRect& area = *hints.workArea;
    qint64 left = area.left(), top = area.top();
    qint64 right = hints.rootWidth - area.rightEdge(), bottom = hints.rootHeight - area.bottomEdge();
    if (hints.hasClientList) {
        for (const Strut& strut : hints.struts) {
            left = std::min(left, area.left() - strut.left);
            top = std::min(top, area.top() - strut.top);
            right = std::min(right, hints.rootWidth - area.rightEdge() - strut.right);
            bottom = std::min(bottom, hints.rootHeight - area.bottomEdge() - strut.bottom);
        }
    }
    qint64 x0 = frame.left(), y0 = frame.top(), x1 = frame.rightEdge(), y1 = frame.bottomEdge();
    if (left > 0 && monitor.left() == 0)
        x0 = std::max(x0, left);
    if (top > 0 && monitor.top() == 0)
        y0 = std::max(y0, top);
    if (right > 0 && monitor.rightEdge() == hints.rootWidth)
        x1 = std::min(x1, hints.rootWidth - right);
    if (bottom > 0 && monitor.bottomEdge() == hints.rootHeight)
        y1 = std::min(y1, hints.rootHeight - bottom);
    return { x0, y0, std::max<qint64>(0, x1 - x0), std::max<qint64>(0, y1 - y0) };
}

WmClass parseWmClass(QByteArrayView value)
{
    const qsizetype firstEnd = value.indexOf('\0');
    const QByteArrayView instance = firstEnd < 0 ? value : value.first(firstEnd);
    QByteArrayView rest = firstEnd < 0 ? QByteArrayView() : value.sliced(firstEnd + 1);
    if (const qsizetype secondEnd = rest.indexOf('\0'); secondEnd >= 0)
        rest = rest.first(secondEnd);
    return { QString::fromLocal8Bit(instance), QString::fromLocal8Bit(rest) };
}

pid_t parseProcessId(std::span<const quint32> values)
{
    if (values.empty() || values.front() == 0 || values.front() > quint32(INT_MAX))
        return 0;
    return pid_t(values.front());
}

std::vector<WindowIconImage> parseWindowIcons(std::span<const quint32> values, std::size_t pixelBudget)
{
    std::vector<WindowIconImage> candidates;
    std::size_t i = 0;
    while (values.size() - i >= 2) {
        const quint32 width = values[i];
        const quint32 height = values[i + 1];
        // Both factors are below 2^32, so the product cannot overflow 64 bits.
        const quint64 count = quint64(width) * height;
        if (count > values.size() - i - 2)
            break;
        const std::span<const quint32> argb = values.subspan(i + 2, std::size_t(count));
        i += 2 + std::size_t(count);
        if (width != 0 && height != 0 && width <= kMaxWindowIconSide && height <= kMaxWindowIconSide)
            candidates.push_back({ width, height, argb });
    }
    // Largest first; among icons of one size, the first in the property.
    std::stable_sort(candidates.begin(), candidates.end(), [](const WindowIconImage& a, const WindowIconImage& b) {
        return a.argb.size() != b.argb.size() ? a.argb.size() > b.argb.size() : a.width > b.width;
    });
    std::vector<WindowIconImage> chosen;
    std::size_t spent = 0;
    for (std::size_t k = 0; k < candidates.size() && chosen.size() < kMaxWindowIcons; ++k) {
        const WindowIconImage& candidate = candidates[k];
        const bool sameSizeAsPrevious
            = k > 0 && candidates[k - 1].width == candidate.width && candidates[k - 1].height == candidate.height;
        if (sameSizeAsPrevious || candidate.argb.size() > pixelBudget - spent)
            continue;
        spent += candidate.argb.size();
        chosen.push_back(candidate);
    }
    return chosen;
}

} // namespace gridlume::x11
