#include "X11ScreenProvider.h"

#include "UniqueCPtr.h"
#include "X11Connection.h"

#include <xcb/randr.h>

#include <algorithm>

namespace gridlume {

using x11::RootRect;

X11ScreenProvider::X11ScreenProvider(X11Connection& connection, LogSink& logSink, QObject* parent)
    : ScreenProvider(parent)
    , m_connection(connection)
    , m_logger(logSink, QStringLiteral("X11"))
{
    xcb_connection_t* c = connection.xcb();
    const xcb_query_extension_reply_t* randr = xcb_get_extension_data(c, &xcb_randr_id);
    if (randr && randr->present) {
        UniqueCPtr<xcb_randr_query_version_reply_t> version(
            xcb_randr_query_version_reply(c, xcb_randr_query_version(c, 1, 5), nullptr));
        m_hasMonitors = version && (version->major_version > 1 || version->minor_version >= 5);
        m_randrFirstEvent = randr->first_event;
        // Monitors defined with `xrandr --setmonitor` change nothing but the monitor list; the
        // server reports them as a screen change notification.
        xcb_randr_select_input(c, connection.root(),
            XCB_RANDR_NOTIFY_MASK_SCREEN_CHANGE | XCB_RANDR_NOTIFY_MASK_CRTC_CHANGE
                | XCB_RANDR_NOTIFY_MASK_OUTPUT_CHANGE | XCB_RANDR_NOTIFY_MASK_RESOURCE_CHANGE);
    }
    if (!m_hasMonitors)
        m_logger.error("RandR 1.5 is not available; treating the whole screen as one monitor");

    // Several changes usually come in a burst (a dock maps: the client list, its strut, the work
    // area); one refresh after the burst reports them as one change.
    m_refreshTimer.setSingleShot(true);
    m_refreshTimer.setInterval(0);
    connect(&m_refreshTimer, &QTimer::timeout, this, &X11ScreenProvider::refresh);

    connection.addEventListener(this);
    refresh();
}

X11ScreenProvider::~X11ScreenProvider() { m_connection.removeEventListener(this); }

QList<Screen> X11ScreenProvider::screens() const { return m_screens; }

void X11ScreenProvider::handleEvent(const xcb_generic_event_t* event)
{
    const quint8 type = event->response_type & 0x7f;
    if (m_randrFirstEvent
        && (type == m_randrFirstEvent + XCB_RANDR_SCREEN_CHANGE_NOTIFY || type == m_randrFirstEvent + XCB_RANDR_NOTIFY)) {
        scheduleRefresh();
        return;
    }
    if (type == XCB_CONFIGURE_NOTIFY) {
        if (reinterpret_cast<const xcb_configure_notify_event_t*>(event)->window == m_connection.root())
            scheduleRefresh();
        return;
    }
    if (type != XCB_PROPERTY_NOTIFY)
        return;
    const auto* property = reinterpret_cast<const xcb_property_notify_event_t*>(event);
    const X11Atoms& atoms = m_connection.atoms();
    if (property->window == m_connection.root()) {
        if (property->atom == atoms._NET_CLIENT_LIST || property->atom == atoms._NET_WORKAREA
            || property->atom == atoms._NET_CURRENT_DESKTOP || m_gtkWorkAreaAtoms.key(property->atom, ~0u) != ~0u)
            scheduleRefresh();
        return;
    }
    if (property->atom == atoms._NET_WM_STRUT_PARTIAL || property->atom == atoms._NET_WM_STRUT)
        scheduleRefresh();
}

void X11ScreenProvider::scheduleRefresh()
{
    if (!m_refreshTimer.isActive())
        m_refreshTimer.start();
}

void X11ScreenProvider::refresh()
{
    if (!m_connection.isUsable())
        return;
    const std::vector<Monitor> monitors = readMonitors();
    const std::vector<RootRect> visibleFrames = readVisibleFrames(monitors);

    QList<DesktopScreen> desktopScreens;
    const auto rect = [](const RootRect& root) {
        return Rect(double(root.x), double(root.y), double(root.width), double(root.height));
    };
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        DesktopScreen screen;
        if (monitors[i].name != XCB_ATOM_NONE)
            screen.displayID = DisplayID(monitors[i].name);
        screen.name = monitorName(monitors[i].name);
        screen.frame = rect(monitors[i].frame);
        screen.visibleFrame = rect(visibleFrames[i]);
        desktopScreens.append(screen);
    }
    const QList<Screen> screens = windowSystemScreens(desktopScreens);
    m_primary = monitors.empty() ? RootRect {} : monitors.front().frame;
    if (screens != m_screens) {
        m_screens = screens;
        Q_EMIT screensChanged();
    }
}

