#pragma once

#include <QDBusVariant>
#include <QObject>

#include <optional>

namespace gridlume {

// The desktop's light/dark preference, read from the freedesktop settings portal
// (org.freedesktop.appearance color-scheme) on the session bus, and followed as it changes.
// Asks asynchronously so that the start does not wait on the bus. Without a bus or a portal it
// simply never has a preference.
class ColorSchemePortal : public QObject {
    Q_OBJECT
public:
    enum class ColorScheme {
        noPreference,
        preferDark,
        preferLight,
    };

    explicit ColorSchemePortal(QObject* parent = nullptr);

    // None until the portal has answered (and for ever without one).
    std::optional<ColorScheme> colorScheme() const { return m_colorScheme; }

    // The portal's number: 1 dark, 2 light, anything else no preference.
    static ColorScheme colorSchemeFromPortalValue(uint value);

Q_SIGNALS:
    void colorSchemeChanged();

private Q_SLOTS:
    void handleSettingChanged(const QString& settingNamespace, const QString& key, const QDBusVariant& value);

private:
    void setColorScheme(ColorScheme scheme);

    std::optional<ColorScheme> m_colorScheme;
};

} // namespace gridlume
