#include "X11PanelWindowTraits.h"

#include "UniqueCPtr.h"

#include <QByteArray>
#include <QEvent>
#include <QInputEvent>
#include <QGuiApplication>
#include <QWindow>

#include <xcb/xfixes.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>
#include <vector>

namespace gridlume {

namespace {
    xcb_atom_t internAtom(xcb_connection_t* connection, const QByteArray& name)
    {
        const UniqueCPtr<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, false, quint16(name.size()), name.constData()), nullptr));
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }

    // The screen number of Qt's display: the digits after the dot of ":1.0"; 0 without one.
    int screenNumberOfDisplay()
    {
        const QByteArray display = qgetenv("DISPLAY");
        const qsizetype colon = display.lastIndexOf(':');
        const qsizetype dot = display.indexOf('.', colon < 0 ? 0 : colon);
        return dot < 0 ? 0 : display.mid(dot + 1).toInt();
    }
} // namespace

std::unique_ptr<X11PanelWindowTraits> X11PanelWindowTraits::createManaged(QString* errorMessage)
{
    std::unique_ptr<X11PanelWindowTraits> traits = create();
    if (!traits) {
        *errorMessage = QStringLiteral("Qt does not draw through X11 here");
        return nullptr;
    }
    traits->setTilingPanelsBypassWindowManager(false);
    return traits;
}

std::unique_ptr<X11PanelWindowTraits> X11PanelWindowTraits::create()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return nullptr;

    const int screenNumber = screenNumberOfDisplay();
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem > 1; ++i)
        xcb_screen_next(&screens);
    if (!screens.data)
        return nullptr;

    Atoms atoms;
    atoms.netWmDesktop = internAtom(connection, QByteArrayLiteral("_NET_WM_DESKTOP"));
    atoms.netCurrentDesktop = internAtom(connection, QByteArrayLiteral("_NET_CURRENT_DESKTOP"));
    atoms.netWmState = internAtom(connection, QByteArrayLiteral("_NET_WM_STATE"));
    atoms.netWmStateSticky = internAtom(connection, QByteArrayLiteral("_NET_WM_STATE_STICKY"));
    atoms.netWmStateSkipTaskbar = internAtom(connection, QByteArrayLiteral("_NET_WM_STATE_SKIP_TASKBAR"));
    atoms.netWmStateSkipPager = internAtom(connection, QByteArrayLiteral("_NET_WM_STATE_SKIP_PAGER"));
    atoms.netWmStateDemandsAttention = internAtom(connection, QByteArrayLiteral("_NET_WM_STATE_DEMANDS_ATTENTION"));
    atoms.netActiveWindow = internAtom(connection, QByteArrayLiteral("_NET_ACTIVE_WINDOW"));
    atoms.netClientListStacking = internAtom(connection, QByteArrayLiteral("_NET_CLIENT_LIST_STACKING"));
    atoms.compositorSelection = internAtom(connection, "_NET_WM_CM_S" + QByteArray::number(screenNumber));
    return std::unique_ptr<X11PanelWindowTraits>(new X11PanelWindowTraits(connection, screens.data->root, atoms));
}

