#include "X11WindowManagerBarrier.h"

#include "X11Connection.h"

namespace gridlume {

X11WindowManagerBarrier::X11WindowManagerBarrier(X11Connection& connection)
    : m_connection(connection)
{
    xcb_connection_t* c = connection.xcb();
    m_window = xcb_generate_id(c);
    const quint32 mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, m_window, connection.root(), -1, -1, 1, 1, 0,
        XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);

    xcb_client_message_event_t message {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = m_window;
    message.type = connection.atoms()._NET_REQUEST_FRAME_EXTENTS;
    xcb_send_event(c, 0, connection.root(), XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
        reinterpret_cast<const char*>(&message));
}

X11WindowManagerBarrier::~X11WindowManagerBarrier()
{
    xcb_destroy_window(m_connection.xcb(), m_window);
}

bool X11WindowManagerBarrier::isAnswer(const xcb_generic_event_t* event) const
{
    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
        return false;
    const auto* property = reinterpret_cast<const xcb_property_notify_event_t*>(event);
    return property->window == m_window && property->atom == m_connection.atoms()._NET_FRAME_EXTENTS
        && property->state == XCB_PROPERTY_NEW_VALUE;
}

} // namespace gridlume