std::vector<X11ScreenProvider::Monitor> X11ScreenProvider::readMonitors()
{
    xcb_connection_t* c = m_connection.xcb();
    std::vector<Monitor> monitors;
    if (m_hasMonitors) {
        UniqueCPtr<xcb_randr_get_monitors_reply_t> reply(
            xcb_randr_get_monitors_reply(c, xcb_randr_get_monitors(c, m_connection.root(), 1), nullptr));
        if (reply) {
            for (auto it = xcb_randr_get_monitors_monitors_iterator(reply.get()); it.rem;
                 xcb_randr_monitor_info_next(&it)) {
                Monitor monitor { it.data->name, bool(it.data->primary),
                    RootRect { it.data->x, it.data->y, it.data->width, it.data->height } };
                // The primary monitor first, the others in the server's order.
                if (monitor.primary)
                    monitors.insert(monitors.begin(), monitor);
                else
                    monitors.push_back(monitor);
            }
        }
    }
    if (monitors.empty()) {
        UniqueCPtr<xcb_get_geometry_reply_t> root(
            xcb_get_geometry_reply(c, xcb_get_geometry(c, m_connection.root()), nullptr));
        if (root)
            monitors.push_back(Monitor { XCB_ATOM_NONE, true, RootRect { 0, 0, root->width, root->height } });
    }
    return monitors;
}

QString X11ScreenProvider::monitorName(xcb_atom_t atom)
{
    if (atom == XCB_ATOM_NONE)
        return QStringLiteral("screen");
    auto cached = m_monitorNames.constFind(atom);
    if (cached != m_monitorNames.constEnd())
        return *cached;
    xcb_connection_t* c = m_connection.xcb();
    UniqueCPtr<xcb_get_atom_name_reply_t> reply(xcb_get_atom_name_reply(c, xcb_get_atom_name(c, atom), nullptr));
    QString name = reply
        ? QString::fromUtf8(xcb_get_atom_name_name(reply.get()), xcb_get_atom_name_name_length(reply.get()))
        : QString::number(atom);
    m_monitorNames.insert(atom, name);
    return name;
}

