#include "Backends.h"

#include "platform/x11/X11Backend.h"
#ifdef GRIDLUME_HAS_KWIN
#include "platform/kwin/KWinBackend.h"
#endif
#ifdef GRIDLUME_HAS_GNOME
#include "platform/gnome/GnomeBackend.h"
#endif

#include <array>

namespace gridlume {

namespace {

    const X11Backend x11Backend;
#ifdef GRIDLUME_HAS_KWIN
    const KWinBackend kwinBackend;
#endif
#ifdef GRIDLUME_HAS_GNOME
    const GnomeBackend gnomeBackend;
#endif

    // In the order they are asked: GNOME's session is a Wayland session too.
    const auto backends = std::to_array<const Backend*>({
#ifdef GRIDLUME_HAS_GNOME
        &gnomeBackend,
#endif
#ifdef GRIDLUME_HAS_KWIN
        &kwinBackend,
#endif
        &x11Backend,
    });

    QString unsupportedSession()
    {
        // Other Wayland compositors give a program no way to move other programs' windows.
        return QStringLiteral("this Wayland session's compositor is neither KDE Plasma's KWin nor GNOME Shell, and no "
                              "other lets Gridlume move windows; Gridlume works in X11 sessions, in KDE Plasma's "
                              "Wayland session and in GNOME's.");
    }

} // namespace

const Backend* Backends::forEnvironment(QString* problem)
{
    for (const Backend* backend : backends) {
        if (backend->matchesEnvironment())
            return backend;
    }
    *problem = unsupportedSession();
    return nullptr;
}

const Backend* Backends::forSession(QString* problem)
{
    for (const Backend* backend : backends) {
        if (backend->matchesEnvironment() && backend->appliesToSession())
            return backend;
    }
    *problem = unsupportedSession();
    return nullptr;
}

} // namespace gridlume
