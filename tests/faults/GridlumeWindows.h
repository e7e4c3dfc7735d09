#pragma once

#include "X11TestDesktop.h"

#include <QByteArray>
#include <QPoint>
#include <QRect>

#include <chrono>
#include <functional>
#include <optional>
#include <vector>

#include <xcb/xcb.h>

namespace gridlume::test {

// Gridlume's windows on a test desktop as another X client sees them: found by their titles,
// among the root's children and the window manager's frames, with root coordinates.
class GridlumeWindows {
public:
    static constexpr int panelWidth = 304;
    // With the line of keyboard hints, shown by default.
    static constexpr int panelHeight = 344;

    // The visible frames of the desktop's monitors (root coordinates): the dock takes the bottom
    // of the second one.
    static Rect primaryVisibleFrame() { return X11TestDesktop::primaryMonitor; }
    static Rect secondVisibleFrame();
    // Where the panel for a monitor with `visibleFrame` at device pixel `ratio` stands: centred
    // on it; and whether `panel` stands there, as near as Qt can place it at that ratio.
    static QRect centredPanel(const Rect& visibleFrame, double ratio = 1);
    static bool isCentredPanel(const QRect& panel, const Rect& visibleFrame, double ratio);
    // A point inside tile (row, column) of a panel's 2 × 2 grid drawn at `ratio`.
    static QPoint tileCentre(const QRect& panel, int row, int column, double ratio = 1);
    // Block (row, column) of the 2 × 2 grid over `visibleFrame`.
    static QRect tileBlock(const Rect& visibleFrame, int row, int column);

    explicit GridlumeWindows(X11TestDesktop& desktop);

    // The viewable tiling panels, left to right.
    std::vector<QRect> viewablePanels() const;
    // The placement preview, while it is viewable.
    std::optional<QRect> viewablePreview() const;
    // Whether the viewable preview is stacked below the viewable panel at `panel`.
    bool isPreviewBelowPanel(const QRect& panel) const;
    // Gridlume's icon embedded in a system tray, while it is viewable.
    std::optional<xcb_window_t> trayIcon() const;
    // The settings window, while it is viewable.
    std::optional<QRect> viewableSettingsWindow() const;

    // The tray icon's menu, while it is viewable.
    std::optional<QRect> viewableMenu() const;
    // Waits until the viewable panels are exactly `expected`.
    bool waitForPanels(const std::vector<QRect>& expected, std::chrono::milliseconds timeout = std::chrono::seconds(20));
    // The panels of both monitors of the desktop.
    static std::vector<QRect> panelsOfBothMonitors();

    std::vector<xcb_window_t> windowsNamed(const QByteArray& title) const;
    bool isViewable(xcb_window_t window) const;
    QRect rootGeometry(xcb_window_t window) const;

private:
    std::vector<QRect> viewableWindowsNamed(const QByteArray& title) const;
    // The windows down to `depth` levels whose `property` `accept`s.
    std::vector<xcb_window_t> windowsWithProperty(
        xcb_atom_t property, const std::function<bool(const QByteArray&)>& accept, int depth) const;

    X11TestDesktop& m_desktop;
};

} // namespace gridlume::test