std::vector<RootRect> X11ScreenProvider::readVisibleFrames(const std::vector<Monitor>& monitors)
{
    xcb_connection_t* c = m_connection.xcb();
    const X11Atoms& atoms = m_connection.atoms();
    const xcb_window_t root = m_connection.root();

    auto rootGeometryCookie = xcb_get_geometry(c, root);
    auto desktopCookie = xcb_get_property(c, 0, root, atoms._NET_CURRENT_DESKTOP, XCB_ATOM_CARDINAL, 0, 1);
    auto workAreaCookie = xcb_get_property(c, 0, root, atoms._NET_WORKAREA, XCB_ATOM_CARDINAL, 0, 4 * 64);
    auto clientListCookie = xcb_get_property(c, 0, root, atoms._NET_CLIENT_LIST, XCB_ATOM_WINDOW, 0, 65536);

    UniqueCPtr<xcb_get_geometry_reply_t> rootGeometry(xcb_get_geometry_reply(c, rootGeometryCookie, nullptr));
    UniqueCPtr<xcb_get_property_reply_t> desktopReply(xcb_get_property_reply(c, desktopCookie, nullptr));
    UniqueCPtr<xcb_get_property_reply_t> workAreaReply(xcb_get_property_reply(c, workAreaCookie, nullptr));
    UniqueCPtr<xcb_get_property_reply_t> clientListReply(xcb_get_property_reply(c, clientListCookie, nullptr));

    const std::vector<quint32> desktopValues = X11Connection::values32(desktopReply.get());
    const quint32 desktop = desktopValues.empty() ? 0 : desktopValues.front();
    x11::WorkAreaHints hints;
    hints.rootWidth = rootGeometry ? rootGeometry->width : 0;
    hints.rootHeight = rootGeometry ? rootGeometry->height : 0;
    hints.workArea = x11::desktopWorkArea(X11Connection::values32(workAreaReply.get()), desktop);

    // Per-monitor work areas, as GTK-aware window managers publish them.
    if (!m_gtkWorkAreaAtoms.contains(desktop)) {
        const QByteArray name = "_GTK_WORKAREAS_D" + QByteArray::number(desktop);
        UniqueCPtr<xcb_intern_atom_reply_t> atom(
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, name.size(), name.constData()), nullptr));
        m_gtkWorkAreaAtoms.insert(desktop, atom ? atom->atom : xcb_atom_t(XCB_ATOM_NONE));
    }
    UniqueCPtr<xcb_get_property_reply_t> gtkReply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, root, m_gtkWorkAreaAtoms.value(desktop), XCB_ATOM_CARDINAL, 0, 4 * 64), nullptr));
    hints.gtkWorkAreas = X11Connection::values32(gtkReply.get());

    // Every client's strut, measured from the root window's edges. A window manager that keeps
    // a client list is one whose docks' struts are in force.
    hints.hasClientList = clientListReply && clientListReply->type == XCB_ATOM_WINDOW;
    if (hints.gtkWorkAreas.empty() && hints.hasClientList) {
        struct Cookies {
            quint32 client;
            xcb_get_property_cookie_t partial, legacy, type;
        };
        std::vector<Cookies> cookies;
        for (quint32 client : X11Connection::values32(clientListReply.get())) {
            cookies.push_back({ client,
                xcb_get_property(c, 0, client, atoms._NET_WM_STRUT_PARTIAL, XCB_ATOM_CARDINAL, 0, 12),
                xcb_get_property(c, 0, client, atoms._NET_WM_STRUT, XCB_ATOM_CARDINAL, 0, 4),
                xcb_get_property(c, 0, client, atoms._NET_WM_WINDOW_TYPE, XCB_ATOM_ATOM, 0, 16) });
        }
        for (const Cookies& cookie : cookies) {
            UniqueCPtr<xcb_get_property_reply_t> partial(xcb_get_property_reply(c, cookie.partial, nullptr));
            UniqueCPtr<xcb_get_property_reply_t> legacy(xcb_get_property_reply(c, cookie.legacy, nullptr));
            UniqueCPtr<xcb_get_property_reply_t> type(xcb_get_property_reply(c, cookie.type, nullptr));
            const auto strut = x11::parseStrut(X11Connection::values32(partial.get()),
                X11Connection::values32(legacy.get()), hints.rootWidth, hints.rootHeight);
            if (strut)
                hints.struts.push_back(*strut);
            // Only docks and windows with a strut are watched, so a strut that changes later is
            // seen; every other window's property changes (titles, user times, icons) would
            // wake Gridlume for nothing. A strut set later on any other window shows up as the
            // window manager's new _NET_WORKAREA.
            const std::vector<quint32> types = X11Connection::values32(type.get());
            if (strut || std::find(types.begin(), types.end(), atoms._NET_WM_WINDOW_TYPE_DOCK) != types.end())
                m_connection.watchClientWindow(cookie.client);
        }
    }

    std::vector<RootRect> result;
    for (const Monitor& monitor : monitors)
        result.push_back(x11::visibleFrameOfMonitor(monitor.frame, hints));
    return result;
}

} // namespace gridlume
