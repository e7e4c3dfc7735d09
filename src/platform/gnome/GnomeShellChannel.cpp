#include "GnomeShellChannel.h"

#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>

namespace gridlume {

GnomeShellChannel::GnomeShellChannel(LogSink& logSink, QDBusConnection bus, QObject* parent)
    : QObject(parent)
    , m_logger(logSink, QStringLiteral("GNOME"))
    , m_bus(std::move(bus))
    , m_watcher(serviceName, m_bus, QDBusServiceWatcher::WatchForOwnerChange)
{
    connect(&m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
        [this](const QString&, const QString&, const QString& newOwner) { setAvailable(!newOwner.isEmpty()); });
    const QString interface = serviceName;
    m_bus.connect(serviceName, objectPath, interface, QStringLiteral("WindowActivated"), this,
        SLOT(onWindowActivated(uint, int, QString)));
    // Sent to the connection that grabbed the shortcut alone.
    m_bus.connect(serviceName, objectPath, interface, QStringLiteral("Accelerator"), this, SLOT(onAccelerator(uint)));
    m_bus.connect(
        serviceName, objectPath, interface, QStringLiteral("MonitorsChanged"), this, SLOT(onMonitorsChanged()));
    m_isAvailable = m_bus.isConnected() && m_bus.interface()->isServiceRegistered(serviceName);
    if (!m_isAvailable)
        setAvailable(false);
}

void GnomeShellChannel::setAvailable(bool available)
{
    const bool changed = available != m_isAvailable;
    m_isAvailable = available;
    if (available) {
        m_didReportAbsence = false;
        m_didReportSilence = false;
        m_logger.info("GNOME Shell's Gridlume extension runs");
    } else if (!std::exchange(m_didReportAbsence, true)) {
        m_logger.error("GNOME Shell's Gridlume extension does not run, and only it can move windows and take "
                       "shortcuts in GNOME on Wayland: turn on Gridlume in the Extensions app, or run "
                       "\"gnome-extensions enable %s\" (after logging in again if Gridlume was installed during "
                       "this session). Gridlume goes on as soon as it runs.",
            qUtf8Printable(extensionUuid));
    }
    if (changed)
        Q_EMIT availabilityChanged(available);
}

QDBusMessage GnomeShellChannel::methodCall(const QString& method, const QVariantList& arguments) const
{
    QDBusMessage message = QDBusMessage::createMethodCall(serviceName, objectPath, serviceName, method);
    message.setArguments(arguments);
    return message;
}

std::optional<QVariantList> GnomeShellChannel::call(
    const QString& method, const QVariantList& arguments, std::chrono::milliseconds timeout)
{
    if (!m_isAvailable)
        return std::nullopt;
    const QDBusMessage reply = m_bus.call(methodCall(method, arguments), QDBus::Block, int(timeout.count()));
    if (reply.type() != QDBusMessage::ReplyMessage) {
        if (!std::exchange(m_didReportSilence, true))
            m_logger.error("GNOME Shell's Gridlume extension did not answer %s: %s", qUtf8Printable(method),
                qUtf8Printable(reply.errorMessage()));
        return std::nullopt;
    }
    m_didReportSilence = false;
    return reply.arguments();
}

std::optional<QJsonValue> GnomeShellChannel::callJson(const QString& method)
{
    const std::optional<QVariantList> reply = call(method);
    if (!reply || reply->isEmpty())
        return std::nullopt;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(reply->first().toString().toUtf8(), &error);
    if (error.error != QJsonParseError::NoError) {
        m_logger.error("GNOME Shell's Gridlume extension answered %s with no JSON: %s", qUtf8Printable(method),
            qUtf8Printable(error.errorString()));
        return std::nullopt;
    }
    return document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
}

void GnomeShellChannel::send(const QString& method, const QVariantList& arguments)
{
    if (m_isAvailable)
        m_bus.send(methodCall(method, arguments));
}

void GnomeShellChannel::callLater(const QString& method, const QVariantList& arguments, QObject* context,
    std::function<void(const std::optional<QVariantList>&)> onAnswer)
{
    if (!m_isAvailable) {
        QMetaObject::invokeMethod(
            context, [onAnswer] { onAnswer(std::nullopt); }, Qt::QueuedConnection);
        return;
    }
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(methodCall(method, arguments)), context);
    connect(watcher, &QDBusPendingCallWatcher::finished, context, [onAnswer](QDBusPendingCallWatcher* call) {
        call->deleteLater();
        const QDBusMessage reply = call->reply();
        onAnswer(reply.type() == QDBusMessage::ReplyMessage ? std::optional(reply.arguments()) : std::nullopt);
    });
}

void GnomeShellChannel::onWindowActivated(uint window, int pid, const QString& appId)
{
    Q_EMIT windowActivated(window, pid, appId);
}

void GnomeShellChannel::onAccelerator(uint action)
{
    Q_EMIT acceleratorActivated(action);
}

void GnomeShellChannel::onMonitorsChanged()
{
    Q_EMIT monitorsChanged();
}

} // namespace gridlume
