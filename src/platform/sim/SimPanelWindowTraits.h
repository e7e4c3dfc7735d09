#pragma once

#include "platform/PanelWindowTraits.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QRect>
#include <QWindow>

#include <optional>
#include <utility>

namespace gridlume {

// Panel window traits of the simulated desktop: remembers what was asked of it, so tests can
// check that every window was prepared for its role and that the preview was stacked below a
// panel. Compositing is switched by the test.
class SimPanelWindowTraits final : public PanelWindowTraits {
    Q_OBJECT
public:
    using PanelWindowTraits::PanelWindowTraits;

    void prepare(QWindow& window, PanelWindowRole role) override;
    void orderBelow(QWindow& window, QWindow& sibling) override;
    void moveToCurrentDesktop(QWindow& window) override;
    // The offscreen windows have no native geometry of their own: only remembered.
    void setNativeGeometry(QWindow& window, const QRect& nativeGeometry) override;
    bool isCompositing() const override { return m_compositing; }

    // Test control ------------------------------------------------------------------------------
    void setCompositing(bool compositing);
    // The role `window` was prepared for; none when it never was.
    std::optional<PanelWindowRole> preparedRole(const QWindow* window) const;
    int preparedWindowCount() const { return int(m_roles.size()); }
    // The last orderBelow() request (window, sibling); null pointers when there was none or
    // either window is gone.
    std::pair<QWindow*, QWindow*> lastOrderBelow() const { return { m_lastBelow.first, m_lastBelow.second }; }
    // How often `window` was brought to the current virtual desktop while shown.
    int movesToCurrentDesktop(const QWindow* window) const { return m_movesToCurrentDesktop.value(window); }

    // The last setNativeGeometry() request; empty when there was none.
    QRect lastNativeGeometry() const { return m_lastNativeGeometry; }

private:
    bool m_compositing = true;
    QHash<const QWindow*, PanelWindowRole> m_roles;
    QHash<const QWindow*, int> m_movesToCurrentDesktop;
    std::pair<QPointer<QWindow>, QPointer<QWindow>> m_lastBelow;
    QRect m_lastNativeGeometry;
};

} // namespace gridlume
