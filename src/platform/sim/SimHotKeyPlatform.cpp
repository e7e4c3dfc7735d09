#include "platform/sim/SimHotKeyPlatform.h"

#include "platform/sim/SimDesktop.h"

namespace gridlume {

OSStatus SimHotKeyPlatform::installEventHandler(
    EventHandlerProcPtr handler, const EventTypeSpec* types, int typeCount, void* userData, EventHandlerRef* outRef)
{
    if (auto fault = m_desktop.recordCall(QStringLiteral("installEventHandler"), {}))
        return *fault;
    return m_adapter.installEventHandler(handler, types, typeCount, userData, outRef);
}

OSStatus SimHotKeyPlatform::removeEventHandler(EventHandlerRef ref)
{
    if (auto fault = m_desktop.recordCall(QStringLiteral("removeEventHandler"), {}))
        return *fault;
    return m_adapter.removeEventHandler(ref);
}

OSStatus SimHotKeyPlatform::registerEventHotKey(
    quint32 keyCode, quint32 modifiers, EventHotKeyID hotKeyID, quint32 options, EventHotKeyRef* outRef)
{
    if (auto fault = m_desktop.recordCall(QStringLiteral("registerEventHotKey"), {},
            QStringLiteral("keyCode=%1 modifiers=%2 id=%3").arg(keyCode).arg(modifiers).arg(hotKeyID.id)))
        return *fault;
    return m_adapter.registerEventHotKey(keyCode, modifiers, hotKeyID, options, outRef);
}

OSStatus SimHotKeyPlatform::unregisterEventHotKey(EventHotKeyRef ref)
{
    if (auto fault = m_desktop.recordCall(QStringLiteral("unregisterEventHotKey"), {}))
        return *fault;
    return m_adapter.unregisterEventHotKey(ref);
}

OSStatus SimHotKeyPlatform::getEventHotKeyID(const HotKeyEvent& event, EventHotKeyID* outID)
{
    if (auto fault = m_desktop.recordCall(QStringLiteral("getEventHotKeyID"), {}))
        return *fault;
    return m_adapter.getEventHotKeyID(event, outID);
}

} // namespace gridlume
