#pragma once

#include "platform/Backend.h"

namespace gridlume {

// GNOME's Wayland session: a Wayland display, GNOME named in XDG_CURRENT_DESKTOP, and GNOME Shell
// on the session bus. Gridlume's own windows are X11 windows on Mutter's Xwayland, with the X11
// backend's window traits and key event translator; their tiling panels are managed by Mutter,
// which gives the keyboard to an Xwayland window only when it manages it. The extension need not
// run yet for the program (Gridlume waits for it); a placement from the command line needs it.
class GnomeBackend final : public Backend {
public:
    bool matchesEnvironment() const override;
    bool appliesToSession() const override;
    std::optional<QString> windowProblem() const override;
    std::unique_ptr<BackendPlatform> createPlatform(
        UserDefaults& userDefaults, LogSink& logSink, QString* errorMessage) const override;
    std::unique_ptr<BackendPlatform> createCommandPlatform(
        UserDefaults& userDefaults, LogSink& logSink, QString* errorMessage) const override;
};

} // namespace gridlume
