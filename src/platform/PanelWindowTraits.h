#pragma once

#include <QObject>

class QRect;
class QWindow;

namespace gridlume {

// What a Gridlume window is for; decides the traits it gets.
enum class PanelWindowRole {
    // A floating tiling panel: above ordinary windows, on every virtual desktop.
    TilingPanel,
    // The click-through overlay that previews a placement, below the tiling panels.
    Preview,
};

// The window-system traits of Gridlume's floating windows that Qt's window flags cannot express:
// a class name for window-manager rules, presence on every virtual desktop, stacking of the
// preview below a panel, placement to the device pixel, and whether translucent windows are
// composited at all. Qt's own flags (frameless, tool, stays on top, no activation on show, input
// transparency) are the windows' business; this interface only adds to them. Main thread only.
class PanelWindowTraits : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~PanelWindowTraits() override = default;

    // Gives `window` the traits of `role`: the class name "gridlume", "Gridlume" and, for tiling
    // panels, presence on every virtual desktop, and no focus taken when shown (whatever the
    // window manager's focus policy), until the user clicks into the panel. Call once, after the native window exists
    // (QWidget::winId()) and before it is first shown; the traits are applied again before every
    // later show, because window managers drop some of them when a window is withdrawn. The traits
    // end with the window.
    virtual void prepare(QWindow& window, PanelWindowRole role) = 0;

    // Stacks the shown `window` directly below the shown `sibling`, whatever either is (the
    // preview bypasses the window manager, the panels do not). Does nothing where the window
    // system keeps that order by itself, or when either window is not shown.
    virtual void orderBelow(QWindow& window, QWindow& sibling) = 0;

    // Brings the shown `window` to the virtual desktop the user is on, the way a pager moves a
    // window, without withdrawing it. Does nothing when the window is not shown or the desktop
    // has no virtual desktops.
    virtual void moveToCurrentDesktop(QWindow& window) = 0;
    // Moves and resizes the shown `window`, which bypasses the window manager, to `nativeGeometry`:
    // device pixels with the origin at the desktop's top-left (the root window's coordinates on
    // X11). Qt places windows in logical pixels, which at a fractional or per-screen device pixel
    // ratio cannot express every device pixel; call it after Qt has placed the window at the
    // nearest logical geometry. Does nothing when the window is not shown.
    virtual void setNativeGeometry(QWindow& window, const QRect& nativeGeometry) = 0;

    // True while a compositor draws translucent windows; without one, a translucent pixel shows
    // as black and the windows must fall back to shapes and opaque paint.
    virtual bool isCompositing() const = 0;

    // True where tiling panels bypass the window manager (Qt::X11BypassWindowManagerHint): the
    // window manager then neither manages them anew on every show nor stacks, focuses or lists
    // them, and the traits keep them above other windows and give one the focus when it is
    // clicked. Asked once, before a panel's native window is made.
    virtual bool tilingPanelsBypassWindowManager() const { return false; }

Q_SIGNALS:
    // Emitted on the main thread after a compositor started or stopped; isCompositing() already
    // returns the new state.
    void compositingChanged();
};

// For a process that shows no panels (the `place` command, backend tests and benchmarks).
class NoPanelWindowTraits final : public PanelWindowTraits {
public:
    void prepare(QWindow&, PanelWindowRole) override { }
    void orderBelow(QWindow&, QWindow&) override { }
    void moveToCurrentDesktop(QWindow&) override { }
    void setNativeGeometry(QWindow&, const QRect&) override { }
    bool isCompositing() const override { return false; }
};

} // namespace gridlume
