#pragma once

#include "HotKeyPlatform.h"
#include "Log.h"
#include "ShortcutGrabber.h"

#include <QObject>

#include <map>
#include <optional>
#include <vector>

namespace gridlume {

// The hot-key calls on any desktop's shortcut grabber: the one place that turns virtual key codes
// and the event manager's modifier mask into key combinations, and grabs, failures and presses
// into the event manager's handles, status codes and hot-key events.
//
// Status codes, on every desktop: paramErr for a missing argument, a negative type count, an
// unknown handler, or a key the desktop has no key for; eventHotKeyExistsErr for a combination
// another program holds or this one registered already; eventHotKeyInvalidErr for an unknown hot
// key; eventInternalErr when the desktop failed otherwise; eventParameterNotFoundErr for an event
// that is no hot-key press. A press is delivered to the handlers installed for
// { kEventClassKeyboard, kEventHotKeyPressed } at that moment.
class HotKeyAdapter final : public QObject, public HotKeyPlatform {
    Q_OBJECT
public:
    // Logs under `category` (the backend's).
    HotKeyAdapter(ShortcutGrabber& grabber, LogSink& logSink, const QString& category, QObject* parent = nullptr);
    ~HotKeyAdapter() override;

    OSStatus installEventHandler(EventHandlerProcPtr handler, const EventTypeSpec* types, int typeCount, void* userData,
        EventHandlerRef* outRef) override;
    OSStatus removeEventHandler(EventHandlerRef ref) override;
    OSStatus registerEventHotKey(
        quint32 keyCode, quint32 modifiers, EventHotKeyID hotKeyID, quint32 options, EventHotKeyRef* outRef) override;
    OSStatus unregisterEventHotKey(EventHotKeyRef ref) override;
    OSStatus getEventHotKeyID(const HotKeyEvent& event, EventHotKeyID* outID) override;

    // The key combination of a virtual key code (kVK_*) and event-manager modifiers (cmdKey
    // Super, optionKey Alt, controlKey Control, shiftKey Shift; other bits are no modifiers);
    // none for a key code outside the key-code table.
    static std::optional<KeyCombination> keyCombination(quint32 keyCode, quint32 modifiers);

    // The registered hot key of a combination, and the number of handlers (for the simulated
    // desktop's test-control side).
    std::optional<EventHotKeyID> hotKeyOf(KeyCombination combination) const;
    int registeredHotKeyCount() const { return int(m_hotKeys.size()); }
    int installedHandlerCount() const { return int(m_handlers.size()); }

private:
    struct HotKey {
        KeyCombination combination;
        EventHotKeyID id;
        quint64 grab = 0;
    };
    struct Handler {
        EventHandlerProcPtr procedure = nullptr;
        void* userData = nullptr;
        std::vector<EventTypeSpec> types;
    };
    void deliver(EventHotKeyRef ref);

    ShortcutGrabber& m_grabber;
    Logger m_logger;
    std::map<EventHotKeyRef, HotKey> m_hotKeys;
    std::map<EventHandlerRef, Handler> m_handlers;
    quintptr m_nextReference = 1;
};

} // namespace gridlume