X11PanelWindowTraits::X11PanelWindowTraits(xcb_connection_t* connection, xcb_window_t root, const Atoms& atoms)
    : m_connection(connection)
    , m_root(root)
    , m_atoms(atoms)
{
    // XFixes reports every change of the selection's owner, including a compositor that
    // crashes without giving it up.
    const xcb_query_extension_reply_t* xfixes = xcb_get_extension_data(m_connection, &xcb_xfixes_id);
    if (xfixes && xfixes->present) {
        const UniqueCPtr<xcb_xfixes_query_version_reply_t> version(xcb_xfixes_query_version_reply(
            m_connection, xcb_xfixes_query_version(m_connection, XCB_XFIXES_MAJOR_VERSION, XCB_XFIXES_MINOR_VERSION),
            nullptr));
        if (version) {
            m_xfixesFirstEvent = xfixes->first_event;
            xcb_xfixes_select_selection_input(m_connection, m_root, m_atoms.compositorSelection,
                XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER
                    | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY
                    | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
            xcb_flush(m_connection);
        }
    }
    qGuiApp->installNativeEventFilter(this);
    m_isCompositing = readCompositing();
}

X11PanelWindowTraits::~X11PanelWindowTraits()
{
    if (!qGuiApp)
        return;
    qGuiApp->removeNativeEventFilter(this);
    if (m_xfixesFirstEvent)
        xcb_xfixes_select_selection_input(m_connection, m_root, m_atoms.compositorSelection, 0);
    xcb_flush(m_connection);
}

void X11PanelWindowTraits::prepare(QWindow& window, PanelWindowRole role)
{
    if (!m_roles.contains(&window)) {
        m_roles.insert(&window, role);
        if (role == PanelWindowRole::TilingPanel) {
            const xcb_window_t id = xcb_window_t(window.winId());
            m_tilingPanels.insert(id);
            if (window.flags().testFlag(Qt::X11BypassWindowManagerHint))
                m_bypassingPanels.insert(&window);
            connect(&window, &QObject::destroyed, this, [this, id](QObject* object) {
                m_tilingPanels.remove(id);
                m_attentionChecks.remove(id);
                m_bypassingPanels.remove(object);
                m_shownBypassingPanels.remove(id);
                if (m_focusedBypassingPanel == id)
                    m_focusedBypassingPanel = XCB_WINDOW_NONE;
            });
        }
        window.installEventFilter(this);
        connect(&window, &QObject::destroyed, this, [this](QObject* object) { m_roles.remove(object); });
    }
    applyTraits(xcb_window_t(window.winId()), role);
}

bool X11PanelWindowTraits::eventFilter(QObject* watched, QEvent* event)
{
    auto* window = qobject_cast<QWindow*>(watched);
    if (!window || !m_roles.contains(window))
        return false;
    if (event->type() == QEvent::Show) {
        if (isBypassingPanel(*window)) {
            m_shownBypassingPanels.insert(xcb_window_t(window->winId()));
        } else {
            // Qt sends the show event before it maps the window: the last moment for properties
            // that the window manager reads when it manages the window.
            applyTraits(xcb_window_t(window->winId()), m_roles.value(window));
        }
    } else if (event->type() == QEvent::Hide) {
        if (isBypassingPanel(*window)) {
            const xcb_window_t id = xcb_window_t(window->winId());
            m_shownBypassingPanels.remove(id);
            // The focus would go back to the root, and no window manager gives it on.
            if (m_focusedBypassingPanel == id) {
                m_focusedBypassingPanel = XCB_WINDOW_NONE;
                returnFocus();
            }
            if (m_shownBypassingPanels.isEmpty())
                m_focusToReturn = XCB_WINDOW_NONE;
        }
    } else if (event->type() == QEvent::MouseButtonPress) {
        // The first click into a panel gives it the keyboard, and still acts: the press goes on
        // to the panel.
        const bool hasFocus = isBypassingPanel(*window) ? m_focusedBypassingPanel == xcb_window_t(window->winId())
                                                        : window->isActive();
        if (m_roles.value(window) == PanelWindowRole::TilingPanel && !hasFocus)
            focusPanel(*window, xcb_timestamp_t(static_cast<const QInputEvent*>(event)->timestamp()));
    }
    return false;
}

bool X11PanelWindowTraits::isBypassingPanel(const QWindow& window) const
{
    return m_bypassingPanels.contains(&window);
}

void X11PanelWindowTraits::focusPanel(QWindow& window, xcb_timestamp_t time)
{
    const xcb_window_t id = xcb_window_t(window.winId());
    if (isBypassingPanel(window)) {
        // No window manager focuses a window it does not manage, nor gives the focus back when
        // that window goes: the window that was active is remembered for the panel's hiding.
        const UniqueCPtr<xcb_get_property_reply_t> active(xcb_get_property_reply(m_connection,
            xcb_get_property(m_connection, false, m_root, m_atoms.netActiveWindow, XCB_ATOM_WINDOW, 0, 1), nullptr));
        if (active && active->format == 32 && xcb_get_property_value_length(active.get()) >= 4) {
            const xcb_window_t activeWindow = *static_cast<const xcb_window_t*>(xcb_get_property_value(active.get()));
            if (activeWindow != XCB_WINDOW_NONE && !m_tilingPanels.contains(activeWindow))
                m_focusToReturn = activeWindow;
        }
    } else {
        setAcceptsInput(id, true);
    }
    // "Globally Active ... clients can set the input focus ... in response to a button press,
    // using the time of that event" (ICCCM 4.1.7). KWin's focus stealing prevention refuses the
    // same through _NET_ACTIVE_WINDOW, which Qt sends for a managed panel so that the window
    // manager knows the panel is active; for one that bypasses it Qt sets the focus as well.
    xcb_set_input_focus(m_connection, XCB_INPUT_FOCUS_PARENT, id, time);
    xcb_flush(m_connection);
    window.requestActivate();
}

void X11PanelWindowTraits::returnFocus()
{
    const xcb_window_t window = std::exchange(m_focusToReturn, XCB_WINDOW_NONE);
    if (window == XCB_WINDOW_NONE)
        return;
    // IceWM and xfwm4 still hold the window active while a panel they do not manage has the
    // focus, and take its activation below for one already done: the focus goes back directly.
    xcb_set_input_focus(m_connection, XCB_INPUT_FOCUS_PARENT, window, XCB_CURRENT_TIME);
    // "Source indication should be 2 for pagers and other Clients that represent direct user
    // actions" (EWMH, _NET_ACTIVE_WINDOW): closing the panels is one, and the window manager
    // activates the window without weighing focus stealing.
    xcb_client_message_event_t message {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = m_atoms.netActiveWindow;
    message.data.data32[0] = 2;
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(m_connection, false, m_root,
        XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
        reinterpret_cast<const char*>(&message));
    xcb_flush(m_connection);
}

void X11PanelWindowTraits::handleFocusEvent(const xcb_focus_in_event_t& event, bool focusIn)
{
    // Focus changes that only come with a keyboard grab (the panels' own among them), and those
    // that follow the pointer, move nothing.
    if (event.mode == XCB_NOTIFY_MODE_GRAB || event.mode == XCB_NOTIFY_MODE_UNGRAB
        || event.detail == XCB_NOTIFY_DETAIL_POINTER || event.detail == XCB_NOTIFY_DETAIL_INFERIOR)
        return;
    if (focusIn && m_shownBypassingPanels.contains(event.event))
        m_focusedBypassingPanel = event.event;
    else if (!focusIn && event.event == m_focusedBypassingPanel)
        m_focusedBypassingPanel = XCB_WINDOW_NONE;
}

void X11PanelWindowTraits::raiseShownPanels()
{
    if (std::exchange(m_isRaisePending, true))
        return;
    // Once for the events at hand: a window manager restacks several windows at a time.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_isRaisePending = false;
            const quint32 above = XCB_STACK_MODE_ABOVE;
            for (xcb_window_t panel : std::as_const(m_shownBypassingPanels))
                xcb_configure_window(m_connection, panel, XCB_CONFIG_WINDOW_STACK_MODE, &above);
            const StackedBelow& stacked = m_stackedBelow;
            if (stacked.window && stacked.sibling && stacked.window->isVisible()
                && m_shownBypassingPanels.contains(stacked.above))
                restackBelow(stacked.below, stacked.above);
            xcb_flush(m_connection);
        },
        Qt::QueuedConnection);
}

