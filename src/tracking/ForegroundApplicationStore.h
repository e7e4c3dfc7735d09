#pragma once

#include "platform/RunningApplication.h"
#include "platform/Subscription.h"
#include "platform/Workspace.h"

#include <QObject>

#include <functional>
#include <optional>

namespace gridlume {

// Remembers the application that tiling acts on: the last application other than Gridlume that
// became active, until it quits.
class ForegroundApplicationStore : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString targetApplicationName READ targetApplicationName NOTIFY targetApplicationChanged)

public:
    explicit ForegroundApplicationStore(Workspace& workspace, QObject* parent = nullptr);
    ~ForegroundApplicationStore() override;

    // Never Gridlume itself.
    const std::optional<RunningApplication>& targetApplication() const { return m_targetApplication; }
    // The target's name, else its identifier, else "Choose a window".
    QString targetApplicationName() const;

    // Run after every change of the target made by the store, after targetApplicationChanged.
    // Set once by the tiling panel controller.
    void setOnTargetApplicationChanged(std::function<void()> callback) { m_onTargetApplicationChanged = std::move(callback); }

    // Follows activations and terminations from now on (registering only once however often it
    // is called) and adopts the frontmost application.
    void startTracking();
    // Ends the registrations and clears the target.
    void stopTracking();
    // Adopts the frontmost application, if there is one that is not Gridlume, and returns the
    // target as it then stands.
    const std::optional<RunningApplication>& refreshTargetApplication();

    bool isTracking() const { return m_activationObserver.isActive() || m_terminationObserver.isActive(); }

Q_SIGNALS:
    // Emitted only when the target really changes (another process instance, or none).
    void targetApplicationChanged();

private:
    void adoptTargetApplication(const RunningApplication& application);
    void handleApplicationTerminated(const RunningApplication& application);
    void setTargetApplication(std::optional<RunningApplication> application);

    Workspace& m_workspace;
    std::optional<RunningApplication> m_targetApplication;
    Subscription m_activationObserver;
    Subscription m_terminationObserver;
    std::function<void()> m_onTargetApplicationChanged;
};

} // namespace gridlume
