#include "X11GlobalKeyMonitor.h"

#include "UniqueCPtr.h"
#include "platform/linux/KeyCodeTable.h"

#include <QGuiApplication>
#include <QPointer>
#include <QSocketNotifier>

#include <optional>

#include <xcb/xcb.h>
#include <xcb/xinput.h>

namespace gridlume {

namespace {

    // Modifier keys by evdev code, with the event state bit each one sets; raw events carry no
    // modifier state, so the monitor keeps its own from the raw presses and releases it sees.
    struct ModifierKey {
        quint16 evdevCode;
        quint64 flag;
    };
    constexpr ModifierKey kModifierKeys[] = {
        { 42, ModifierFlag::Shift }, { 54, ModifierFlag::Shift }, { 29, ModifierFlag::Control },
        { 97, ModifierFlag::Control }, { 56, ModifierFlag::Option }, { 100, ModifierFlag::Option },
        { 125, ModifierFlag::Command }, { 126, ModifierFlag::Command },
    };

    std::optional<quint64> modifierFlagOfKeycode(quint32 x11Keycode)
    {
        for (const ModifierKey& key : kModifierKeys) {
            if (key.evdevCode + KeyCodeTable::x11KeycodeOffset == x11Keycode)
                return key.flag;
        }
        return std::nullopt;
    }

} // namespace

struct X11GlobalKeyMonitor::Connection {
    xcb_connection_t* xcb = nullptr;
    xcb_window_t root = XCB_WINDOW_NONE;
    quint8 inputOpcode = 0;
    ~Connection()
    {
        if (xcb)
            xcb_disconnect(xcb);
    }
};

X11GlobalKeyMonitor::X11GlobalKeyMonitor(QByteArray displayName, LogSink& logSink, QObject* parent)
    : QObject(parent)
    , m_displayName(std::move(displayName))
    , m_logger(logSink, QStringLiteral("X11"))
{
}

X11GlobalKeyMonitor::~X11GlobalKeyMonitor()
{
    m_notifier.reset();
    m_connection.reset();
}

bool X11GlobalKeyMonitor::ensureConnection()
{
    if (m_connection && !xcb_connection_has_error(m_connection->xcb))
        return true;
    m_notifier.reset();
    auto connection = std::make_unique<Connection>();
    int screenNumber = 0;
    connection->xcb = xcb_connect(m_displayName.isEmpty() ? nullptr : m_displayName.constData(), &screenNumber);
    if (xcb_connection_has_error(connection->xcb)) {
        m_logger.error("Cannot open a second connection to display \"%s\" for the global key monitor",
            m_displayName.constData());
        return false;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection->xcb));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    if (!screens.rem)
        return false;
    connection->root = screens.data->root;

    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection->xcb, &xcb_input_id);
    UniqueCPtr<xcb_input_xi_query_version_reply_t> version;
    if (extension && extension->present) {
        version.reset(xcb_input_xi_query_version_reply(
            connection->xcb, xcb_input_xi_query_version(connection->xcb, 2, 2), nullptr));
    }
    if (!version || (version->major_version < 2) || (version->major_version == 2 && version->minor_version < 2)) {
        m_logger.error("The X server lacks XInput 2.2; Escape in other applications will not be seen");
        return false;
    }
    connection->inputOpcode = extension->major_opcode;
    m_connection = std::move(connection);
    m_notifier = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(m_connection->xcb), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &X11GlobalKeyMonitor::readEvents);
    return true;
}

void X11GlobalKeyMonitor::selectRawEvents(bool enabled)
{
    if (!m_connection)
        return;
    struct {
        xcb_input_event_mask_t header;
        quint32 mask;
    } selection { { XCB_INPUT_DEVICE_ALL_MASTER, 1 },
        enabled ? quint32(XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS | XCB_INPUT_XI_EVENT_MASK_RAW_KEY_RELEASE) : 0u };
    // Checked, so that the selection is in force when the first monitor is handed back.
    UniqueCPtr<xcb_generic_error_t> error(xcb_request_check(m_connection->xcb,
        xcb_input_xi_select_events_checked(m_connection->xcb, m_connection->root, 1, &selection.header)));
    if (error)
        m_logger.error("Selecting raw key events failed with X error %d", int(error->error_code));
    m_pressedModifierKeycodes.clear();
    // Presses read while the selection was ending belong to no monitor.
    if (!enabled) {
        while (UniqueCPtr<xcb_generic_event_t> stale { xcb_poll_for_queued_event(m_connection->xcb) }) { }
    }
}

