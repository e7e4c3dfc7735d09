#include "app/GridlumeDBusService.h"

#include "app/AppDelegate.h"
#include "app/GridlumeApp.h"
#include "app/InstanceChannel.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>

namespace gridlume {

GridlumeDBusService::GridlumeDBusService(GridlumeApp& app, LogSink& logSink, QObject* parent)
    : QObject(parent)
    , m_app(app)
    , m_logger(logSink, QStringLiteral("AppDelegate"))
{
}

GridlumeDBusService::~GridlumeDBusService()
{
    if (!m_isRegistered)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterObject(objectPath);
    bus.unregisterService(serviceName);
}

bool GridlumeDBusService::registerOnSessionBus()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        m_logger.info("No session bus; %s is not offered there", qUtf8Printable(serviceName));
        return false;
    }
    if (!bus.registerObject(objectPath, this, QDBusConnection::ExportAllSlots)) {
        m_logger.info("Cannot offer %s on the session bus", qUtf8Printable(objectPath));
        return false;
    }
    if (!bus.registerService(serviceName)) {
        m_logger.info("Another program has the name %s on the session bus: %s", qUtf8Printable(serviceName),
            qUtf8Printable(bus.lastError().message()));
        bus.unregisterObject(objectPath);
        return false;
    }
    m_isRegistered = true;
    return true;
}

void GridlumeDBusService::Toggle()
{
    m_app.handleInstanceCommand(InstanceChannel::toggleCommand);
}

void GridlumeDBusService::ShowSettings()
{
    m_app.handleInstanceCommand(InstanceChannel::showSettingsCommand);
}

void GridlumeDBusService::ShowHelp()
{
    m_app.appDelegate().openHelpPage();
}

void GridlumeDBusService::Quit()
{
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
}

void GridlumeDBusService::Place(const QString& grid, const QString& block, const QString& monitor)
{
    QString error;
    const auto request
        = PlacementRequest::parse(grid, block, monitor.isEmpty() ? QStringLiteral("current") : monitor, &error);
    if (!request) {
        sendErrorReply(QDBusError::InvalidArgs, error);
        return;
    }
    const WindowPlacementCommand::Outcome outcome = m_app.place(*request);
    if (!outcome.placed())
        sendErrorReply(QStringLiteral("org.gridlume.Gridlume.Error.NotPlaced"), outcome.reason());
}

} // namespace gridlume
