#include "X11ApplicationResolver.h"

#include "platform/linux/ProcessStartTime.h"
#include "UniqueCPtr.h"
#include "X11Connection.h"
#include "X11ProcessLookup.h"
#include "X11PropertyParsers.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPixmap>

namespace gridlume {

X11ApplicationResolver::X11ApplicationResolver(X11Connection& connection, X11ProcessLookup& processLookup)
    : m_connection(connection)
    , m_processLookup(processLookup)
{
}

std::optional<RunningApplication> X11ApplicationResolver::applicationOfWindow(xcb_window_t window)
{
    if (window == XCB_WINDOW_NONE)
        return std::nullopt;
    const pid_t pid = m_processLookup.processIdentifier(window);
    if (pid <= 0)
        return std::nullopt;
    const std::optional<quint64> startTime = processStartTime(pid);
    if (!startTime)
        return std::nullopt;
    const auto key = qMakePair(pid, *startTime);
    auto cached = m_cache.constFind(key);
    if (cached != m_cache.constEnd())
        return *cached;
    RunningApplication application = describe(pid, *startTime, window);
    m_cache.insert(key, application);
    return application;
}

RunningApplication X11ApplicationResolver::describe(pid_t pid, quint64 startTime, xcb_window_t window)
{
    xcb_connection_t* c = m_connection.xcb();
    // Read and split here rather than through xcb_icccm_get_wm_class_reply(), which trusts the
    // client to have terminated both strings.
    UniqueCPtr<xcb_get_property_reply_t> wmClassReply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 2048), nullptr));
    x11::WmClass wmClass;
    if (wmClassReply && wmClassReply->type == XCB_ATOM_STRING && wmClassReply->format == 8) {
        wmClass = x11::parseWmClass(QByteArrayView(static_cast<const char*>(xcb_get_property_value(wmClassReply.get())),
            xcb_get_property_value_length(wmClassReply.get())));
    }
    const QString& instanceName = wmClass.instanceName;
    const QString& className = wmClass.className;

    ApplicationNaming naming = nameApplication(m_desktopEntries.find(instanceName, className), className, pid);
    if (naming.icon.isNull())
        naming.icon = windowIcon(window);
    return RunningApplication(pid, startTime, naming.name, naming.identifier, naming.icon);
}

QIcon X11ApplicationResolver::windowIcon(xcb_window_t window) const
{
    xcb_connection_t* c = m_connection.xcb();
    UniqueCPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(c,
        xcb_get_property(
            c, 0, window, m_connection.atoms()._NET_WM_ICON, XCB_ATOM_CARDINAL, 0, x11::kWindowIconPropertyItems),
        nullptr));
    const std::vector<quint32> values = X11Connection::values32(reply.get());
    QIcon icon;
    for (const x11::WindowIconImage& entry : x11::parseWindowIcons(values)) {
        QImage image(int(entry.width), int(entry.height), QImage::Format_ARGB32);
        for (quint32 y = 0; y < entry.height; ++y) {
            const std::span<const quint32> row = entry.argb.subspan(std::size_t(y) * entry.width, entry.width);
            std::copy(row.begin(), row.end(), reinterpret_cast<quint32*>(image.scanLine(int(y))));
        }
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

} // namespace gridlume
