#include "platform/sim/SimPanelWindowTraits.h"

namespace gridlume {

void SimPanelWindowTraits::prepare(QWindow& window, PanelWindowRole role)
{
    const QWindow* key = &window;
    m_roles.insert(key, role);
    // A later window may reuse the address of a destroyed one.
    connect(&window, &QObject::destroyed, this, [this, key] { m_roles.remove(key); });
}

void SimPanelWindowTraits::moveToCurrentDesktop(QWindow& window)
{
    if (window.isVisible())
        ++m_movesToCurrentDesktop[&window];
}

void SimPanelWindowTraits::orderBelow(QWindow& window, QWindow& sibling)
{
    m_lastBelow = { &window, &sibling };
}

void SimPanelWindowTraits::setNativeGeometry(QWindow& window, const QRect& nativeGeometry)
{
    if (window.isVisible())
        m_lastNativeGeometry = nativeGeometry;
}

void SimPanelWindowTraits::setCompositing(bool compositing)
{
    if (m_compositing == compositing)
        return;
    m_compositing = compositing;
    Q_EMIT compositingChanged();
}

std::optional<PanelWindowRole> SimPanelWindowTraits::preparedRole(const QWindow* window) const
{
    const auto it = m_roles.constFind(window);
    if (it == m_roles.constEnd())
        return std::nullopt;
    return *it;
}

} // namespace gridlume
