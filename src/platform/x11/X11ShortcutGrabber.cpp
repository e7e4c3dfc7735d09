#include "X11ShortcutGrabber.h"

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

    constexpr xcb_keysym_t kNumLockKeysym = 0xff7f;
    constexpr xcb_keysym_t kScrollLockKeysym = 0xff14;

    // The modifiers a shortcut can carry; everything else in an event's state is a lock.
    constexpr quint16 kHotKeyModifiers = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

} // namespace

X11ShortcutGrabber::X11ShortcutGrabber(X11Connection& connection, LogSink& logSink, QObject* parent)
    : QObject(parent)
    , m_connection(connection)
    , m_logger(logSink, QStringLiteral("X11"))
    , m_keySymbols(xcb_key_symbols_alloc(connection.xcb()), &xcb_key_symbols_free)
{
    xcb_connection_t* c = connection.xcb();
    // With detectable auto-repeat a held key sends repeated presses without releases in
    // between, which tells a repeat from a new press.
    UniqueCPtr<xcb_xkb_use_extension_reply_t> xkb(xcb_xkb_use_extension_reply(
        c, xcb_xkb_use_extension(c, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION), nullptr));
    if (xkb && xkb->supported) {
        UniqueCPtr<xcb_xkb_per_client_flags_reply_t> flags(xcb_xkb_per_client_flags_reply(c,
            xcb_xkb_per_client_flags(c, XCB_XKB_ID_USE_CORE_KBD, XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT,
                XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT, 0, 0, 0),
            nullptr));
    }
    readLockModifiers();
    connection.addEventListener(this);
}

X11ShortcutGrabber::~X11ShortcutGrabber()
{
    m_connection.removeEventListener(this);
    if (m_connection.isUsable()) {
        for (const auto& [handle, grab] : m_grabs)
            ungrab(grab);
        xcb_flush(m_connection.xcb());
    }
}

quint16 X11ShortcutGrabber::x11Modifiers(quint8 modifiers)
{
    quint16 result = 0;
    if (modifiers & ShortcutModifier::Control)
        result |= XCB_MOD_MASK_CONTROL;
    if (modifiers & ShortcutModifier::Alt)
        result |= XCB_MOD_MASK_1;
    if (modifiers & ShortcutModifier::Shift)
        result |= XCB_MOD_MASK_SHIFT;
    if (modifiers & ShortcutModifier::Super)
        result |= XCB_MOD_MASK_4;
    return result;
}

void X11ShortcutGrabber::readLockModifiers()
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

std::vector<quint16> X11ShortcutGrabber::lockCombinations() const
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

std::optional<GrabFailure> X11ShortcutGrabber::grabVariants(const Grab& grab)
{
    xcb_connection_t* c = m_connection.xcb();
    std::vector<xcb_void_cookie_t> cookies;
    for (quint16 locks : lockCombinations()) {
        cookies.push_back(xcb_grab_key_checked(
            c, 0, m_connection.root(), grab.modifiers | locks, grab.keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
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
        return GrabFailure::DesktopFailed;
    if (failed) {
        // Ungrabbing only ever releases our own grabs, so the variants another client holds
        // stay untouched.
        ungrab(grab);
        synchronize();
        return taken ? GrabFailure::HeldByAnotherProgram : GrabFailure::DesktopFailed;
    }
    return std::nullopt;
}

void X11ShortcutGrabber::ungrab(const Grab& grab)
{
    for (quint16 locks : lockCombinations())
        xcb_ungrab_key(m_connection.xcb(), grab.keycode, m_connection.root(), grab.modifiers | locks);
}

GrabResult X11ShortcutGrabber::grab(KeyCombination combination, std::function<void()> onPressed)
{
    const quint32 keycode = combination.evdevCode + KeyCodeTable::x11KeycodeOffset;
    if (keycode > 255) {
        m_logger.error("No X keycode for evdev code %u", combination.evdevCode);
        return { 0, GrabFailure::NoSuchKey };
    }
    Grab grab { quint8(keycode), x11Modifiers(combination.modifiers), std::move(onPressed) };
    if (const std::optional<GrabFailure> failure = grabVariants(grab)) {
        m_logger.error("Grabbing X keycode %u with modifiers 0x%x failed", grab.keycode, grab.modifiers);
        return { 0, failure };
    }
    const quint64 handle = m_nextHandle++;
    m_grabs.emplace(handle, std::move(grab));
    return { handle, std::nullopt };
}

bool X11ShortcutGrabber::release(quint64 handle)
{
    const auto found = m_grabs.find(handle);
    if (found == m_grabs.end())
        return false;
    ungrab(found->second);
    m_pressedKeycodes.remove(found->second.keycode);
    m_grabs.erase(found);
    synchronize();
    return true;
}

void X11ShortcutGrabber::synchronize()
{
    // Releasing is synchronous: once a call returns, the server has processed the ungrabs, and
    // another program may take the key.
    xcb_connection_t* c = m_connection.xcb();
    UniqueCPtr<xcb_get_input_focus_reply_t> reply(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

void X11ShortcutGrabber::regrabAll()
{
    for (const auto& [handle, grab] : m_grabs)
        ungrab(grab);
    readLockModifiers();
    for (const auto& [handle, grab] : m_grabs) {
        if (grabVariants(grab))
            m_logger.error("Grabbing X keycode %u again after a keyboard mapping change failed", grab.keycode);
    }
}

void X11ShortcutGrabber::handleEvent(const xcb_generic_event_t* event)
{
    const quint8 type = event->response_type & 0x7f;
    if (type == XCB_MAPPING_NOTIFY) {
        auto* mapping
            = const_cast<xcb_mapping_notify_event_t*>(reinterpret_cast<const xcb_mapping_notify_event_t*>(event));
        if (mapping->request == XCB_MAPPING_POINTER)
            return;
        xcb_refresh_keyboard_mapping(m_keySymbols.get(), mapping);
        // Not from inside the event pump: grabbing waits for the server.
        QMetaObject::invokeMethod(this, &X11ShortcutGrabber::regrabAll, Qt::QueuedConnection);
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
    for (const auto& [handle, grab] : m_grabs) {
        if (grab.keycode != press->detail || grab.modifiers != modifiers)
            continue;
        if (m_pressedKeycodes.contains(press->detail))
            return;
        m_pressedKeycodes.insert(press->detail);
        QMetaObject::invokeMethod(
            this, [this, handle] { deliver(handle); }, Qt::QueuedConnection);
        return;
    }
}

void X11ShortcutGrabber::deliver(quint64 handle)
{
    const auto found = m_grabs.find(handle);
    if (found == m_grabs.end())
        return;
    // The callback may release this grab while it runs.
    const std::function<void()> onPressed = found->second.onPressed;
    onPressed();
}

} // namespace gridlume
