#include "settings/AppAppearance.h"

namespace gridlume {

QString rawValue(AppAppearance appearance)
{
    switch (appearance) {
    case AppAppearance::light:
        return QStringLiteral("light");
    case AppAppearance::dark:
        return QStringLiteral("dark");
    case AppAppearance::system:
        break;
    }
    return QStringLiteral("system");
}

std::optional<AppAppearance> appAppearanceFromRawValue(const QString& value)
{
    for (AppAppearance appearance : allAppAppearances) {
        if (rawValue(appearance) == value)
            return appearance;
    }
    return std::nullopt;
}

} // namespace gridlume