void X11PanelWindowTraits::applyTraits(xcb_window_t window, PanelWindowRole role)
{
    static constexpr char wmClass[] = "gridlume\0Gridlume";
    xcb_change_property(
        m_connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, sizeof(wmClass), wmClass);

    if (role == PanelWindowRole::TilingPanel && !m_tilingPanelsBypassWindowManager) {
        // A panel is shown without taking the focus from the user's window. Qt asks for that
        // with _NET_WM_USER_TIME 0, which IceWM and Fluxbox do not honour; the input hint is what
        // every window manager honours: "False ... the client never wants focus assigned by the
        // window manager" (ICCCM 4.1.7, with WM_TAKE_FOCUS the Globally Active model, in which
        // the client sets the focus itself). The first click sets it back.
        setAcceptsInput(window, false);
        // EWMH: "0xFFFFFFFF indicates that the window SHOULD appear on all desktops."
        const quint32 allDesktops = 0xFFFFFFFF;
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, m_atoms.netWmDesktop, XCB_ATOM_CARDINAL, 32,
            1, &allDesktops);
        // Qt merges its own states into what it finds on the withdrawn window when it maps it.
        const UniqueCPtr<xcb_get_property_reply_t> states(xcb_get_property_reply(m_connection,
            xcb_get_property(m_connection, false, window, m_atoms.netWmState, XCB_ATOM_ATOM, 0, 64), nullptr));
        std::vector<xcb_atom_t> present;
        if (states && states->format == 32) {
            const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(states.get()));
            present.assign(atoms, atoms + xcb_get_property_value_length(states.get()) / 4);
        }
        // Sticky, and out of task bars and pagers: IceWM lists utility windows in its task bar.
        // "_NET_WM_STATE_SKIP_TASKBAR indicates that the window should not be included on a
        // taskbar."
        for (xcb_atom_t state : { m_atoms.netWmStateSticky, m_atoms.netWmStateSkipTaskbar, m_atoms.netWmStateSkipPager }) {
            if (std::find(present.begin(), present.end(), state) == present.end())
                xcb_change_property(
                    m_connection, XCB_PROP_MODE_APPEND, window, m_atoms.netWmState, XCB_ATOM_ATOM, 32, 1, &state);
        }
    }
    xcb_flush(m_connection);
}

