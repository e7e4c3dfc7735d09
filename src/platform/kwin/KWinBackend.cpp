#include "KWinBackend.h"

#include "KWinPlatform.h"
#include "platform/x11/X11Backend.h"
#include "platform/x11/X11KeyEventTranslator.h"
#include "platform/x11/X11PanelWindowTraits.h"

namespace gridlume {

namespace {

    // The platform with the window traits and the key event translator it was made with; both
    // outlive it.
    class KWinBackendPlatform final : public BackendPlatform {
    public:
        explicit KWinBackendPlatform(std::unique_ptr<PanelWindowTraits> traits)
            : m_traits(std::move(traits))
        {
        }
        bool open(UserDefaults& userDefaults, LogSink& logSink, QString* errorMessage)
        {
            m_kwin = KWinPlatform::create(userDefaults, logSink, *m_traits, m_keyEventTranslator, errorMessage);
            return m_kwin != nullptr;
        }
        Platform& platform() override { return m_kwin->platform(); }

    private:
        std::unique_ptr<PanelWindowTraits> m_traits;
        X11KeyEventTranslator m_keyEventTranslator;
        std::unique_ptr<KWinPlatform> m_kwin;
    };

    std::unique_ptr<BackendPlatform> create(
        std::unique_ptr<PanelWindowTraits> traits, UserDefaults& userDefaults, LogSink& logSink, QString* errorMessage)
    {
        auto platform = std::make_unique<KWinBackendPlatform>(std::move(traits));
        if (!platform->open(userDefaults, logSink, errorMessage))
            return nullptr;
        return platform;
    }

} // namespace

bool KWinBackend::matchesEnvironment() const
{
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

bool KWinBackend::appliesToSession() const
{
    return KWinPlatform::isKWinWaylandSession();
}

std::optional<QString> KWinBackend::windowProblem() const
{
    if (!X11Backend::displayProblem())
        return std::nullopt;
    return QStringLiteral("this Wayland session has no Xwayland display, which Gridlume's windows need; Gridlume "
                          "works in X11 sessions and in KDE Plasma's Wayland session with Xwayland.");
}

std::unique_ptr<BackendPlatform> KWinBackend::createPlatform(
    UserDefaults& userDefaults, LogSink& logSink, QString* errorMessage) const
{
    std::unique_ptr<X11PanelWindowTraits> traits = X11PanelWindowTraits::createManaged(errorMessage);
    if (!traits)
        return nullptr;
    return create(std::move(traits), userDefaults, logSink, errorMessage);
}

std::unique_ptr<BackendPlatform> KWinBackend::createCommandPlatform(
    UserDefaults& userDefaults, LogSink& logSink, QString* errorMessage) const
{
    return create(std::make_unique<NoPanelWindowTraits>(), userDefaults, logSink, errorMessage);
}

} // namespace gridlume
