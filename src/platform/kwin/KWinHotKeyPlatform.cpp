#include "KWinHotKeyPlatform.h"

#include "KWinGlobalAccel.h"

namespace gridlume {

KWinHotKeyPlatform::KWinHotKeyPlatform(KWinGlobalAccel& globalAccel, LogSink& logSink, QObject* parent)
    : QObject(parent)
    , m_globalAccel(globalAccel)
    , m_logger(logSink, QStringLiteral("KWin"))
{
    connect(&globalAccel, &KWinGlobalAccel::actionPressed, this, &KWinHotKeyPlatform::deliver);
}

KWinHotKeyPlatform::~KWinHotKeyPlatform()
{
    for (const auto& [ref, hotKey] : m_hotKeys)
        m_globalAccel.unregisterAction(hotKey.action);
}

OSStatus KWinHotKeyPlatform::installEventHandler(
    EventHandlerProcPtr handler, const EventTypeSpec* types, int typeCount, void* userData, EventHandlerRef* outRef)
{
    if (!handler || !outRef || (typeCount > 0 && !types))
        return paramErr;
    const EventHandlerRef ref = m_nextReference++;
    m_handlers.emplace(ref, Handler { handler, userData, std::vector<EventTypeSpec>(types, types + typeCount) });
    *outRef = ref;
    return noErr;
}

OSStatus KWinHotKeyPlatform::removeEventHandler(EventHandlerRef ref)
{
    return m_handlers.erase(ref) ? noErr : paramErr;
}

OSStatus KWinHotKeyPlatform::registerEventHotKey(
    quint32 keyCode, quint32 modifiers, EventHotKeyID hotKeyID, quint32, EventHotKeyRef* outRef)
{
    if (!outRef)
        return paramErr;
    const std::optional<int> key = KWinGlobalAccel::qtKey(keyCode, modifiers);
    if (!key) {
        m_logger.error("No key of KDE's shortcut service stands for keyCode=%u", keyCode);
        return eventHotKeyInvalidErr;
    }
    const QString action = QStringLiteral("hotkey-%1").arg(hotKeyID.id);
    for (const auto& [ref, hotKey] : m_hotKeys) {
        if (hotKey.action == action)
            return eventHotKeyExistsErr;
    }
    const OSStatus status
        = m_globalAccel.registerAction(action, QStringLiteral("Show or hide the tiling panels"), *key);
    if (status != noErr)
        return status;
    const EventHotKeyRef ref = m_nextReference++;
    m_hotKeys.emplace(ref, HotKey { hotKeyID, action });
    *outRef = ref;
    return noErr;
}

OSStatus KWinHotKeyPlatform::unregisterEventHotKey(EventHotKeyRef ref)
{
    auto hotKey = m_hotKeys.find(ref);
    if (hotKey == m_hotKeys.end())
        return paramErr;
    m_globalAccel.unregisterAction(hotKey->second.action);
    m_hotKeys.erase(hotKey);
    return noErr;
}

OSStatus KWinHotKeyPlatform::getEventHotKeyID(const HotKeyEvent& event, EventHotKeyID* outID)
{
    if (!outID)
        return paramErr;
    if (event.eventClass != kEventClassKeyboard)
        return eventParameterNotFoundErr;
    *outID = event.hotKeyID;
    return noErr;
}

void KWinHotKeyPlatform::deliver(const QString& action)
{
    EventHotKeyID id;
    bool found = false;
    for (const auto& [ref, hotKey] : m_hotKeys) {
        if (hotKey.action == action) {
            id = hotKey.id;
            found = true;
        }
    }
    if (!found)
        return;
    const HotKeyEvent event { kEventClassKeyboard, kEventHotKeyPressed, id };
    // Handlers may remove handlers while they run.
    std::vector<EventHandlerRef> refs;
    for (const auto& [ref, handler] : m_handlers)
        refs.push_back(ref);
    for (EventHandlerRef ref : refs) {
        auto handler = m_handlers.find(ref);
        if (handler == m_handlers.end())
            continue;
        for (const EventTypeSpec& type : handler->second.types) {
            if (type.eventClass == event.eventClass && type.eventKind == event.eventKind) {
                handler->second.procedure(event, handler->second.userData);
                break;
            }
        }
    }
}

} // namespace gridlume
