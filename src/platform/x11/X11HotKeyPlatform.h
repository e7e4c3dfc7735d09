#pragma once

#include "X11EventListener.h"
#include "platform/HotKeyPlatform.h"
#include "platform/Log.h"

#include <QObject>
#include <QSet>

#include <map>
#include <memory>
#include <vector>

struct _XCBKeySymbols;

namespace gridlume {

class X11Connection;

// System-wide hot keys as passive key grabs on the root window.
//
// X matches a grab against the exact modifier state, including the lock modifiers, so each hot
// key is grabbed once per combination of Caps Lock, Num Lock and (where it is mapped) Scroll
// Lock; which modifier bits those are is read from the modifier mapping, and all grabs are
// renewed when the mapping changes. Presses are delivered to the installed handlers from the
// event loop; a key held down fires once.
class X11HotKeyPlatform final : public QObject, public HotKeyPlatform, private X11EventListener {
    Q_OBJECT
public:
    X11HotKeyPlatform(X11Connection& connection, LogSink& logSink, QObject* parent = nullptr);
    ~X11HotKeyPlatform() override;

    OSStatus installEventHandler(EventHandlerProcPtr handler, const EventTypeSpec* types, int typeCount, void* userData,
        EventHandlerRef* outRef) override;
    OSStatus removeEventHandler(EventHandlerRef ref) override;
    OSStatus registerEventHotKey(quint32 keyCode, quint32 modifiers, EventHotKeyID hotKeyID, quint32 options,
        EventHotKeyRef* outRef) override;
    OSStatus unregisterEventHotKey(EventHotKeyRef ref) override;
    OSStatus getEventHotKeyID(const HotKeyEvent& event, EventHotKeyID* outID) override;

    // The X modifier mask (Shift, Control, Mod1 = Alt, Mod4 = Super) of an event-manager mask.
    static quint16 x11Modifiers(quint32 eventManagerModifiers);

private:
    struct HotKey {
        quint8 keycode = 0;
        quint16 modifiers = 0;
        EventHotKeyID id;
    };
    struct Handler {
        EventHandlerProcPtr procedure = nullptr;
        void* userData = nullptr;
        std::vector<EventTypeSpec> types;
    };

    void handleEvent(const xcb_generic_event_t* event) override;
    void readLockModifiers();
    std::vector<quint16> lockCombinations() const;
    OSStatus grab(const HotKey& hotKey);
    void ungrab(const HotKey& hotKey);
    void synchronize();
    void regrabAll();
    void deliver(EventHotKeyID id);

    X11Connection& m_connection;
    Logger m_logger;
    std::unique_ptr<_XCBKeySymbols, void (*)(_XCBKeySymbols*)> m_keySymbols;
    quint16 m_numLockMask = 0;
    quint16 m_scrollLockMask = 0;
    std::map<EventHotKeyRef, HotKey> m_hotKeys;
    std::map<EventHandlerRef, Handler> m_handlers;
    quintptr m_nextReference = 1;
    QSet<quint8> m_pressedKeycodes;
};

} // namespace gridlume
