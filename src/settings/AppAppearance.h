#pragma once

#include <QString>

#include <array>
#include <optional>

namespace gridlume {

enum class AppAppearance {
    light,
    dark,
    system,
};

inline constexpr std::array<AppAppearance, 3> allAppAppearances { AppAppearance::light, AppAppearance::dark,
    AppAppearance::system };

// "light", "dark", "system".
QString rawValue(AppAppearance appearance);
// The case with exactly this raw value; none for any other text ("Dark" included).
std::optional<AppAppearance> appAppearanceFromRawValue(const QString& rawValue);

// Applies an appearance to the whole program: light, dark, or (system) whatever the desktop
// prefers. The Qt implementation lives with the application; tests record the calls.
class AppearanceApplier {
public:
    virtual ~AppearanceApplier() = default;
    virtual void applyAppearance(AppAppearance appearance) = 0;
};

} // namespace gridlume
