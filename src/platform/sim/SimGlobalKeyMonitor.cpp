#include "platform/sim/SimGlobalKeyMonitor.h"

#include <QGuiApplication>

namespace gridlume {

Subscription SimGlobalKeyMonitor::addGlobalKeyDownMonitor(
    std::function<void(const KeyEvent&)> handler, GlobalKeyPresses presses)
{
    const quint64 id = m_nextID++;
    m_monitors.insert(id, Monitor { std::move(handler), presses });
    return Subscription([this, id] { m_monitors.remove(id); });
}

void SimGlobalKeyMonitor::type(const KeyEvent& event)
{
    // Like the desktop's: while one of our own windows has the focus, a press is not another
    // program's.
    const bool inOwnWindow = QGuiApplication::focusWindow() != nullptr;
    const QList<quint64> ids = m_monitors.keys();
    for (quint64 id : ids) {
        auto it = m_monitors.constFind(id);
        if (it != m_monitors.constEnd() && !(inOwnWindow && it->presses == GlobalKeyPresses::InOtherPrograms)) {
            const auto handler = it->handler;
            handler(event);
        }
    }
}

} // namespace gridlume