void X11PanelWindowTraits::setAcceptsInput(xcb_window_t window, bool acceptsInput)
{
    // WM_HINTS: flags, input, initial_state, icon_pixmap, icon_window, icon_x, icon_y, icon_mask,
    // window_group; bit 0 of flags says that `input` is set.
    constexpr quint32 inputHint = 1;
    std::array<quint32, 9> hints {};
    const UniqueCPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(m_connection,
        xcb_get_property(m_connection, false, window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 0, 9), nullptr));
    if (reply && reply->format == 32) {
        const int count = std::min<int>(xcb_get_property_value_length(reply.get()) / 4, int(hints.size()));
        std::memcpy(hints.data(), xcb_get_property_value(reply.get()), std::size_t(count) * 4);
    }
    // Each panel leads a window group of its own (WM_HINTS' window_group, bit 6 of flags). KWin
    // hides the utility windows of a group while none of the group's windows is active (its
    // "hide utility windows for inactive applications", on by default), and Gridlume's windows
    // never are while the user works elsewhere; a utility window alone in its group stays.
    constexpr quint32 windowGroupHint = 1 << 6;
    if ((hints[0] & inputHint) && hints[1] == quint32(acceptsInput) && (hints[0] & windowGroupHint) && hints[8] == window)
        return;
    hints[0] |= inputHint | windowGroupHint;
    hints[1] = acceptsInput ? 1 : 0;
    hints[8] = window;
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32,
        quint32(hints.size()), hints.data());
    xcb_flush(m_connection);
}

void X11PanelWindowTraits::withdrawAttentionDemands()
{
    // A window manager that would give a new window the focus marks one that refuses it as
    // demanding attention (IceWM flashes its task bar button, KWin too): a panel shown without
    // the focus asks for nothing, so the state goes again. EWMH lets a client remove states of
    // its own windows through _NET_WM_STATE messages.
    std::vector<std::pair<xcb_window_t, xcb_get_property_cookie_t>> requests;
    for (xcb_window_t window : std::exchange(m_attentionChecks, {}))
        requests.emplace_back(
            window, xcb_get_property(m_connection, false, window, m_atoms.netWmState, XCB_ATOM_ATOM, 0, 64));
    for (const auto& [window, cookie] : requests) {
        const UniqueCPtr<xcb_get_property_reply_t> states(xcb_get_property_reply(m_connection, cookie, nullptr));
        if (!states || states->format != 32)
            continue;
        const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(states.get()));
        const int count = xcb_get_property_value_length(states.get()) / 4;
        if (std::find(atoms, atoms + count, m_atoms.netWmStateDemandsAttention) == atoms + count)
            continue;
        xcb_client_message_event_t message {};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window;
        message.type = m_atoms.netWmState;
        message.data.data32[0] = 0; // _NET_WM_STATE_REMOVE
        message.data.data32[1] = m_atoms.netWmStateDemandsAttention;
        message.data.data32[3] = 1; // an application
        xcb_send_event(m_connection, false, m_root,
            XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
            reinterpret_cast<const char*>(&message));
    }
    xcb_flush(m_connection);
}

