#include "KWinGlobalKeyMonitor.h"

#include "KWinGlobalAccel.h"

#include <QPointer>

namespace gridlume {

namespace {
    const QString kEscapeAction = QStringLiteral("escape");
    constexpr int kQtKeyEscape = 0x01000000;
} // namespace

KWinGlobalKeyMonitor::KWinGlobalKeyMonitor(KWinGlobalAccel& globalAccel, QObject* parent)
    : QObject(parent)
    , m_globalAccel(globalAccel)
{
    connect(&globalAccel, &KWinGlobalAccel::actionPressed, this, &KWinGlobalKeyMonitor::deliver);
}

KWinGlobalKeyMonitor::~KWinGlobalKeyMonitor()
{
    if (m_isRegistered)
        m_globalAccel.unregisterActionLater(kEscapeAction);
}

Subscription KWinGlobalKeyMonitor::addGlobalKeyDownMonitor(
    std::function<void(const KeyEvent&)> handler, GlobalKeyPresses)
{
    // Not waited for: the panels show first, and Escape works a moment later.
    if (!m_isRegistered) {
        m_globalAccel.registerActionLater(kEscapeAction, QStringLiteral("Close the tiling panels"), kQtKeyEscape);
        m_isRegistered = true;
    }
    const quint64 id = m_nextID++;
    m_handlers.emplace(id, std::move(handler));
    return Subscription([self = QPointer<KWinGlobalKeyMonitor>(this), id] {
        if (self)
            self->remove(id);
    });
}

void KWinGlobalKeyMonitor::remove(quint64 id)
{
    m_handlers.erase(id);
    if (m_handlers.empty() && m_isRegistered) {
        m_globalAccel.unregisterActionLater(kEscapeAction);
        m_isRegistered = false;
    }
}

void KWinGlobalKeyMonitor::deliver(const QString& action)
{
    if (action != kEscapeAction)
        return;
    std::vector<quint64> ids;
    for (const auto& [id, handler] : m_handlers)
        ids.push_back(id);
    for (quint64 id : ids) {
        auto found = m_handlers.find(id);
        if (found == m_handlers.end())
            continue;
        auto handler = found->second;
        handler(KeyEvent { kVK_Escape, 0 });
    }
}

} // namespace gridlume
