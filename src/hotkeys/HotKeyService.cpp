#include "hotkeys/HotKeyService.h"

namespace gridlume {

HotKeyService::HotKeyService(HotKeyPlatform& platform, LogSink& logSink)
    : m_platform(platform)
    , m_logger(logSink, QStringLiteral("HotKeyService"))
{
}

HotKeyService::~HotKeyService()
{
    for (EventHotKeyRef ref : std::as_const(m_hotKeyRefs))
        m_platform.unregisterEventHotKey(ref);
    if (m_eventHandlerRef)
        m_platform.removeEventHandler(*m_eventHandlerRef);
}

bool HotKeyService::installEventHandlerIfNeeded()
{
    if (m_eventHandlerRef)
        return true;
    const EventTypeSpec eventType { kEventClassKeyboard, kEventHotKeyPressed };
    EventHandlerRef ref = 0;
    const OSStatus status = m_platform.installEventHandler(&HotKeyService::handleHotKeyEvent, &eventType, 1, this, &ref);
    if (status != noErr) {
        m_logger.error("Failed to install hot key event handler, status=%d", status);
        return false;
    }
    m_eventHandlerRef = ref;
    return true;
}

// The messages below use the full-width colon (U+FF1A) after "failed", as they always have;
// log searches rely on it.
bool HotKeyService::registerOrUpdateHotKey(quint32 id, const KeyboardShortcut& shortcut)
{
    if (!installEventHandlerIfNeeded()) {
        m_logger.error("registerOrUpdateHotKey failed\uFF1AFailed to install event handler: id=%u", id);
        return false;
    }
    if (!unregisterHotKey(id)) {
        m_logger.error("registerOrUpdateHotKey failed\uFF1AFailed to unregister previous hotkey: id=%u", id);
        return false;
    }
    EventHotKeyRef ref = 0;
    const OSStatus status
        = m_platform.registerEventHotKey(shortcut.keyCode, shortcut.modifiers, EventHotKeyID { signature, id }, 0, &ref);
    if (status == noErr && ref != 0) {
        m_hotKeyRefs.insert(id, ref);
        m_registeredShortcuts.insert(id, shortcut);
        return true;
    }
    m_logger.error("registerOrUpdateHotKey failed\uFF1AFailed to register hot key: id=%u, keyCode=%u, modifiers=%u, "
                   "status=%d",
        id, shortcut.keyCode, shortcut.modifiers, status);
    return false;
}

bool HotKeyService::unregisterHotKey(quint32 id)
{
    const auto it = m_hotKeyRefs.constFind(id);
    if (it == m_hotKeyRefs.constEnd())
        return true;
    const OSStatus status = m_platform.unregisterEventHotKey(*it);
    if (status != noErr) {
        m_logger.error("unregisterHotKey failed\uFF1Ahotkey: id=%u, status=%d", id, status);
        return false;
    }
    m_hotKeyRefs.remove(id);
    m_registeredShortcuts.remove(id);
    return true;
}

bool HotKeyService::isHeldByAnotherProgram(const KeyboardShortcut& shortcut)
{
    // Registering our own shortcut again would succeed, and releasing it would drop ours.
    for (const KeyboardShortcut& own : std::as_const(m_registeredShortcuts)) {
        if (own == shortcut)
            return false;
    }
    // An ID that never has a handler: nothing can run in the moment the probe is registered.
    constexpr quint32 probeHotKeyID = 0;
    EventHotKeyRef ref = 0;
    const OSStatus status = m_platform.registerEventHotKey(
        shortcut.keyCode, shortcut.modifiers, EventHotKeyID { signature, probeHotKeyID }, 0, &ref);
    if (status == noErr && ref != 0) {
        (void)m_platform.unregisterEventHotKey(ref);
        return false;
    }
    if (status != eventHotKeyExistsErr)
        return false;
    m_logger.info("The shortcut %s (keyCode=%u, modifiers=%u) is held by another program",
        qUtf8Printable(displayText(shortcut)), shortcut.keyCode, shortcut.modifiers);
    return true;
}

void HotKeyService::setHotKeyHandler(quint32 id, std::function<void()> handler)
{
    m_handlers.insert(id, std::move(handler));
}

OSStatus HotKeyService::handleHotKeyEvent(const HotKeyEvent& event, void* userData)
{
    if (!userData)
        return noErr;
    auto* service = static_cast<HotKeyService*>(userData);

    EventHotKeyID hotKeyID;
    const OSStatus status = service->m_platform.getEventHotKeyID(event, &hotKeyID);
    if (status != noErr) {
        service->m_logger.error("GetEventParameter failed, status=%d", status);
        return noErr;
    }
    if (hotKeyID.signature != signature) {
        service->m_logger.error("Received hot key with unexpected signature: %u", hotKeyID.signature);
        return noErr;
    }
    const auto it = service->m_handlers.constFind(hotKeyID.id);
    if (it == service->m_handlers.constEnd()) {
        service->m_logger.error("No handler found for hot key id=%u", hotKeyID.id);
        return noErr;
    }
    // A copy: the handler may replace itself (re-recording the shortcut from the panel, say).
    const std::function<void()> handler = *it;
    if (handler)
        handler();
    return noErr;
}

} // namespace gridlume
