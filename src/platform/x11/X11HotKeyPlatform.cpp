#include "X11HotKeyPlatform.h"

#include "UniqueCPtr.h"
#include "X11Connection.h"
#include "platform/linux/KeyCodeTable.h"

#include <xcb/xcb_keysyms.h>
// xkb.h names a struct member "explicit", which is a keyword in C++.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit

namespace gridlume {

namespace {

    constexpr quint32 kCmdKey = 0x0100;
    constexpr quint32 kShiftKey = 0x0200;
    constexpr quint32 kOptionKey = 0x0800;
    constexpr quint32 kControlKey = 0x1000;

    constexpr xcb_keysym_t kNumLockKeysym = 0xff7f;
    constexpr xcb_keysym_t kScrollLockKeysym = 0xff14;

    // The modifiers a hot key can carry; everything else in an event's state is a lock.
    constexpr quint16 kHotKeyModifiers
        = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

} // namespace

X11HotKeyPlatform::X11HotKeyPlatform(X11Connection& connection, LogSink& logSink, QObject* parent)
    : QObject(parent)
    , m_connection(connection)
    , m_logger(logSink, QStringLiteral("X11"))
    , m_keySymbols(xcb_key_symbols_alloc(connection.xcb()), &xcb_key_symbols_free)
{
    xcb_connection_t* c = connection.xcb();
    // With detectable auto-repeat a held key sends repeated presses without releases in
    // between, which tells a repeat from a new press.
    UniqueCPtr<xcb_xkb_use_extension_reply_t> xkb(
        xcb_xkb_use_extension_reply(c, xcb_xkb_use_extension(c, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION), nullptr));
    if (xkb && xkb->supported) {
        UniqueCPtr<xcb_xkb_per_client_flags_reply_t> flags(xcb_xkb_per_client_flags_reply(c,
            xcb_xkb_per_client_flags(c, XCB_XKB_ID_USE_CORE_KBD, XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT,
                XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT, 0, 0, 0),
            nullptr));
    }
    readLockModifiers();
    connection.addEventListener(this);
}

X11HotKeyPlatform::~X11HotKeyPlatform()
{
    m_connection.removeEventListener(this);
    if (m_connection.isUsable()) {
        for (const auto& [ref, hotKey] : m_hotKeys)
            ungrab(hotKey);
        xcb_flush(m_connection.xcb());
    }
}

quint16 X11HotKeyPlatform::x11Modifiers(quint32 eventManagerModifiers)
{
    quint16 result = 0;
    if (eventManagerModifiers & kControlKey)
        result |= XCB_MOD_MASK_CONTROL;
    if (eventManagerModifiers & kOptionKey)
        result |= XCB_MOD_MASK_1;
    if (eventManagerModifiers & kShiftKey)
        result |= XCB_MOD_MASK_SHIFT;
    if (eventManagerModifiers & kCmdKey)
        result |= XCB_MOD_MASK_4;
    return result;
}

OSStatus X11HotKeyPlatform::installEventHandler(
    EventHandlerProcPtr handler, const EventTypeSpec* types, int typeCount, void* userData, EventHandlerRef* outRef)
{
    if (!handler || !outRef || typeCount < 0 || (typeCount > 0 && !types))
        return paramErr;
    const EventHandlerRef ref = m_nextReference++;
    m_handlers.emplace(ref, Handler { handler, userData, std::vector<EventTypeSpec>(types, types + typeCount) });
    *outRef = ref;
    return noErr;
}

OSStatus X11HotKeyPlatform::removeEventHandler(EventHandlerRef ref)
{
    return m_handlers.erase(ref) ? noErr : paramErr;
}

OSStatus X11HotKeyPlatform::getEventHotKeyID(const HotKeyEvent& event, EventHotKeyID* outID)
{
    if (!outID)
        return paramErr;
    if (event.eventClass != kEventClassKeyboard || event.eventKind != kEventHotKeyPressed)
        return eventParameterNotFoundErr;
    *outID = event.hotKeyID;
    return noErr;
}

void X11HotKeyPlatform::readLockModifiers()
{
    xcb_connection_t* c = m_connection.xcb();
    m_numLockMask = 0;
    m_scrollLockMask = 0;
    UniqueCPtr<xcb_get_modifier_mapping_reply_t> mapping(
        xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr));
    if (!mapping)
        return;
    UniqueCPtr<xcb_keycode_t> numLock(xcb_key_symbols_get_keycode(m_keySymbols.get(), kNumLockKeysym));
    UniqueCPtr<xcb_keycode_t> scrollLock(xcb_key_symbols_get_keycode(m_keySymbols.get(), kScrollLockKeysym));
    const xcb_keycode_t* keycodes = xcb_get_modifier_mapping_keycodes(mapping.get());
    const int perModifier = mapping->keycodes_per_modifier;
    auto isOneOf = [](xcb_keycode_t keycode, const xcb_keycode_t* list) {
        for (; list && *list != XCB_NO_SYMBOL; ++list) {
            if (*list == keycode)
                return true;
        }
        return false;
    };
    // Rows of the mapping: Shift, Lock, Control, Mod1 … Mod5.
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            const xcb_keycode_t keycode = keycodes[modifier * perModifier + i];
            if (keycode == 0)
                continue;
            if (isOneOf(keycode, numLock.get()))
                m_numLockMask |= quint16(1 << modifier);
            if (isOneOf(keycode, scrollLock.get()))
                m_scrollLockMask |= quint16(1 << modifier);
        }
    }
}

