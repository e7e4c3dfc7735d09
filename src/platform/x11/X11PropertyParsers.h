#pragma once

#include "platform/Geometry.h"

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

#include <optional>
#include <span>
#include <sys/types.h>
#include <vector>

// Pure functions over the values of ICCCM/EWMH/GTK window properties, geometry in root-window
// pixels. They take the raw items of a property (8-bit bytes or 32-bit CARDINALs, whatever any
// client chose to store) and never talk to the server, so they can be tested and fuzzed alone.
namespace gridlume::x11 {

// A rectangle in root-window coordinates: origin at the root's top-left corner, y down.
struct RootRect {
    qint64 x = 0;
    qint64 y = 0;
    qint64 width = 0;
    qint64 height = 0;

    qint64 left() const { return x; }
    qint64 top() const { return y; }
    // One past the last column / row.
    qint64 rightEdge() const { return x + width; }
    qint64 bottomEdge() const { return y + height; }
    bool isEmpty() const { return width <= 0 || height <= 0; }
    bool intersects(const RootRect& other) const;
    RootRect intersected(const RootRect& other) const;
    qint64 area() const { return isEmpty() ? 0 : width * height; }
    friend bool operator==(const RootRect&, const RootRect&) = default;
};

// The space a dock reserves at the root window's edges (_NET_WM_STRUT_PARTIAL). Each edge's
// width is measured from the root window's edge, and its start/end give the range of the other
// coordinate it covers, both ends inclusive.
struct Strut {
    qint64 left = 0, right = 0, top = 0, bottom = 0;
    qint64 leftStartY = 0, leftEndY = 0, rightStartY = 0, rightEndY = 0;
    qint64 topStartX = 0, topEndX = 0, bottomStartX = 0, bottomEndX = 0;
    friend bool operator==(const Strut&, const Strut&) = default;
};

// Widths of the borders around a client window: _NET_FRAME_EXTENTS (the window manager's
// decoration, outside the client) or _GTK_FRAME_EXTENTS (a client-side shadow, inside it).
struct FrameExtents {
    qint64 left = 0, right = 0, top = 0, bottom = 0;
    friend bool operator==(const FrameExtents&, const FrameExtents&) = default;
};

// The strut of a client from its _NET_WM_STRUT_PARTIAL (12 items) or, when that is missing or
// short, its _NET_WM_STRUT (4 items, each edge covering the root's whole side). None when the
// client reserves nothing.
std::optional<Strut> parseStrut(std::span<const quint32> partial, std::span<const quint32> legacy, qint64 rootWidth,
    qint64 rootHeight);

// The monitor less every area that a strut reserves on it. A strut's area only counts on the
// monitors it overlaps, so a dock on one monitor leaves the others whole.
RootRect monitorWithoutStruts(const RootRect& monitor, std::span<const Strut> struts, qint64 rootWidth,
    qint64 rootHeight);

// Four items (left, right, top, bottom); zeros when the property is missing or malformed.
FrameExtents parseFrameExtents(std::span<const quint32> values);

// The visible frame of a client window: its rectangle grown by the decoration and shrunk by the
// client-side shadow.
RootRect visibleFrameOfClient(const RootRect& client, const FrameExtents& decoration, const FrameExtents& shadow);
// The inverse: the client rectangle whose visible frame is `visible`.
RootRect clientOfVisibleFrame(const RootRect& visible, const FrameExtents& decoration, const FrameExtents& shadow);

// The rectangle of `_GTK_WORKAREAS_D<n>` (x, y, w, h quadruples, one per monitor) that belongs
// to the monitor: the one covering most of it, clipped to it. None when no rectangle overlaps.
std::optional<RootRect> workAreaForMonitor(const RootRect& monitor, std::span<const quint32> workAreas);

// What a desktop says about the space its docks, panels and taskbars take, read in one go.
struct WorkAreaHints {
    qint64 rootWidth = 0;
    qint64 rootHeight = 0;
    // _GTK_WORKAREAS_D<current desktop>: per-monitor rectangles; empty when not published.
    std::vector<quint32> gtkWorkAreas;
    // Whether the window manager keeps _NET_CLIENT_LIST, so `struts` are those of every client.
    bool hasClientList = false;
    std::vector<Strut> struts;
    // The current desktop's rectangle of _NET_WORKAREA.
    std::optional<RootRect> workArea;
};

// The part of `monitor` that windows may cover, as the window manager means it:
// 1. where the window manager publishes per-monitor work areas (_GTK_WORKAREAS_Dn), the one of
//    this monitor;
// 2. else the monitor less the clients' struts, less what _NET_WORKAREA reserves beyond those
//    struts: a taskbar or toolbar the window manager draws itself (IceWM, Fluxbox) is in no
//    client's strut and only shows there. Such a reservation is measured from a root edge, so it
//    only cuts the monitors that touch that edge. A _NET_WORKAREA reaching past the root window
//    reserves nothing on that side, and one outside the root window is ignored.
// The result lies inside the monitor and may be empty (a strut larger than the monitor).
RootRect visibleFrameOfMonitor(const RootRect& monitor, const WorkAreaHints& hints);

// Desktop `desktop`'s rectangle of _NET_WORKAREA (one quadruple per desktop); none when missing.
std::optional<RootRect> desktopWorkArea(std::span<const quint32> workAreas, quint32 desktop);

// WM_CLASS (type STRING, format 8): "two consecutive null-terminated strings", the instance
// name and the class name. A client may leave out the terminators or the second string; what is
// missing reads as empty, and nothing after the second string counts.
struct WmClass {
    QString instanceName;
    QString className;
    friend bool operator==(const WmClass&, const WmClass&) = default;
};
WmClass parseWmClass(QByteArrayView value);

// The pid in _NET_WM_PID (one CARDINAL); 0 when the property is missing or the value cannot be
// a process id (0, or beyond what pid_t holds).
pid_t parseProcessId(std::span<const quint32> values);

// _NET_WM_ICON: "an array of 32bit packed CARDINAL ARGB with high byte being A, low byte being
// B. The first two cardinals are width, height." Any client can claim any size, so icons wider
// or taller than kMaxWindowIconSide are skipped, and at most kMaxWindowIcons icons with
// kWindowIconPixelBudget pixels in all are picked: enough for 256 × 256 and the usual smaller
// sizes.
inline constexpr quint32 kMaxWindowIconSide = 256;
inline constexpr std::size_t kMaxWindowIcons = 16;
inline constexpr std::size_t kWindowIconPixelBudget = 256 * 256 + 128 * 128 + 64 * 64 + 48 * 48 + 32 * 32 + 16 * 16;
// How much of the property is worth reading: the budget plus a header per icon.
inline constexpr quint32 kWindowIconPropertyItems = quint32(kWindowIconPixelBudget + 2 * kMaxWindowIcons);

struct WindowIconImage {
    quint32 width = 0;
    quint32 height = 0;
    // width × height ARGB pixels, row by row; a view into the property's values.
    std::span<const quint32> argb;
};

// The icons worth showing, largest first: complete icons within the size cap, one per size,
// taken from the largest down while they fit the budget. Parsing stops at an icon whose
// pixels run past the end of `values` (a truncated or lying property); an oversized icon that is
// complete is stepped over.
std::vector<WindowIconImage> parseWindowIcons(
    std::span<const quint32> values, std::size_t pixelBudget = kWindowIconPixelBudget);


} // namespace gridlume::x11
