#include "KWinShortcutGrabber.h"

#include "KWinGlobalAccel.h"

namespace gridlume {

KWinShortcutGrabber::KWinShortcutGrabber(KWinGlobalAccel& globalAccel, LogSink& logSink, QObject* parent)
    : QObject(parent)
    , m_globalAccel(globalAccel)
    , m_logger(logSink, QStringLiteral("KWin"))
{
    connect(&globalAccel, &KWinGlobalAccel::actionPressed, this, &KWinShortcutGrabber::deliver);
}

KWinShortcutGrabber::~KWinShortcutGrabber()
{
    for (const auto& [handle, grab] : m_grabs)
        m_globalAccel.unregisterAction(grab.action);
}

GrabResult KWinShortcutGrabber::grab(KeyCombination combination, std::function<void()> onPressed)
{
    const std::optional<int> key = KWinGlobalAccel::qtKey(combination);
    if (!key) {
        m_logger.error("No key of KDE's shortcut service stands for evdev code %u", combination.evdevCode);
        return { 0, GrabFailure::NoSuchKey };
    }
    const quint64 handle = m_nextHandle++;
    const QString action = QStringLiteral("hotkey-%1").arg(handle);
    if (const std::optional<GrabFailure> failure
        = m_globalAccel.registerAction(action, QStringLiteral("Show or hide the tiling panels"), *key))
        return { 0, failure };
    m_grabs.emplace(handle, Grab { action, std::move(onPressed) });
    return { handle, std::nullopt };
}

bool KWinShortcutGrabber::release(quint64 handle)
{
    const auto found = m_grabs.find(handle);
    if (found == m_grabs.end())
        return false;
    m_globalAccel.unregisterAction(found->second.action);
    m_grabs.erase(found);
    return true;
}

void KWinShortcutGrabber::deliver(const QString& action) { deliverPress(m_grabs, action); }

} // namespace gridlume
