#pragma once

#include <QMetaType>
#include <QString>
#include <QUrl>

namespace gridlume {

// What one update check found.
struct UpdateCheckResult {
    enum class Status {
        // The feed lists no version newer than the running one.
        UpToDate,
        // `latestVersion` is newer; `pageUrl` (when valid) is where to get it.
        UpdateAvailable,
        // The feed could not be fetched or read; `errorDescription` says why.
        Failed,
    };

    Status status = Status::Failed;
    QString currentVersion;
    QString latestVersion;
    QUrl pageUrl;
    QString errorDescription;
    // The user asked for this check (as opposed to the daily automatic one).
    bool userInitiated = false;

    // One sentence for people: "Gridlume 0.1.0 is up to date.", …
    QString message() const;

    friend bool operator==(const UpdateCheckResult&, const UpdateCheckResult&) = default;
};

} // namespace gridlume

Q_DECLARE_METATYPE(gridlume::UpdateCheckResult)
