#include "X11ProcessLookup.h"

#include "UniqueCPtr.h"
#include "X11Connection.h"
#include "X11PropertyParsers.h"

#include <xcb/res.h>

namespace gridlume {

X11ProcessLookup::X11ProcessLookup(X11Connection& connection)
    : m_connection(connection)
{
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection.xcb(), &xcb_res_id);
    if (extension && extension->present) {
        // Client ids arrived in X-Resource 1.2.
        UniqueCPtr<xcb_res_query_version_reply_t> version(xcb_res_query_version_reply(
            connection.xcb(), xcb_res_query_version(connection.xcb(), 1, 2), nullptr));
        m_hasResourceExtension = version && (version->server_major > 1 || version->server_minor >= 2);
    }
}

pid_t X11ProcessLookup::processIdentifier(xcb_window_t window) const
{
    const std::vector<pid_t> pids = processIdentifiers(std::span<const xcb_window_t>(&window, 1));
    return pids.front();
}

std::vector<pid_t> X11ProcessLookup::processIdentifiers(std::span<const xcb_window_t> windows) const
{
    xcb_connection_t* c = m_connection.xcb();
    std::vector<xcb_res_query_client_ids_cookie_t> resourceCookies;
    std::vector<xcb_get_property_cookie_t> propertyCookies;
    for (xcb_window_t window : windows) {
        if (m_hasResourceExtension) {
            const xcb_res_client_id_spec_t spec { window, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID };
            resourceCookies.push_back(xcb_res_query_client_ids(c, 1, &spec));
        }
        propertyCookies.push_back(
            xcb_get_property(c, 0, window, m_connection.atoms()._NET_WM_PID, XCB_ATOM_CARDINAL, 0, 1));
    }

    std::vector<pid_t> result(windows.size(), 0);
    for (std::size_t i = 0; i < windows.size(); ++i) {
        if (m_hasResourceExtension) {
            UniqueCPtr<xcb_res_query_client_ids_reply_t> reply(
                xcb_res_query_client_ids_reply(c, resourceCookies[i], nullptr));
            if (reply) {
                for (auto it = xcb_res_query_client_ids_ids_iterator(reply.get()); it.rem;
                     xcb_res_client_id_value_next(&it)) {
                    if ((it.data->spec.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) && it.data->length == 4)
                        result[i] = pid_t(*xcb_res_client_id_value_value(it.data));
                }
            }
        }
        UniqueCPtr<xcb_get_property_reply_t> property(xcb_get_property_reply(c, propertyCookies[i], nullptr));
        if (result[i] == 0)
            result[i] = x11::parseProcessId(X11Connection::values32(property.get()));
    }
    return result;
}

} // namespace gridlume
