#include "X11ApplicationResolver.h"

#include "ProcessStartTime.h"
#include "UniqueCPtr.h"
#include "X11Connection.h"
#include "X11ProcessLookup.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPixmap>

#include <xcb/xcb_icccm.h>

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
    QString instanceName;
    QString className;
    xcb_icccm_get_wm_class_reply_t wmClass;
    if (xcb_icccm_get_wm_class_reply(c, xcb_icccm_get_wm_class(c, window), &wmClass, nullptr)) {
        instanceName = QString::fromLocal8Bit(wmClass.instance_name);
        className = QString::fromLocal8Bit(wmClass.class_name);
        xcb_icccm_get_wm_class_reply_wipe(&wmClass);
    }

    std::optional<QString> name;
    std::optional<QString> identifier;
    QIcon icon;
    if (const std::optional<DesktopEntry> entry = m_desktopEntries.find(instanceName, className)) {
        identifier = entry->id;
        if (!entry->name.isEmpty())
            name = entry->name;
        if (QFileInfo(entry->icon).isAbsolute())
            icon = QIcon(entry->icon);
        else if (!entry->icon.isEmpty())
            icon = QIcon::fromTheme(entry->icon);
    }
    if (!name && !className.isEmpty())
        name = className;
    if (!name) {
        QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
        if (comm.open(QIODevice::ReadOnly)) {
            const QString command = QString::fromLocal8Bit(comm.readAll().trimmed());
            if (!command.isEmpty())
                name = command;
        }
    }
    if (icon.isNull())
        icon = windowIcon(window);
    return RunningApplication(pid, startTime, name, identifier, icon);
}

QIcon X11ApplicationResolver::windowIcon(xcb_window_t window) const
{
    xcb_connection_t* c = m_connection.xcb();
    // Enough for a 256×256 icon and its smaller variants.
    constexpr quint32 maxItems = 2 + 256 * 256 + 2 + 128 * 128 + 2 + 64 * 64 + 2 + 48 * 48 + 2 + 32 * 32 + 2 + 16 * 16;
    UniqueCPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, m_connection.atoms()._NET_WM_ICON, XCB_ATOM_CARDINAL, 0, maxItems), nullptr));
    const std::vector<quint32> values = X11Connection::values32(reply.get());
    // "an array of 32bit packed CARDINAL ARGB with high byte being A, low byte being B. The
    // first two cardinals are width, height."
    QIcon icon;
    std::size_t i = 0;
    while (i + 2 <= values.size()) {
        const quint32 width = values[i];
        const quint32 height = values[i + 1];
        const std::size_t count = std::size_t(width) * height;
        if (width == 0 || height == 0 || width > 1024 || height > 1024 || i + 2 + count > values.size())
            break;
        QImage image(int(width), int(height), QImage::Format_ARGB32);
        for (quint32 y = 0; y < height; ++y) {
            auto* line = reinterpret_cast<quint32*>(image.scanLine(int(y)));
            std::copy_n(values.begin() + std::ptrdiff_t(i + 2 + std::size_t(y) * width), width, line);
        }
        icon.addPixmap(QPixmap::fromImage(image));
        i += 2 + count;
    }
    return icon;
}

} // namespace gridlume
