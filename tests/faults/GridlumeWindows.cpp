#include "GridlumeWindows.h"

#include <algorithm>
#include <cmath>

namespace gridlume::test {

namespace {

    // Grid geometry inside a panel: 12 points in, below the title bar and the target row; the
    // 2 × 2 tiles are 140 × 87.
    constexpr int gridLeft = 12;
    constexpr int gridTop = 84;
    constexpr int tileWidth = 140;
    constexpr int tileHeight = 87;

    std::optional<QRect> first(const std::vector<QRect>& rects)
    {
        return rects.empty() ? std::nullopt : std::optional(rects.front());
    }

    bool hasGridlumeClass(const QByteArray& wmClass)
    {
        return wmClass.startsWith(QByteArrayLiteral("gridlume\0"));
    }

} // namespace

Rect GridlumeWindows::secondVisibleFrame()
{
    const Rect& monitor = X11TestDesktop::secondMonitor;
    return Rect(monitor.origin.x, monitor.origin.y, monitor.size.width, monitor.size.height - X11TestDesktop::dockHeight);
}

QRect GridlumeWindows::centredPanel(const Rect& visibleFrame, double ratio)
{
    // Qt's size for the ratio; Gridlume rounds a panel's edges to the nearest pixel.
    const int width = qRound(panelWidth * ratio);
    const int height = qRound(panelHeight * ratio);
    return QRect(int(std::lround(visibleFrame.midX() - width / 2.0)), int(std::lround(visibleFrame.midY() - height / 2.0)),
        width, height);
}

bool GridlumeWindows::isCentredPanel(const QRect& panel, const Rect& visibleFrame, double ratio)
{
    // To the pixel where Qt can place every device pixel, within one where the ratio is
    // fractional.
    const QRect expected = centredPanel(visibleFrame, ratio);
    const int tolerance = ratio == std::floor(ratio) ? 0 : 1;
    return panel.size() == expected.size() && std::abs(panel.x() - expected.x()) <= tolerance
        && std::abs(panel.y() - expected.y()) <= tolerance;
}

QPoint GridlumeWindows::tileCentre(const QRect& panel, int row, int column, double ratio)
{
    return panel.topLeft()
        + QPoint(qRound((gridLeft + tileWidth / 2 + tileWidth * column) * ratio),
            qRound((gridTop + tileHeight / 2 + tileHeight * row) * ratio));
}

QRect GridlumeWindows::tileBlock(const Rect& visibleFrame, int row, int column)
{
    // Edges rounded to the nearest pixel, as Gridlume rounds them.
    const auto edge = [](double from, double length, int index) { return int(std::lround(from + length / 2 * index)); };
    const int left = edge(visibleFrame.minX(), visibleFrame.width(), column);
    const int top = edge(visibleFrame.minY(), visibleFrame.height(), row);
    return QRect(left, top, edge(visibleFrame.minX(), visibleFrame.width(), column + 1) - left,
        edge(visibleFrame.minY(), visibleFrame.height(), row + 1) - top);
}

std::vector<QRect> GridlumeWindows::panelsOfBothMonitors()
{
    return { centredPanel(primaryVisibleFrame()), centredPanel(secondVisibleFrame()) };
}

GridlumeWindows::GridlumeWindows(X11TestDesktop& desktop)
    : m_desktop(desktop)
{
}

std::vector<xcb_window_t> GridlumeWindows::windowsWithProperty(
    xcb_atom_t property, const std::function<bool(const QByteArray&)>& accept, int depth) const
{
    // Gridlume's windows are children of the root, or of a window manager's frame, which may
    // nest them a few levels down (IceWM, KWin), or of a tray.
    xcb_connection_t* c = m_desktop.connection();
    std::vector<xcb_window_t> candidates;
    std::vector<xcb_window_t> level { m_desktop.root() };
    for (int i = 0; i < depth && !level.empty(); ++i) {
        std::vector<xcb_query_tree_cookie_t> treeCookies;
        for (xcb_window_t window : level)
            treeCookies.push_back(xcb_query_tree(c, window));
        std::vector<xcb_window_t> next;
        for (xcb_query_tree_cookie_t cookie : treeCookies) {
            Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c, cookie, nullptr));
            if (!tree)
                continue;
            const xcb_window_t* children = xcb_query_tree_children(tree.get());
            next.insert(next.end(), children, children + xcb_query_tree_children_length(tree.get()));
        }
        candidates.insert(candidates.end(), next.begin(), next.end());
        level = std::move(next);
    }
    std::vector<xcb_get_property_cookie_t> cookies;
    for (xcb_window_t window : candidates)
        cookies.push_back(xcb_get_property(c, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 64));
    std::vector<xcb_window_t> found;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        Reply<xcb_get_property_reply_t> value(xcb_get_property_reply(c, cookies[i], nullptr));
        if (value
            && accept(QByteArray(static_cast<const char*>(xcb_get_property_value(value.get())),
                xcb_get_property_value_length(value.get()))))
            found.push_back(candidates[i]);
    }
    return found;
}