void X11PanelWindowTraits::moveToCurrentDesktop(QWindow& window)
{
    if (!window.isVisible())
        return;
    const UniqueCPtr<xcb_get_property_reply_t> current(xcb_get_property_reply(m_connection,
        xcb_get_property(m_connection, false, m_root, m_atoms.netCurrentDesktop, XCB_ATOM_CARDINAL, 0, 1), nullptr));
    if (!current || current->format != 32 || xcb_get_property_value_length(current.get()) < 4)
        return;
    // EWMH: "A Client wishing to change the desktop of a window MUST send a _NET_WM_DESKTOP
    // client message to the root window"; data.l[1] is the source indication, 1 for an
    // application.
    xcb_client_message_event_t message {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = xcb_window_t(window.winId());
    message.type = m_atoms.netWmDesktop;
    message.data.data32[0] = *static_cast<const quint32*>(xcb_get_property_value(current.get()));
    message.data.data32[1] = 1;
    xcb_send_event(m_connection, false, m_root,
        XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
        reinterpret_cast<const char*>(&message));
    xcb_flush(m_connection);
}

void X11PanelWindowTraits::orderBelow(QWindow& window, QWindow& sibling)
{
    if (!window.isVisible() || !sibling.isVisible())
        return;
    const xcb_window_t below = stackedWindow(window);
    const xcb_window_t above = stackedWindow(sibling);
    if (below == XCB_WINDOW_NONE || above == XCB_WINDOW_NONE || below == above)
        return;
    m_stackedBelow = StackedBelow { &window, &sibling, below, above };
    // The sibling's raise goes through the window manager, which may restack its frame after
    // our request: its structure events say when, so the order can be restored.
    if (!isBypassingPanel(sibling) && above != m_watchedFrame) {
        const quint32 mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_connection, above, XCB_CW_EVENT_MASK, &mask);
        m_watchedFrame = above;
    }
    restackBelow(below, above);
}

void X11PanelWindowTraits::setNativeGeometry(QWindow& window, const QRect& nativeGeometry)
{
    if (!window.isVisible() || nativeGeometry.isEmpty())
        return;
    // On Qt's own connection, so the request follows Qt's configure of the logical geometry and
    // wins. Qt takes the result from the ConfigureNotify like any other move, and does not
    // configure the window again until it is given a new geometry.
    const std::array<quint32, 4> values { quint32(nativeGeometry.x()), quint32(nativeGeometry.y()),
        quint32(nativeGeometry.width()), quint32(nativeGeometry.height()) };
    xcb_configure_window(m_connection, xcb_window_t(window.winId()),
        XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, values.data());
    xcb_flush(m_connection);
}

xcb_window_t X11PanelWindowTraits::stackedWindow(QWindow& window) const
{
    const xcb_window_t id = xcb_window_t(window.winId());
    if (window.flags().testFlag(Qt::X11BypassWindowManagerHint))
        return id;
    return topLevelAncestor(id);
}

