#pragma once

#include "platform/HotKeyAdapter.h"

namespace gridlume {

class SimDesktop;

// The hot-key calls of the simulated desktop: each is recorded, and answers with the status of a
// fault injected for it; the others go to the adapter every desktop has.
class SimHotKeyPlatform final : public HotKeyPlatform {
public:
    SimHotKeyPlatform(SimDesktop& desktop, HotKeyAdapter& adapter)
        : m_desktop(desktop)
        , m_adapter(adapter)
    {
    }

    OSStatus installEventHandler(EventHandlerProcPtr handler, const EventTypeSpec* types, int typeCount, void* userData,
        EventHandlerRef* outRef) override;
    OSStatus removeEventHandler(EventHandlerRef ref) override;
    OSStatus registerEventHotKey(
        quint32 keyCode, quint32 modifiers, EventHotKeyID hotKeyID, quint32 options, EventHotKeyRef* outRef) override;
    OSStatus unregisterEventHotKey(EventHotKeyRef ref) override;
    OSStatus getEventHotKeyID(const HotKeyEvent& event, EventHotKeyID* outID) override;

private:
    SimDesktop& m_desktop;
    HotKeyAdapter& m_adapter;
};

} // namespace gridlume
