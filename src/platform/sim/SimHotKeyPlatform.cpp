#include "platform/sim/SimHotKeyPlatform.h"

#include "platform/sim/SimDesktop.h"

#include <QPointer>

namespace gridlume {

OSStatus SimHotKeyPlatform::installEventHandler(
    EventHandlerProcPtr handler, const EventTypeSpec* types, int typeCount, void* userData, EventHandlerRef* outRef)
{
    if (auto fault = m_desktop.recordCall(QStringLiteral("installEventHandler"), {}))
        return *fault;
    if (!handler || !outRef || typeCount < 1 || !types)
        return paramErr;
    const EventHandlerRef ref = m_nextRef++;
    handlers.insert(ref, Handler { handler, userData });
    *outRef = ref;
    return noErr;
}

OSStatus SimHotKeyPlatform::removeEventHandler(EventHandlerRef ref)
{
    if (auto fault = m_desktop.recordCall(QStringLiteral("removeEventHandler"), {}))
        return *fault;
    return handlers.remove(ref) ? noErr : paramErr;
}

OSStatus SimHotKeyPlatform::registerEventHotKey(
    quint32 keyCode, quint32 modifiers, EventHotKeyID hotKeyID, quint32, EventHotKeyRef* outRef)
{
    if (auto fault = m_desktop.recordCall(QStringLiteral("registerEventHotKey"), {},
            QStringLiteral("keyCode=%1 modifiers=%2 id=%3").arg(keyCode).arg(modifiers).arg(hotKeyID.id)))
        return *fault;
    if (!outRef)
        return paramErr;
    if (heldElsewhere.contains({ keyCode, modifiers }) || hotKeyFor(keyCode, modifiers))
        return eventHotKeyExistsErr;
    const EventHotKeyRef ref = m_nextRef++;
    hotKeys.insert(ref, HotKey { keyCode, modifiers, hotKeyID });
    *outRef = ref;
    return noErr;
}

OSStatus SimHotKeyPlatform::unregisterEventHotKey(EventHotKeyRef ref)
{
    if (auto fault = m_desktop.recordCall(QStringLiteral("unregisterEventHotKey"), {}))
        return *fault;
    return hotKeys.remove(ref) ? noErr : eventHotKeyInvalidErr;
}

OSStatus SimHotKeyPlatform::getEventHotKeyID(const HotKeyEvent& event, EventHotKeyID* outID)
{
    if (auto fault = m_desktop.recordCall(QStringLiteral("getEventHotKeyID"), {}))
        return *fault;
    if (!outID)
        return paramErr;
    *outID = event.hotKeyID;
    return noErr;
}

std::optional<EventHotKeyID> SimHotKeyPlatform::hotKeyFor(quint32 keyCode, quint32 modifiers) const
{
    for (const HotKey& hotKey : hotKeys) {
        if (hotKey.keyCode == keyCode && hotKey.modifiers == modifiers)
            return hotKey.id;
    }
    return std::nullopt;
}

void SimHotKeyPlatform::deliver(const HotKeyEvent& event)
{
    QMetaObject::invokeMethod(
        &m_desktop,
        [this, desktop = QPointer<SimDesktop>(&m_desktop), event] {
            if (!desktop)
                return;
            const QList<EventHandlerRef> refs = handlers.keys();
            for (EventHandlerRef ref : refs) {
                auto it = handlers.constFind(ref);
                if (it != handlers.constEnd())
                    it->proc(event, it->userData);
            }
        },
        Qt::QueuedConnection);
}


} // namespace gridlume
