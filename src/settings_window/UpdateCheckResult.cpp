#include "settings_window/UpdateCheckResult.h"

#include <QCoreApplication>

namespace gridlume {

QString UpdateCheckResult::message() const
{
    switch (status) {
    case Status::UpToDate:
        return QCoreApplication::translate("UpdateCheckResult", "Gridlume %1 is up to date.").arg(currentVersion);
    case Status::UpdateAvailable:
        return QCoreApplication::translate("UpdateCheckResult", "Gridlume %1 is available (you have %2).")
            .arg(latestVersion, currentVersion);
    case Status::Failed:
        break;
    }
    return QCoreApplication::translate("UpdateCheckResult", "Could not check for updates: %1").arg(errorDescription);
}

} // namespace gridlume
