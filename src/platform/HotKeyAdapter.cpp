#include "HotKeyAdapter.h"

#include "platform/linux/KeyCodeTable.h"

#include <QPointer>

namespace gridlume {

namespace {

    constexpr quint32 kCmdKey = 0x0100;
    constexpr quint32 kShiftKey = 0x0200;
    constexpr quint32 kOptionKey = 0x0800;
    constexpr quint32 kControlKey = 0x1000;

    OSStatus statusOf(GrabFailure failure)
    {
        switch (failure) {
        case GrabFailure::HeldByAnotherProgram:
            return eventHotKeyExistsErr;
        case GrabFailure::NoSuchKey:
            return paramErr;
        case GrabFailure::DesktopFailed:
            break;
        }
        return eventInternalErr;
    }

} // namespace

HotKeyAdapter::HotKeyAdapter(ShortcutGrabber& grabber, LogSink& logSink, const QString& category, QObject* parent)
    : QObject(parent)
    , m_grabber(grabber)
    , m_logger(logSink, category)
{
}

HotKeyAdapter::~HotKeyAdapter()
{
    for (const auto& [ref, hotKey] : m_hotKeys)
        m_grabber.release(hotKey.grab);
}

std::optional<KeyCombination> HotKeyAdapter::keyCombination(quint32 keyCode, quint32 modifiers)
{
    const std::optional<quint16> evdevCode = KeyCodeTable::evdevCode(keyCode);
    if (!evdevCode)
        return std::nullopt;
    quint8 result = 0;
    if (modifiers & kControlKey)
        result |= ShortcutModifier::Control;
    if (modifiers & kOptionKey)
        result |= ShortcutModifier::Alt;
    if (modifiers & kShiftKey)
        result |= ShortcutModifier::Shift;
    if (modifiers & kCmdKey)
        result |= ShortcutModifier::Super;
    return KeyCombination { *evdevCode, result };
}

OSStatus HotKeyAdapter::installEventHandler(
    EventHandlerProcPtr handler, const EventTypeSpec* types, int typeCount, void* userData, EventHandlerRef* outRef)
{
    if (!handler || !outRef || typeCount < 0 || (typeCount > 0 && !types))
        return paramErr;
    const EventHandlerRef ref = m_nextReference++;
    m_handlers.emplace(ref, Handler { handler, userData, std::vector<EventTypeSpec>(types, types + typeCount) });
    *outRef = ref;
    return noErr;
}

OSStatus HotKeyAdapter::removeEventHandler(EventHandlerRef ref)
{
    return m_handlers.erase(ref) ? noErr : paramErr;
}

OSStatus HotKeyAdapter::registerEventHotKey(
    quint32 keyCode, quint32 modifiers, EventHotKeyID hotKeyID, quint32 options, EventHotKeyRef* outRef)
{
    Q_UNUSED(options);
    if (!outRef)
        return paramErr;
    *outRef = 0;
    const std::optional<KeyCombination> combination = keyCombination(keyCode, modifiers);
    if (!combination) {
        m_logger.error("No key of this desktop stands for virtual key code %u", keyCode);
        return paramErr;
    }
    // A second grab of the same combination would merge with the first on some desktops;
    // unregistering either would then release both.
    if (hotKeyOf(*combination))
        return eventHotKeyExistsErr;
    const EventHotKeyRef ref = m_nextReference++;
    const GrabResult grab = m_grabber.grab(*combination, [self = QPointer(this), ref] {
        if (self)
            self->deliver(ref);
    });
    if (grab.failure) {
        const OSStatus status = statusOf(*grab.failure);
        m_logger.error("Grabbing key %u (evdev) with modifiers 0x%x failed, status=%d", combination->evdevCode,
            combination->modifiers, status);
        return status;
    }
    m_hotKeys.emplace(ref, HotKey { *combination, hotKeyID, grab.handle });
    *outRef = ref;
    return noErr;
}

OSStatus HotKeyAdapter::unregisterEventHotKey(EventHotKeyRef ref)
{
    const auto found = m_hotKeys.find(ref);
    if (found == m_hotKeys.end())
        return eventHotKeyInvalidErr;
    m_grabber.release(found->second.grab);
    m_hotKeys.erase(found);
    return noErr;
}

OSStatus HotKeyAdapter::getEventHotKeyID(const HotKeyEvent& event, EventHotKeyID* outID)
{
    if (!outID)
        return paramErr;
    if (event.eventClass != kEventClassKeyboard || event.eventKind != kEventHotKeyPressed)
        return eventParameterNotFoundErr;
    *outID = event.hotKeyID;
    return noErr;
}

std::optional<EventHotKeyID> HotKeyAdapter::hotKeyOf(KeyCombination combination) const
{
    for (const auto& [ref, hotKey] : m_hotKeys) {
        if (hotKey.combination == combination)
            return hotKey.id;
    }
    return std::nullopt;
}

void HotKeyAdapter::deliver(EventHotKeyRef ref)
{
    const auto hotKey = m_hotKeys.find(ref);
    if (hotKey == m_hotKeys.end())
        return;
    const HotKeyEvent event { kEventClassKeyboard, kEventHotKeyPressed, hotKey->second.id };
    // A handler may remove itself or others while it runs.
    std::vector<EventHandlerRef> refs;
    for (const auto& [handlerRef, handler] : m_handlers) {
        for (const EventTypeSpec& type : handler.types) {
            if (type.eventClass == event.eventClass && type.eventKind == event.eventKind) {
                refs.push_back(handlerRef);
                break;
            }
        }
    }
    for (EventHandlerRef handlerRef : refs) {
        const auto handler = m_handlers.find(handlerRef);
        if (handler != m_handlers.end())
            handler->second.procedure(event, handler->second.userData);
    }
}

} // namespace gridlume
