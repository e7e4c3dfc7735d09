#pragma once

#include "platform/PanelWindowTraits.h"

#include <QAbstractNativeEventFilter>
#include <QHash>
#include <QSet>
#include <QPointer>
#include <QWindow>

#include <memory>

#include <xcb/xcb.h>

namespace gridlume {

// Panel window traits on X11, applied through Qt's own xcb connection (the panels are Qt's
// windows, so their properties must reach the server in order with Qt's own requests):
// - WM_CLASS "gridlume", "Gridlume" on every window, for window-manager rules;
// - tiling panels bypass the window manager (override-redirect), unless
//   setTilingPanelsBypassWindowManager(false): a map is then the server's work alone, with no
//   window manager managing the panel anew on every show. Such a panel is on every desktop, out of
//   task bars and never focused by the window manager by nature; the traits keep it above the
//   managed windows (raised again whenever the window manager's stacking list changes while it
//   is shown), give it the focus on the first click into it, and hand the focus back to the
//   window that was active before when the focused panel is hidden;
// - managed tiling panels never take the focus when shown, on any window manager: WM_HINTS says
//   they take no input until the first click into one, which then asks for the focus; they are on
//   every desktop: _NET_WM_DESKTOP = 0xFFFFFFFF and _NET_WM_STATE_STICKY, set on the withdrawn
//   window before each map, because EWMH has the window manager drop both when a window is
//   withdrawn;
// - the preview, which bypasses the window manager, restacked directly below a panel's frame,
//   and again whenever the window manager restacks that frame (it handles a panel's raise after
//   our restack has reached the server);
// - the preview placed to the device pixel with a configure request of its own, where Qt's
//   logical pixels fall between device pixels;
// - compositing: whether _NET_WM_CM_S<screen> has an owner, watched through XFixes selection
//   events.
class X11PanelWindowTraits final : public PanelWindowTraits, private QAbstractNativeEventFilter {
    Q_OBJECT
public:
    // Traits for the windows of Qt's xcb connection; null when Qt does not draw through xcb.
    static std::unique_ptr<X11PanelWindowTraits> create();
    // Traits whose tiling panels the window manager manages, as a Wayland compositor does for the
    // windows of its Xwayland (only managed windows get the keyboard there); null, with the
    // one-line reason, when Qt does not draw through xcb.
    static std::unique_ptr<X11PanelWindowTraits> createManaged(QString* errorMessage);
    ~X11PanelWindowTraits() override;

    void prepare(QWindow& window, PanelWindowRole role) override;
    void orderBelow(QWindow& window, QWindow& sibling) override;
    void moveToCurrentDesktop(QWindow& window) override;
    void setNativeGeometry(QWindow& window, const QRect& nativeGeometry) override;
    bool isCompositing() const override { return m_isCompositing; }
    bool tilingPanelsBypassWindowManager() const override { return m_tilingPanelsBypassWindowManager; }

    // Whether panels made from now on bypass the window manager; true unless set otherwise. KWin
    // on Wayland gives the keyboard to an Xwayland window only when it manages it.
    void setTilingPanelsBypassWindowManager(bool bypass) { m_tilingPanelsBypassWindowManager = bypass; }

private:
    struct Atoms {
        xcb_atom_t netWmDesktop = XCB_ATOM_NONE;
        xcb_atom_t netCurrentDesktop = XCB_ATOM_NONE;
        xcb_atom_t netWmState = XCB_ATOM_NONE;
        xcb_atom_t netWmStateSticky = XCB_ATOM_NONE;
        xcb_atom_t netWmStateSkipTaskbar = XCB_ATOM_NONE;
        xcb_atom_t netWmStateSkipPager = XCB_ATOM_NONE;
        xcb_atom_t netWmStateDemandsAttention = XCB_ATOM_NONE;
        xcb_atom_t netActiveWindow = XCB_ATOM_NONE;
        xcb_atom_t netClientListStacking = XCB_ATOM_NONE;
        xcb_atom_t compositorSelection = XCB_ATOM_NONE;
    };

    X11PanelWindowTraits(xcb_connection_t* connection, xcb_window_t root, const Atoms& atoms);

    bool eventFilter(QObject* watched, QEvent* event) override;
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    void applyTraits(xcb_window_t window, PanelWindowRole role);
    // The input field of WM_HINTS: whether the window manager may give the window the focus.
    void setAcceptsInput(xcb_window_t window, bool acceptsInput);
    // Withdraws the attention demand of every panel in m_attentionChecks, with one round trip
    // for all of them.
    void withdrawAttentionDemands();
    // The child of the root that holds `window`: its window manager frame, or itself.
    xcb_window_t topLevelAncestor(xcb_window_t window) const;
    bool readCompositing() const;
    // Stacks `below` directly under `above`, both children of the root.
    void restackBelow(xcb_window_t below, xcb_window_t above);
    void handleFrameConfigured(const xcb_configure_notify_event_t& event);
    bool isBypassingPanel(const QWindow& window) const;
    // The window that `window` is stacked as: itself when it bypasses the window manager, else its
    // frame.
    xcb_window_t stackedWindow(QWindow& window) const;
    void handleFocusEvent(const xcb_focus_in_event_t& event, bool focusIn);
    void raiseShownPanels();
    void focusPanel(QWindow& window, xcb_timestamp_t time);
    void returnFocus();

    xcb_connection_t* m_connection;
    xcb_window_t m_root;
    Atoms m_atoms;
    quint8 m_xfixesFirstEvent = 0;
    bool m_isCompositing = false;
    QHash<QObject*, PanelWindowRole> m_roles;
    QSet<xcb_window_t> m_tilingPanels;
    bool m_tilingPanelsBypassWindowManager = true;
    bool m_isRaisePending = false;
    // Shown tiling panels that bypass the window manager.
    QSet<xcb_window_t> m_shownBypassingPanels;
    QSet<const QObject*> m_bypassingPanels;
    // The window that was active when a click gave a panel the focus.
    xcb_window_t m_focusToReturn = XCB_WINDOW_NONE;
    // The bypassing panel that has the X input focus, as its focus events tell: Qt's own idea of
    // the active window lags behind a focus that left.
    xcb_window_t m_focusedBypassingPanel = XCB_WINDOW_NONE;
    // Panels whose _NET_WM_STATE changed since they were last checked for an attention demand.
    QSet<xcb_window_t> m_attentionChecks;

    // The last orderBelow(): kept while both windows are shown.
    struct StackedBelow {
        QPointer<QWindow> window;
        QPointer<QWindow> sibling;
        xcb_window_t below = XCB_WINDOW_NONE;
        xcb_window_t above = XCB_WINDOW_NONE;
    };
    StackedBelow m_stackedBelow;
    // The frame whose structure events this connection selected last.
    xcb_window_t m_watchedFrame = XCB_WINDOW_NONE;
};

} // namespace gridlume
