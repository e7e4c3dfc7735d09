#pragma once

#include "settings_window/UpdateCheckResult.h"

#include <QObject>

#include <optional>

namespace gridlume {

// Finds out whether a newer Gridlume exists and tells the user where to get it. It never
// downloads or runs anything itself. Main thread only.
class Updater : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool automaticallyChecksForUpdates READ automaticallyChecksForUpdates WRITE
            setAutomaticallyChecksForUpdates NOTIFY automaticallyChecksForUpdatesChanged)
    Q_PROPERTY(bool canCheckForUpdates READ canCheckForUpdates NOTIFY canCheckForUpdatesChanged)

public:
    using QObject::QObject;
    ~Updater() override = default;

    // Whether a check runs by itself once a day. Persisted by the updater.
    virtual bool automaticallyChecksForUpdates() const = 0;
    virtual void setAutomaticallyChecksForUpdates(bool value) = 0;
    // False while a check is under way; a check asked for then is ignored.
    virtual bool canCheckForUpdates() const = 0;
    // The result of the last check that finished in this session.
    virtual std::optional<UpdateCheckResult> lastResult() const = 0;

    // Starts a check on the user's behalf. Returns at once; updateCheckFinished follows, from
    // the event loop, exactly once per check started.
    virtual void checkForUpdates() = 0;

Q_SIGNALS:
    void automaticallyChecksForUpdatesChanged();
    void canCheckForUpdatesChanged();
    // Emitted after canCheckForUpdates is true again.
    void updateCheckFinished(const gridlume::UpdateCheckResult& result);
};

} // namespace gridlume
