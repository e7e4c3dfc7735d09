#include "XResourceUsage.h"
#include "X11TestDesktop.h"

#include <vector>

#include <xcb/res.h>

namespace gridlume::test {

namespace {

    QString atomName(xcb_connection_t* c, xcb_atom_t atom)
    {
        Reply<xcb_get_atom_name_reply_t> reply(xcb_get_atom_name_reply(c, xcb_get_atom_name(c, atom), nullptr));
        if (!reply)
            return QString::number(atom);
        return QString::fromLatin1(xcb_get_atom_name_name(reply.get()), xcb_get_atom_name_name_length(reply.get()));
    }

} // namespace

quint64 XResourceUsage::total() const
{
    quint64 sum = 0;
    for (quint32 count : countByType)
        sum += count;
    return sum;
}

XResourceUsage XResourceUsage::ofProcess(xcb_connection_t* c, pid_t pid)
{
    XResourceUsage usage;
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_res_id);
    if (!extension || !extension->present)
        return usage;
    Reply<xcb_res_query_clients_reply_t> clients(xcb_res_query_clients_reply(c, xcb_res_query_clients(c), nullptr));
    if (!clients)
        return usage;

    std::vector<xcb_res_client_t> all(xcb_res_query_clients_clients(clients.get()),
        xcb_res_query_clients_clients(clients.get()) + xcb_res_query_clients_clients_length(clients.get()));
    std::vector<xcb_res_query_client_ids_cookie_t> idCookies;
    for (const xcb_res_client_t& client : all) {
        const xcb_res_client_id_spec_t spec { client.resource_base, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID };
        idCookies.push_back(xcb_res_query_client_ids(c, 1, &spec));
    }
    std::vector<xcb_res_client_t> ours;
    for (std::size_t i = 0; i < all.size(); ++i) {
        Reply<xcb_res_query_client_ids_reply_t> ids(xcb_res_query_client_ids_reply(c, idCookies[i], nullptr));
        if (!ids)
            continue;
        for (auto it = xcb_res_query_client_ids_ids_iterator(ids.get()); it.rem; xcb_res_client_id_value_next(&it)) {
            if ((it.data->spec.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) && it.data->length == 4
                && pid_t(*xcb_res_client_id_value_value(it.data)) == pid)
                ours.push_back(all[i]);
        }
    }

    usage.clients = int(ours.size());
    for (const xcb_res_client_t& client : ours) {
        Reply<xcb_res_query_client_resources_reply_t> resources(xcb_res_query_client_resources_reply(
            c, xcb_res_query_client_resources(c, client.resource_base), nullptr));
        if (resources) {
            const xcb_res_type_t* types = xcb_res_query_client_resources_types(resources.get());
            for (int i = 0; i < xcb_res_query_client_resources_types_length(resources.get()); ++i)
                usage.countByType[atomName(c, types[i].resource_type)] += types[i].count;
        }
        Reply<xcb_res_query_client_pixmap_bytes_reply_t> pixmaps(xcb_res_query_client_pixmap_bytes_reply(
            c, xcb_res_query_client_pixmap_bytes(c, client.resource_base), nullptr));
        if (pixmaps)
            usage.pixmapBytes += pixmaps->bytes;
    }
    return usage;
}

} // namespace gridlume::test
