#pragma once

#include "platform/Backend.h"

namespace gridlume {

// X11 sessions: every session without a Wayland display.
class X11Backend final : public Backend {
public:
    bool matchesEnvironment() const override;
    bool appliesToSession() const override { return matchesEnvironment(); }
    std::optional<QString> windowProblem() const override { return displayProblem(); }
    std::unique_ptr<BackendPlatform> createPlatform(
        UserDefaults& userDefaults, LogSink& logSink, QString* errorMessage) const override;
    std::unique_ptr<BackendPlatform> createCommandPlatform(
        UserDefaults& userDefaults, LogSink& logSink, QString* errorMessage) const override;

    // Why $DISPLAY cannot be reached, in one line ("no X display (DISPLAY is not set); …"); none
    // when it can. Opens and closes a connection of its own.
    static std::optional<QString> displayProblem();
};

} // namespace gridlume
