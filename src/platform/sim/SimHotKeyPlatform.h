#pragma once

#include "platform/HotKeyPlatform.h"

#include <QMap>
#include <QSet>

namespace gridlume {

class SimDesktop;

class SimHotKeyPlatform final : public HotKeyPlatform {
public:
    explicit SimHotKeyPlatform(SimDesktop& desktop)
        : m_desktop(desktop)
    {
    }

    OSStatus installEventHandler(EventHandlerProcPtr handler, const EventTypeSpec* types, int typeCount, void* userData,
        EventHandlerRef* outRef) override;
    OSStatus removeEventHandler(EventHandlerRef ref) override;
    OSStatus registerEventHotKey(
        quint32 keyCode, quint32 modifiers, EventHotKeyID hotKeyID, quint32 options, EventHotKeyRef* outRef) override;
    OSStatus unregisterEventHotKey(EventHotKeyRef ref) override;
    OSStatus getEventHotKeyID(const HotKeyEvent& event, EventHotKeyID* outID) override;

    // Queues delivery of the event to every installed handler.
    void deliver(const HotKeyEvent& event);
    std::optional<EventHotKeyID> hotKeyFor(quint32 keyCode, quint32 modifiers) const;

    struct HotKey {
        quint32 keyCode;
        quint32 modifiers;
        EventHotKeyID id;
    };
    struct Handler {
        EventHandlerProcPtr proc;
        void* userData;
    };
    QMap<EventHotKeyRef, HotKey> hotKeys;
    QMap<EventHandlerRef, Handler> handlers;
    QSet<QPair<quint32, quint32>> heldElsewhere;

private:
    SimDesktop& m_desktop;
    quintptr m_nextRef = 1;
};

} // namespace gridlume
