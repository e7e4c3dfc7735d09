#include "platform/sim/SimGlobalKeyMonitor.h"

#include <QGuiApplication>

namespace gridlume {

Subscription SimGlobalKeyMonitor::addGlobalKeyDownMonitor(std::function<void(const KeyEvent&)> handler)
{
    const quint64 id = m_nextID++;
    m_monitors.insert(id, std::move(handler));
    return Subscription([this, id] { m_monitors.remove(id); });
}

void SimGlobalKeyMonitor::type(const KeyEvent& event)
{
    // Like the desktop's: a press that goes to one of our own windows is not another program's.
    if (QGuiApplication::focusWindow())
        return;
    const QList<quint64> ids = m_monitors.keys();
    for (quint64 id : ids) {
        auto it = m_monitors.constFind(id);
        if (it != m_monitors.constEnd()) {
            const auto handler = *it;
            handler(event);
        }
    }
}

} // namespace gridlume
