#include "GnomeScreenProvider.h"

#include "GnomeShellChannel.h"
#include "platform/QtScreenSpace.h"

#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QScreen>

namespace gridlume {

namespace {

    Rect rectOf(const QJsonValue& value)
    {
        const QJsonObject object = value.toObject();
        return Rect(object.value(QStringLiteral("x")).toDouble(), object.value(QStringLiteral("y")).toDouble(),
            object.value(QStringLiteral("width")).toDouble(), object.value(QStringLiteral("height")).toDouble());
    }

} // namespace

GnomeScreenProvider::GnomeScreenProvider(GnomeShellChannel& channel, QObject* parent)
    : ScreenProvider(parent)
    , m_channel(channel)
{
    connect(&channel, &GnomeShellChannel::monitorsChanged, this, &GnomeScreenProvider::update);
    connect(&channel, &GnomeShellChannel::availabilityChanged, this, &GnomeScreenProvider::update);
    if (const auto answer = channel.callJson(QStringLiteral("Monitors")))
        m_screens = parseMonitors(*answer, &m_primaryOrigin);
    // Xwayland's screens follow the monitors; once Qt has heard of a change, names match again.
    // A placement from the command line has no Qt screens to match.
    if (qGuiApp) {
        connect(qGuiApp, &QGuiApplication::screenAdded, this, &GnomeScreenProvider::update);
        connect(qGuiApp, &QGuiApplication::screenRemoved, this, &GnomeScreenProvider::update);
    }
}

QList<Screen> GnomeScreenProvider::parseMonitors(const QJsonValue& monitors, QPointF* primaryOrigin)
{
    QList<DesktopScreen> desktopScreens;
    for (const QJsonValue& value : monitors.toObject().value(QStringLiteral("monitors")).toArray()) {
        const QJsonObject monitor = value.toObject();
        const Rect frame = rectOf(monitor.value(QStringLiteral("geometry")));
        // Shell numbers monitors by their order, which changes as they come and go; a monitor's
        // place is stable while it stays connected.
        const DesktopScreen screen { DisplayID(qHash(QStringLiteral("%1,%2").arg(frame.minX()).arg(frame.minY()))),
            frame, rectOf(monitor.value(QStringLiteral("workArea"))),
            QtScreenSpace::qtScreenNameAt(QRectF(frame.minX(), frame.minY(), frame.width(), frame.height())) };
        if (monitor.value(QStringLiteral("primary")).toBool())
            desktopScreens.prepend(screen);
        else
            desktopScreens.append(screen);
    }
    if (primaryOrigin && !desktopScreens.isEmpty())
        *primaryOrigin = QPointF(desktopScreens.first().frame.minX(), desktopScreens.first().frame.minY());
    return windowSystemScreens(desktopScreens);
}

void GnomeScreenProvider::update()
{
    QPointF origin = m_primaryOrigin;
    QList<Screen> updated;
    if (const auto answer = m_channel.callJson(QStringLiteral("Monitors")))
        updated = parseMonitors(*answer, &origin);
    if (updated == m_screens)
        return;
    m_screens = updated;
    m_primaryOrigin = origin;
    Q_EMIT screensChanged();
}

} // namespace gridlume
