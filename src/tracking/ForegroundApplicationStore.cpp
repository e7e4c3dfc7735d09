#include "tracking/ForegroundApplicationStore.h"

#include <QPointer>

namespace gridlume {

ForegroundApplicationStore::ForegroundApplicationStore(Workspace& workspace, QObject* parent)
    : QObject(parent)
    , m_workspace(workspace)
{
}

// The subscriptions end with the store, so the workspace never calls into a dead store.
ForegroundApplicationStore::~ForegroundApplicationStore() = default;

QString ForegroundApplicationStore::targetApplicationName() const
{
    if (m_targetApplication) {
        const auto& name = m_targetApplication->localizedName();
        if (name && !name->isEmpty())
            return *name;
        const auto& identifier = m_targetApplication->bundleIdentifier();
        if (identifier && !identifier->isEmpty())
            return *identifier;
    }
    return QStringLiteral("Choose a window");
}

void ForegroundApplicationStore::startTracking()
{
    // The reactions run in a task of their own, after the workspace's delivery has returned,
    // and only while the store exists.
    auto deliver = [this](void (ForegroundApplicationStore::*reaction)(const RunningApplication&)) {
        return [store = QPointer(this), reaction](const WorkspaceNotificationInfo& info) {
            if (!store || !info.application)
                return;
            QMetaObject::invokeMethod(
                store.data(), [store, reaction, application = *info.application] { (store->*reaction)(application); },
                Qt::QueuedConnection);
        };
    };
    if (!m_activationObserver.isActive()) {
        m_activationObserver = m_workspace.addObserver(WorkspaceNotification::DidActivateApplication,
            deliver(&ForegroundApplicationStore::adoptTargetApplication));
    }
    if (!m_terminationObserver.isActive()) {
        m_terminationObserver = m_workspace.addObserver(WorkspaceNotification::DidTerminateApplication,
            deliver(&ForegroundApplicationStore::handleApplicationTerminated));
    }
    refreshTargetApplication();
}

void ForegroundApplicationStore::stopTracking()
{
    m_activationObserver.cancel();
    m_terminationObserver.cancel();
    if (m_targetApplication)
        setTargetApplication(std::nullopt);
}

const std::optional<RunningApplication>& ForegroundApplicationStore::refreshTargetApplication()
{
    if (const auto frontmost = m_workspace.frontmostApplication())
        adoptTargetApplication(*frontmost);
    return m_targetApplication;
}

void ForegroundApplicationStore::adoptTargetApplication(const RunningApplication& application)
{
    // Gridlume activating itself (its settings window, say) never becomes the target.
    if (application.processIdentifier() == m_workspace.currentProcessIdentifier())
        return;
    if (m_targetApplication && m_targetApplication->processIdentifier() == application.processIdentifier())
        return;
    setTargetApplication(application);
}

void ForegroundApplicationStore::handleApplicationTerminated(const RunningApplication& application)
{
    if (m_targetApplication && m_targetApplication->processIdentifier() == application.processIdentifier())
        setTargetApplication(std::nullopt);
}

void ForegroundApplicationStore::setTargetApplication(std::optional<RunningApplication> application)
{
    const bool changed = m_targetApplication != application;
    m_targetApplication = std::move(application);
    if (changed)
        Q_EMIT targetApplicationChanged();
    if (m_onTargetApplicationChanged)
        m_onTargetApplicationChanged();
}

} // namespace gridlume
