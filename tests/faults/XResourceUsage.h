#pragma once

#include <QMap>
#include <QString>

#include <sys/types.h>

#include <xcb/xcb.h>

namespace gridlume::test {

// The X resources (windows, pixmaps, graphics contexts, pictures, fonts, …) that the server
// holds for every connection of one process, as the X-Resource extension counts them (what
// xrestop shows).
struct XResourceUsage {
    int clients = 0;
    QMap<QString, quint32> countByType;
    quint64 pixmapBytes = 0;

    quint64 total() const;

    // The usage of `pid`'s connections, read on `connection`. No clients when the server lacks
    // the extension or the process has no connection.
    static XResourceUsage ofProcess(xcb_connection_t* connection, pid_t pid);
};

} // namespace gridlume::test
