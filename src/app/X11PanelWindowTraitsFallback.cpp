#include "app/X11PanelWindowTraitsFallback.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>

namespace gridlume {

namespace {

    xcb_connection_t* qtConnection()
    {
        auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
        return x11 ? x11->connection() : nullptr;
    }

    xcb_atom_t atom(xcb_connection_t* connection, const char* name)
    {
        xcb_intern_atom_reply_t* reply
            = xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, quint16(strlen(name)), name), nullptr);
        const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return result;
    }

} // namespace

X11PanelWindowTraitsFallback::X11PanelWindowTraitsFallback(QObject* parent)
    : PanelWindowTraits(parent)
{
    xcb_connection_t* connection = qtConnection();
    if (!connection)
        return;
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const int screen = 0;
    (void)setup;
    const QByteArray selection = "_NET_WM_CM_S" + QByteArray::number(screen);
    xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, atom(connection, selection.constData())), nullptr);
    m_compositing = owner && owner->owner != XCB_WINDOW_NONE;
    std::free(owner);
}

void X11PanelWindowTraitsFallback::prepare(QWindow& window, PanelWindowRole role)
{
    if (!m_roles.contains(&window)) {
        window.installEventFilter(this);
        connect(&window, &QObject::destroyed, this, [this, &window] { m_roles.remove(&window); });
    }
    m_roles.insert(&window, role);
    applyTraits(window);
}

void X11PanelWindowTraitsFallback::applyTraits(QWindow& window)
{
    xcb_connection_t* connection = qtConnection();
    if (!connection || m_roles.value(&window) != PanelWindowRole::TilingPanel)
        return;
    // EWMH: "A Client MAY set _NET_WM_DESKTOP ... 0xFFFFFFFF indicates that the window SHOULD
    // appear on all desktops", read by the window manager when the window is mapped.
    const quint32 allDesktops = 0xFFFFFFFF;
    const xcb_window_t id = xcb_window_t(window.winId());
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, atom(connection, "_NET_WM_DESKTOP"),
        XCB_ATOM_CARDINAL, 32, 1, &allDesktops);
    const xcb_atom_t sticky = atom(connection, "_NET_WM_STATE_STICKY");
    xcb_change_property(
        connection, XCB_PROP_MODE_APPEND, id, atom(connection, "_NET_WM_STATE"), XCB_ATOM_ATOM, 32, 1, &sticky);
    xcb_flush(connection);
}

bool X11PanelWindowTraitsFallback::eventFilter(QObject* watched, QEvent* event)
{
    // Window managers drop _NET_WM_DESKTOP when a window is withdrawn; set it again before
    // every map.
    if (event->type() == QEvent::Show || event->type() == QEvent::PlatformSurface) {
        if (auto* window = qobject_cast<QWindow*>(watched); window && window->handle())
            applyTraits(*window);
    }
    return PanelWindowTraits::eventFilter(watched, event);
}

void X11PanelWindowTraitsFallback::orderBelow(QWindow& window, QWindow& sibling)
{
    xcb_connection_t* connection = qtConnection();
    if (!connection || !window.isVisible() || !sibling.isVisible())
        return;
    const quint32 values[] = { quint32(sibling.winId()), XCB_STACK_MODE_BELOW };
    xcb_configure_window(connection, xcb_window_t(window.winId()),
        XCB_CONFIG_WINDOW_SIBLING | XCB_CONFIG_WINDOW_STACK_MODE, values);
    xcb_flush(connection);
}

} // namespace gridlume
