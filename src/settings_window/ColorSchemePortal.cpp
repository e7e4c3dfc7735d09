#include "settings_window/ColorSchemePortal.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace gridlume {

namespace {

    const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
    const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
    const QString settingsInterface = QStringLiteral("org.freedesktop.portal.Settings");
    const QString appearanceNamespace = QStringLiteral("org.freedesktop.appearance");
    const QString colorSchemeKey = QStringLiteral("color-scheme");

    // Read() wraps the value in one variant more than ReadOne(); unwrap whatever nesting there is.
    QVariant unwrapped(QVariant value)
    {
        while (value.canConvert<QDBusVariant>() && value.metaType() == QMetaType::fromType<QDBusVariant>())
            value = value.value<QDBusVariant>().variant();
        return value;
    }

} // namespace

ColorSchemePortal::ColorSchemePortal(QObject* parent)
    : QObject(parent)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    bus.connect(portalService, portalPath, settingsInterface, QStringLiteral("SettingChanged"), this,
        SLOT(handleSettingChanged(QString, QString, QDBusVariant)));
    // Read() rather than ReadOne(): older portals have only the former.
    QDBusMessage call = QDBusMessage::createMethodCall(portalService, portalPath, settingsInterface, QStringLiteral("Read"));
    call << appearanceNamespace << colorSchemeKey;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* finished) {
        finished->deleteLater();
        const QDBusPendingReply<QVariant> reply = *finished;
        if (reply.isError())
            return;
        bool ok = false;
        const uint value = unwrapped(reply.value()).toUInt(&ok);
        if (ok)
            setColorScheme(colorSchemeFromPortalValue(value));
    });
}

ColorSchemePortal::ColorScheme ColorSchemePortal::colorSchemeFromPortalValue(uint value)
{
    switch (value) {
    case 1:
        return ColorScheme::preferDark;
    case 2:
        return ColorScheme::preferLight;
    default:
        return ColorScheme::noPreference;
    }
}

void ColorSchemePortal::handleSettingChanged(
    const QString& settingNamespace, const QString& key, const QDBusVariant& value)
{
    if (settingNamespace != appearanceNamespace || key != colorSchemeKey)
        return;
    bool ok = false;
    const uint number = unwrapped(value.variant()).toUInt(&ok);
    if (ok)
        setColorScheme(colorSchemeFromPortalValue(number));
}

void ColorSchemePortal::setColorScheme(ColorScheme scheme)
{
    if (m_colorScheme == scheme)
        return;
    m_colorScheme = scheme;
    Q_EMIT colorSchemeChanged();
}

} // namespace gridlume