std::vector<xcb_window_t> GridlumeWindows::windowsNamed(const QByteArray& title) const
{
    return windowsWithProperty(XCB_ATOM_WM_NAME, [&](const QByteArray& name) { return name == title; }, 4);
}

bool GridlumeWindows::isViewable(xcb_window_t window) const
{
    xcb_connection_t* c = m_desktop.connection();
    Reply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr));
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

QRect GridlumeWindows::rootGeometry(xcb_window_t window) const
{
    xcb_connection_t* c = m_desktop.connection();
    auto geometryCookie = xcb_get_geometry(c, window);
    auto originCookie = xcb_translate_coordinates(c, window, m_desktop.root(), 0, 0);
    Reply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(c, geometryCookie, nullptr));
    Reply<xcb_translate_coordinates_reply_t> origin(xcb_translate_coordinates_reply(c, originCookie, nullptr));
    if (!geometry || !origin)
        return {};
    return QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
}

std::vector<QRect> GridlumeWindows::viewableWindowsNamed(const QByteArray& title) const
{
    std::vector<QRect> rects;
    for (xcb_window_t window : windowsNamed(title)) {
        if (isViewable(window))
            rects.push_back(rootGeometry(window));
    }
    std::sort(rects.begin(), rects.end(),
        [](const QRect& a, const QRect& b) { return std::pair(a.x(), a.y()) < std::pair(b.x(), b.y()); });
    return rects;
}

std::vector<QRect> GridlumeWindows::viewablePanels() const { return viewableWindowsNamed("Gridlume Tiling Panel"); }

std::optional<QRect> GridlumeWindows::viewablePreview() const
{
    return first(viewableWindowsNamed("Gridlume Preview"));
}

bool GridlumeWindows::isPreviewBelowPanel(const QRect& panel) const
{
    xcb_connection_t* c = m_desktop.connection();
    // The child of the root that holds `window` (a window manager's frame, or the window).
    const auto topLevel = [&](xcb_window_t window) {
        for (;;) {
            Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr));
            if (!tree || tree->parent == m_desktop.root() || tree->parent == XCB_WINDOW_NONE)
                return window;
            window = tree->parent;
        }
    };
    std::optional<xcb_window_t> preview, panelWindow;
    for (xcb_window_t window : windowsNamed("Gridlume Preview"))
        if (isViewable(window))
            preview = topLevel(window);
    for (xcb_window_t window : windowsNamed("Gridlume Tiling Panel"))
        if (isViewable(window) && rootGeometry(window) == panel)
            panelWindow = topLevel(window);
    Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c, xcb_query_tree(c, m_desktop.root()), nullptr));
    if (!preview || !panelWindow || !tree)
        return false;
    // Bottom first.
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    const xcb_window_t* end = children + xcb_query_tree_children_length(tree.get());
    return std::find(children, end, *preview) < std::find(children, end, *panelWindow);
}

std::optional<xcb_window_t> GridlumeWindows::trayIcon() const
{
    // The icon is a small window of Gridlume's class, a few levels down inside the tray.
    for (xcb_window_t window : windowsWithProperty(XCB_ATOM_WM_CLASS, hasGridlumeClass, 6)) {
        const QRect geometry = rootGeometry(window);
        if (isViewable(window) && geometry.width() > 1 && geometry.width() <= 64)
            return window;
    }
    return std::nullopt;
}

std::optional<QRect> GridlumeWindows::viewableSettingsWindow() const
{
    return first(viewableWindowsNamed("Gridlume Settings"));
}

std::optional<QRect> GridlumeWindows::viewableMenu() const
{
    // A popup of Gridlume's class among the root's children, with no title, wider than an icon.
    const std::vector<xcb_window_t> titled = windowsWithProperty(
        XCB_ATOM_WM_NAME, [](const QByteArray& name) { return !name.isEmpty(); }, 1);
    for (xcb_window_t window : windowsWithProperty(XCB_ATOM_WM_CLASS, hasGridlumeClass, 1)) {
        const QRect geometry = rootGeometry(window);
        if (isViewable(window) && geometry.width() > 64 && std::find(titled.begin(), titled.end(), window) == titled.end())
            return geometry;
    }
    return std::nullopt;
}

bool GridlumeWindows::waitForPanels(const std::vector<QRect>& expected, std::chrono::milliseconds timeout)
{
    return m_desktop.waitUntil([&] { return viewablePanels() == expected; }, timeout);
}

} // namespace gridlume::test
