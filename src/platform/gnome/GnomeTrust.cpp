#include "GnomeTrust.h"

#include "GnomeShellChannel.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>

namespace gridlume {

bool GnomeTrust::isProcessTrusted() const
{
    return m_channel.isAvailable();
}

std::optional<TrustGuide> GnomeTrust::guide() const
{
    const auto tr = [](const char* text) { return QCoreApplication::translate("GnomeTrust", text); };
    return TrustGuide {
        tr("Turn On Gridlume in GNOME"),
        tr("Gridlume moves windows through its GNOME Shell extension. Turn it on in Extensions, or run "
           "\"gnome-extensions enable %1\". If Gridlume was installed during this session, log out and "
           "back in first.")
            .arg(GnomeShellChannel::extensionUuid),
        tr("Open Extensions"),
        tr("Open Extensions"),
        &GnomeTrust::openExtensionsApp,
    };
}

bool GnomeTrust::openExtensionsApp()
{
    const QString application = QStringLiteral("org.gnome.Extensions");
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QDBusReply<QStringList> activatable = bus.interface()->call(QStringLiteral("ListActivatableNames"));
    if (!activatable.isValid() || !activatable.value().contains(application))
        return false;
    // org.freedesktop.Application, which GNOME's applications answer when the bus starts them.
    QDBusMessage activate = QDBusMessage::createMethodCall(application, QStringLiteral("/org/gnome/Extensions"),
        QStringLiteral("org.freedesktop.Application"), QStringLiteral("Activate"));
    activate << QVariantMap();
    return bus.send(activate);
}

} // namespace gridlume
