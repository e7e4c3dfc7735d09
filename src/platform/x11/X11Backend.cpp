#include "X11Backend.h"

#include "X11PanelWindowTraits.h"
#include "X11Platform.h"

#include <xcb/xcb.h>

namespace gridlume {

namespace {

    // The platform with the window traits it was made with; the traits outlive it.
    class X11BackendPlatform final : public BackendPlatform {
    public:
        X11BackendPlatform(std::unique_ptr<PanelWindowTraits> traits, std::unique_ptr<X11Platform> x11)
            : m_traits(std::move(traits))
            , m_x11(std::move(x11))
        {
        }
        Platform& platform() override { return m_x11->platform(); }

    private:
        std::unique_ptr<PanelWindowTraits> m_traits;
        std::unique_ptr<X11Platform> m_x11;
    };

    std::unique_ptr<BackendPlatform> create(
        std::unique_ptr<PanelWindowTraits> traits, UserDefaults& userDefaults, LogSink& logSink, QString* errorMessage)
    {
        std::unique_ptr<X11Platform> x11 = X11Platform::create(userDefaults, logSink, *traits, errorMessage);
        if (!x11)
            return nullptr;
        return std::make_unique<X11BackendPlatform>(std::move(traits), std::move(x11));
    }

} // namespace

bool X11Backend::matchesEnvironment() const
{
    return qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

std::optional<QString> X11Backend::displayProblem()
{
    const QByteArray display = qgetenv("DISPLAY");
    if (display.isEmpty())
        return QStringLiteral("no X display (DISPLAY is not set); Gridlume needs an X11 session");
    int screen = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screen);
    const bool failed = xcb_connection_has_error(connection) != 0;
    xcb_disconnect(connection);
    if (failed)
        return QStringLiteral("cannot open the X display \"%1\"").arg(QString::fromLocal8Bit(display));
    return std::nullopt;
}

std::unique_ptr<BackendPlatform> X11Backend::createPlatform(
    UserDefaults& userDefaults, LogSink& logSink, QString* errorMessage) const
{
    std::unique_ptr<X11PanelWindowTraits> traits = X11PanelWindowTraits::create();
    if (!traits) {
        *errorMessage = QStringLiteral("Qt does not draw through X11 here");
        return nullptr;
    }
    return create(std::move(traits), userDefaults, logSink, errorMessage);
}

std::unique_ptr<BackendPlatform> X11Backend::createCommandPlatform(
    UserDefaults& userDefaults, LogSink& logSink, QString* errorMessage) const
{
    if (const auto problem = displayProblem()) {
        *errorMessage = *problem;
        return nullptr;
    }
    return create(std::make_unique<NoPanelWindowTraits>(), userDefaults, logSink, errorMessage);
}

} // namespace gridlume
