#pragma once

#include <QtGlobal>

namespace gridlume {

// Status codes of the hot-key calls; 0 is success.
using OSStatus = qint32;

inline constexpr OSStatus noErr = 0;
inline constexpr OSStatus paramErr = -50;
// The shortcut is already taken by another program.
inline constexpr OSStatus eventHotKeyExistsErr = -9878;
inline constexpr OSStatus eventHotKeyInvalidErr = -9879;
inline constexpr OSStatus eventParameterNotFoundErr = -9870;
inline constexpr OSStatus eventInternalErr = -9868;

// Four-character code, first character in the most significant byte.
constexpr quint32 fourCharCode(const char (&code)[5])
{
    return (quint32(quint8(code[0])) << 24) | (quint32(quint8(code[1])) << 16) | (quint32(quint8(code[2])) << 8)
        | quint32(quint8(code[3]));
}

inline constexpr quint32 kEventClassKeyboard = fourCharCode("keyb");
inline constexpr quint32 kEventHotKeyPressed = 5;
inline constexpr quint32 kEventParamDirectObject = fourCharCode("----");
inline constexpr quint32 typeEventHotKeyID = fourCharCode("hkid");

struct EventHotKeyID {
    quint32 signature = 0;
    quint32 id = 0;
    friend bool operator==(const EventHotKeyID&, const EventHotKeyID&) = default;
};

// A delivered hot-key event. Opaque to callers: read its ID with getEventHotKeyID().
struct HotKeyEvent {
    quint32 eventClass = kEventClassKeyboard;
    quint32 eventKind = kEventHotKeyPressed;
    EventHotKeyID hotKeyID;
};

struct EventTypeSpec {
    quint32 eventClass;
    quint32 eventKind;
};

// Handles returned by the calls below; 0 is never a valid handle.
using EventHandlerRef = quintptr;
using EventHotKeyRef = quintptr;

using EventHandlerProcPtr = OSStatus (*)(const HotKeyEvent& event, void* userData);

// System-wide hot keys, modelled on the classic event-manager calls. Key codes are virtual key
// codes (kVK_*), modifiers the event manager's mask (cmdKey, shiftKey, optionKey, controlKey).
// Handlers are called on the main thread, from the event loop, never inside these calls.
class HotKeyPlatform {
public:
    virtual ~HotKeyPlatform() = default;

    // Installs `handler` for the listed event types of the application's target. `userData` is
    // passed back unchanged and not retained.
    virtual OSStatus installEventHandler(EventHandlerProcPtr handler, const EventTypeSpec* types, int typeCount,
        void* userData, EventHandlerRef* outRef)
        = 0;
    // Removes a handler installed above; afterwards it is never called again.
    virtual OSStatus removeEventHandler(EventHandlerRef ref) = 0;

    // Makes the key + modifiers a system-wide shortcut that delivers a hot-key-pressed event
    // carrying `hotKeyID`. Fails with eventHotKeyExistsErr when another program holds it.
    virtual OSStatus registerEventHotKey(quint32 keyCode, quint32 modifiers, EventHotKeyID hotKeyID,
        quint32 options, EventHotKeyRef* outRef)
        = 0;
    virtual OSStatus unregisterEventHotKey(EventHotKeyRef ref) = 0;

    // Reads the hot-key ID of a delivered event (the direct-object parameter of type 'hkid').
    virtual OSStatus getEventHotKeyID(const HotKeyEvent& event, EventHotKeyID* outID) = 0;
};

} // namespace gridlume
