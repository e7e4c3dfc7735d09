#pragma once

#include "platform/PanelWindowTraits.h"

#include <QHash>

namespace gridlume {

// Panel window traits on the X11 display Qt draws on, through Qt's own xcb connection: presence
// on every virtual desktop for tiling panels (_NET_WM_DESKTOP 0xFFFFFFFF and
// _NET_WM_STATE_STICKY, set before mapping), stacking of the preview below a panel, and whether
// a compositor owns _NET_WM_CM_S<screen>. The class name comes from Qt (WM_CLASS "gridlume",
// "Gridlume"). Compositing is read once at start; a compositor started later is noticed at the
// next start.
class X11PanelWindowTraitsFallback final : public PanelWindowTraits {
    Q_OBJECT
public:
    explicit X11PanelWindowTraitsFallback(QObject* parent = nullptr);

    void prepare(QWindow& window, PanelWindowRole role) override;
    void orderBelow(QWindow& window, QWindow& sibling) override;
    bool isCompositing() const override { return m_compositing; }

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void applyTraits(QWindow& window);

    bool m_compositing = false;
    QHash<QWindow*, PanelWindowRole> m_roles;
};

} // namespace gridlume