std::vector<quint16> X11HotKeyPlatform::lockCombinations() const
{
    std::vector<quint16> locks { XCB_MOD_MASK_LOCK };
    if (m_numLockMask)
        locks.push_back(m_numLockMask);
    if (m_scrollLockMask && m_scrollLockMask != m_numLockMask)
        locks.push_back(m_scrollLockMask);
    std::vector<quint16> combinations;
    for (quint32 subset = 0; subset < (1u << locks.size()); ++subset) {
        quint16 mask = 0;
        for (std::size_t i = 0; i < locks.size(); ++i) {
            if (subset & (1u << i))
                mask |= locks[i];
        }
        combinations.push_back(mask);
    }
    return combinations;
}

OSStatus X11HotKeyPlatform::grab(const HotKey& hotKey)
{
    xcb_connection_t* c = m_connection.xcb();
    std::vector<xcb_void_cookie_t> cookies;
    for (quint16 locks : lockCombinations()) {
        cookies.push_back(xcb_grab_key_checked(c, 0, m_connection.root(), hotKey.modifiers | locks, hotKey.keycode,
            XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    }
    bool taken = false;
    bool failed = false;
    for (xcb_void_cookie_t cookie : cookies) {
        UniqueCPtr<xcb_generic_error_t> error(xcb_request_check(c, cookie));
        if (error) {
            failed = true;
            taken = taken || error->error_code == XCB_ACCESS;
        }
    }
    if (!m_connection.isUsable())
        return eventInternalErr;
    if (failed) {
        // Ungrabbing only ever releases our own grabs, so the variants another client holds
        // stay untouched.
        ungrab(hotKey);
        synchronize();
        return taken ? eventHotKeyExistsErr : eventInternalErr;
    }
    return noErr;
}

void X11HotKeyPlatform::ungrab(const HotKey& hotKey)
{
    for (quint16 locks : lockCombinations())
        xcb_ungrab_key(m_connection.xcb(), hotKey.keycode, m_connection.root(), hotKey.modifiers | locks);
}

OSStatus X11HotKeyPlatform::registerEventHotKey(
    quint32 keyCode, quint32 modifiers, EventHotKeyID hotKeyID, quint32 options, EventHotKeyRef* outRef)
{
    Q_UNUSED(options);
    if (!outRef)
        return paramErr;
    *outRef = 0;
    const std::optional<quint8> keycode = KeyCodeTable::x11Keycode(keyCode);
    if (!keycode) {
        m_logger.error("No X keycode for virtual key code %u", keyCode);
        return paramErr;
    }
    const HotKey hotKey { *keycode, x11Modifiers(modifiers), hotKeyID };
    // A second grab of the same combination would succeed and silently merge with the first;
    // unregistering either would then release both.
    for (const auto& [ref, existing] : m_hotKeys) {
        if (existing.keycode == hotKey.keycode && existing.modifiers == hotKey.modifiers)
            return eventHotKeyExistsErr;
    }
    const OSStatus status = grab(hotKey);
    if (status != noErr) {
        m_logger.error("Grabbing X keycode %u with modifiers 0x%x failed, status=%d", hotKey.keycode,
            hotKey.modifiers, status);
        return status;
    }
    const EventHotKeyRef ref = m_nextReference++;
    m_hotKeys.emplace(ref, hotKey);
    *outRef = ref;
    return noErr;
}

OSStatus X11HotKeyPlatform::unregisterEventHotKey(EventHotKeyRef ref)
{
    auto found = m_hotKeys.find(ref);
    if (found == m_hotKeys.end())
        return eventHotKeyInvalidErr;
    ungrab(found->second);
    m_pressedKeycodes.remove(found->second.keycode);
    m_hotKeys.erase(found);
    synchronize();
    return noErr;
}

void X11HotKeyPlatform::synchronize()
{
    // Releasing is synchronous: once a call returns, the server has processed the ungrabs, and
    // another program may take the key.
    xcb_connection_t* c = m_connection.xcb();
    UniqueCPtr<xcb_get_input_focus_reply_t> reply(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

void X11HotKeyPlatform::regrabAll()
{
    for (const auto& [ref, hotKey] : m_hotKeys)
        ungrab(hotKey);
    readLockModifiers();
    for (const auto& [ref, hotKey] : m_hotKeys) {
        if (const OSStatus status = grab(hotKey); status != noErr)
            m_logger.error("Grabbing X keycode %u again after a keyboard mapping change failed, status=%d",
                hotKey.keycode, status);
    }
}

void X11HotKeyPlatform::handleEvent(const xcb_generic_event_t* event)
{
    const quint8 type = event->response_type & 0x7f;
    if (type == XCB_MAPPING_NOTIFY) {
        auto* mapping = const_cast<xcb_mapping_notify_event_t*>(reinterpret_cast<const xcb_mapping_notify_event_t*>(event));
        if (mapping->request == XCB_MAPPING_POINTER)
            return;
        xcb_refresh_keyboard_mapping(m_keySymbols.get(), mapping);
        // Not from inside the event pump: grabbing waits for the server.
        QMetaObject::invokeMethod(this, &X11HotKeyPlatform::regrabAll, Qt::QueuedConnection);
        return;
    }
    if (type == XCB_KEY_RELEASE) {
        m_pressedKeycodes.remove(reinterpret_cast<const xcb_key_release_event_t*>(event)->detail);
        return;
    }
    if (type != XCB_KEY_PRESS)
        return;
    const auto* press = reinterpret_cast<const xcb_key_press_event_t*>(event);
    const quint16 modifiers = press->state & kHotKeyModifiers;
    for (const auto& [ref, hotKey] : m_hotKeys) {
        if (hotKey.keycode != press->detail || hotKey.modifiers != modifiers)
            continue;
        if (m_pressedKeycodes.contains(press->detail))
            return;
        m_pressedKeycodes.insert(press->detail);
        const EventHotKeyID id = hotKey.id;
        QMetaObject::invokeMethod(this, [this, id] { deliver(id); }, Qt::QueuedConnection);
        return;
    }
}

void X11HotKeyPlatform::deliver(EventHotKeyID id)
{
    const HotKeyEvent event { kEventClassKeyboard, kEventHotKeyPressed, id };
    // A handler may remove itself or others while it runs.
    std::vector<EventHandlerRef> refs;
    for (const auto& [ref, handler] : m_handlers) {
        for (const EventTypeSpec& type : handler.types) {
            if (type.eventClass == kEventClassKeyboard && type.eventKind == kEventHotKeyPressed) {
                refs.push_back(ref);
                break;
            }
        }
    }
    for (EventHandlerRef ref : refs) {
        auto found = m_handlers.find(ref);
        if (found != m_handlers.end())
            found->second.procedure(event, found->second.userData);
    }
}

} // namespace gridlume