void X11PanelWindowTraits::restackBelow(xcb_window_t below, xcb_window_t above)
{
    // The preview bypasses the window manager, so the request goes straight to the server; the
    // sibling must be the panel's frame, a fellow child of the root.
    const std::array<quint32, 2> values { above, XCB_STACK_MODE_BELOW };
    if (m_shownBypassingPanels.contains(above)) {
        // Both windows are Gridlume's own and stay until Gridlume destroys them: nothing to wait for.
        xcb_configure_window(m_connection, below, XCB_CONFIG_WINDOW_SIBLING | XCB_CONFIG_WINDOW_STACK_MODE, values.data());
        xcb_flush(m_connection);
        return;
    }
    const UniqueCPtr<xcb_generic_error_t> error(xcb_request_check(m_connection,
        xcb_configure_window_checked(m_connection, below, XCB_CONFIG_WINDOW_SIBLING | XCB_CONFIG_WINDOW_STACK_MODE,
            values.data())));
    // A failure means a window vanished on the way (the panel was just hidden); nothing to do.
    Q_UNUSED(error);
}

void X11PanelWindowTraits::handleFrameConfigured(const xcb_configure_notify_event_t& event)
{
    const StackedBelow& stacked = m_stackedBelow;
    // Only the frame's own events (not its children's), and only when it moved away from the
    // window stacked below it.
    if (event.event != event.window || event.window != stacked.above || event.above_sibling == stacked.below)
        return;
    if (!stacked.window || !stacked.sibling || !stacked.window->isVisible() || !stacked.sibling->isVisible())
        return;
    restackBelow(stacked.below, stacked.above);
}

xcb_window_t X11PanelWindowTraits::topLevelAncestor(xcb_window_t window) const
{
    for (int depth = 0; depth < 8 && window != XCB_WINDOW_NONE; ++depth) {
        const UniqueCPtr<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, window), nullptr));
        if (!tree)
            return XCB_WINDOW_NONE;
        if (tree->parent == m_root || tree->parent == XCB_WINDOW_NONE)
            return window;
        window = tree->parent;
    }
    return XCB_WINDOW_NONE;
}

bool X11PanelWindowTraits::readCompositing() const
{
    const UniqueCPtr<xcb_get_selection_owner_reply_t> owner(xcb_get_selection_owner_reply(
        m_connection, xcb_get_selection_owner(m_connection, m_atoms.compositorSelection), nullptr));
    return owner && owner->owner != XCB_WINDOW_NONE;
}

bool X11PanelWindowTraits::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const quint8 type = event->response_type & ~0x80;
    if (type == XCB_FOCUS_IN || type == XCB_FOCUS_OUT) {
        handleFocusEvent(*reinterpret_cast<const xcb_focus_in_event_t*>(event), type == XCB_FOCUS_IN);
        return false;
    }
    if (type == XCB_CONFIGURE_NOTIFY) {
        handleFrameConfigured(*reinterpret_cast<const xcb_configure_notify_event_t*>(event));
        return false;
    }
    if (type == XCB_PROPERTY_NOTIFY) {
        const auto* property = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        // "_NET_CLIENT_LIST_STACKING has bottom-to-top stacking order" (EWMH) and changes with
        // every window the window manager maps or restacks, which may then be above the panels.
        if (property->window == m_root && property->atom == m_atoms.netClientListStacking
            && !m_shownBypassingPanels.isEmpty())
            raiseShownPanels();
        // A window manager writes the state several times while it manages a window: one check
        // once the events at hand are handled, not a round trip for each of them.
        if (property->atom == m_atoms.netWmState && m_tilingPanels.contains(property->window)) {
            if (m_attentionChecks.isEmpty())
                QMetaObject::invokeMethod(this, &X11PanelWindowTraits::withdrawAttentionDemands, Qt::QueuedConnection);
            m_attentionChecks.insert(property->window);
        }
        return false;
    }
    if (m_xfixesFirstEvent == 0 || type != m_xfixesFirstEvent + XCB_XFIXES_SELECTION_NOTIFY)
        return false;
    const auto* notify = reinterpret_cast<const xcb_xfixes_selection_notify_event_t*>(event);
    if (notify->selection != m_atoms.compositorSelection)
        return false;
    const bool compositing = notify->owner != XCB_WINDOW_NONE;
    if (compositing != m_isCompositing) {
        m_isCompositing = compositing;
        Q_EMIT compositingChanged();
    }
    // Qt watches selections of its own through XFixes; leave the event to it as well.
    return false;
}

} // namespace gridlume