Subscription X11GlobalKeyMonitor::addGlobalKeyDownMonitor(
    std::function<void(const KeyEvent&)> handler, GlobalKeyPresses presses)
{
    if (!ensureConnection())
        return Subscription();
    const quint64 id = m_nextID++;
    m_handlers.emplace(id, Handler { std::move(handler), presses });
    if (m_handlers.size() == 1)
        selectRawEvents(true);
    return Subscription([self = QPointer<X11GlobalKeyMonitor>(this), id] {
        if (self)
            self->removeHandler(id);
    });
}

void X11GlobalKeyMonitor::removeHandler(quint64 id)
{
    if (m_handlers.erase(id) && m_handlers.empty())
        selectRawEvents(false);
}

bool X11GlobalKeyMonitor::hasOwnWindowTheFocus() const
{
    // Qt's own idea of the focus lags the server's (it lets a focus-out settle for a moment), so
    // the server is asked who has the keyboard now. Windows made on Qt's connection carry its
    // resource id base.
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return false;
    const xcb_setup_t* setup = xcb_get_setup(x11->connection());
    UniqueCPtr<xcb_get_input_focus_reply_t> focus(
        xcb_get_input_focus_reply(m_connection->xcb, xcb_get_input_focus(m_connection->xcb), nullptr));
    return focus && focus->focus > XCB_INPUT_FOCUS_POINTER_ROOT
        && (focus->focus & ~setup->resource_id_mask) == setup->resource_id_base;
}

void X11GlobalKeyMonitor::readEvents()
{
    if (!m_connection)
        return;
    while (UniqueCPtr<xcb_generic_event_t> event { xcb_poll_for_event(m_connection->xcb) }) {
        if ((event->response_type & 0x7f) != XCB_GE_GENERIC)
            continue;
        const auto* generic = reinterpret_cast<const xcb_ge_generic_event_t*>(event.get());
        if (generic->extension != m_connection->inputOpcode)
            continue;
        if (generic->event_type != XCB_INPUT_RAW_KEY_PRESS && generic->event_type != XCB_INPUT_RAW_KEY_RELEASE)
            continue;
        const auto* raw = reinterpret_cast<const xcb_input_raw_key_press_event_t*>(event.get());
        const bool press = generic->event_type == XCB_INPUT_RAW_KEY_PRESS;
        if (modifierFlagOfKeycode(raw->detail)) {
            if (press)
                m_pressedModifierKeycodes.insert(raw->detail);
            else
                m_pressedModifierKeycodes.remove(raw->detail);
            continue;
        }
        if (!press || m_handlers.empty())
            continue;
        KeyEvent keyEvent;
        keyEvent.keyCode = KeyCodeTable::virtualKeyCodeOfX11Keycode(raw->detail).value_or(0xFFFF);
        for (quint32 keycode : std::as_const(m_pressedModifierKeycodes))
            keyEvent.modifierFlags |= modifierFlagOfKeycode(keycode).value_or(0);
        // A handler may end its own or another monitor.
        std::vector<quint64> ids;
        for (const auto& [id, handler] : m_handlers)
            ids.push_back(id);
        std::optional<bool> inOwnWindow;
        for (quint64 id : ids) {
            auto found = m_handlers.find(id);
            if (found == m_handlers.end())
                continue;
            if (found->second.presses == GlobalKeyPresses::InOtherPrograms) {
                if (!inOwnWindow)
                    inOwnWindow = hasOwnWindowTheFocus();
                if (*inOwnWindow)
                    continue;
            }
            auto handler = found->second.handler;
            handler(keyEvent);
        }
    }
    if (m_connection && xcb_connection_has_error(m_connection->xcb)) {
        m_logger.error("The global key monitor lost its connection to the X server");
        m_notifier.reset();
    }
}

} // namespace gridlume
