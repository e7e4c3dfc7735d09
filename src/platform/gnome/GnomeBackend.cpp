#include "GnomeBackend.h"

#include "GnomePlatform.h"
#include "GnomeShellChannel.h"
#include "platform/x11/X11Backend.h"
#include "platform/x11/X11KeyEventTranslator.h"
#include "platform/x11/X11PanelWindowTraits.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

namespace gridlume {

namespace {

    // The platform with the window traits and the key event translator it was made with; both
    // outlive it.
    class GnomeBackendPlatform final : public BackendPlatform {
    public:
        GnomeBackendPlatform(std::unique_ptr<PanelWindowTraits> traits, UserDefaults& userDefaults, LogSink& logSink)
            : m_traits(std::move(traits))
            , m_gnome(userDefaults, logSink, *m_traits, m_keyEventTranslator)
        {
        }
        Platform& platform() override { return m_gnome.platform(); }
        GnomeShellChannel& channel() { return m_gnome.channel(); }

    private:
        std::unique_ptr<PanelWindowTraits> m_traits;
        X11KeyEventTranslator m_keyEventTranslator;
        GnomePlatform m_gnome;
    };

} // namespace

bool GnomeBackend::matchesEnvironment() const
{
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariable("XDG_CURRENT_DESKTOP")
               .split(u':')
               .contains(QLatin1String("GNOME"), Qt::CaseInsensitive);
}

bool GnomeBackend::appliesToSession() const
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface()->isServiceRegistered(QStringLiteral("org.gnome.Shell"));
}

std::optional<QString> GnomeBackend::windowProblem() const
{
    if (!X11Backend::displayProblem())
        return std::nullopt;
    return QStringLiteral("this GNOME session has no Xwayland display, which Gridlume's windows need; Gridlume "
                          "works in GNOME's Wayland session with Xwayland.");
}

std::unique_ptr<BackendPlatform> GnomeBackend::createPlatform(
    UserDefaults& userDefaults, LogSink& logSink, QString* errorMessage) const
{
    std::unique_ptr<X11PanelWindowTraits> traits = X11PanelWindowTraits::createManaged(errorMessage);
    if (!traits)
        return nullptr;
    return std::make_unique<GnomeBackendPlatform>(std::move(traits), userDefaults, logSink);
}

std::unique_ptr<BackendPlatform> GnomeBackend::createCommandPlatform(
    UserDefaults& userDefaults, LogSink& logSink, QString* errorMessage) const
{
    auto platform
        = std::make_unique<GnomeBackendPlatform>(std::make_unique<NoPanelWindowTraits>(), userDefaults, logSink);
    if (!platform->channel().isAvailable()) {
        *errorMessage = QStringLiteral("GNOME Shell's Gridlume extension does not run; turn it on with "
                                       "\"gnome-extensions enable %1\" or in the Extensions app")
                            .arg(GnomeShellChannel::extensionUuid);
        return nullptr;
    }
    return platform;
}

} // namespace gridlume
