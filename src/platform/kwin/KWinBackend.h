#pragma once

#include "platform/Backend.h"

namespace gridlume {

// KDE Plasma's Wayland session: a Wayland display whose compositor serves KWin's scripting on
// the session bus. Gridlume's own windows are X11 windows on KWin's Xwayland, with the X11
// backend's window traits and key event translator; their tiling panels are managed by KWin,
// which gives the keyboard to an Xwayland window only when it manages it.
class KWinBackend final : public Backend {
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
