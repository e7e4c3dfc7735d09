#pragma once

#include "settings_window/AppcastUpdater.h"

#include <QIcon>
#include <QString>

#include <memory>

namespace gridlume {

class AppearanceApplier;
class ForegroundApplicationStore;
class HotKeyService;
class LayoutShortcutController;
class LayoutStore;
class PermissionSetupService;
class PermissionSetupWindowController;
class SettingsStore;
class SettingsWindowController;
class UIStates;
class UpdateResultPresenter;
class WindowPlacementService;
class WindowPlacementTilingPanelController;
struct Platform;

// Builds every long-lived service and controller exactly once, in a fixed order (later ones
// receive earlier ones), and owns them until the program ends. Main thread only.
class AppContainer {
public:
    struct Configuration {
        AppcastUpdater::Options updater;
        QString version;
        QIcon applicationIcon;
    };

    AppContainer(Platform& platform, AppearanceApplier& appearanceApplier, Configuration configuration);
    ~AppContainer();
    AppContainer(const AppContainer&) = delete;
    AppContainer& operator=(const AppContainer&) = delete;

    Platform& platform() const { return m_platform; }
    Updater& updaterController() const { return *m_updaterController; }
    ForegroundApplicationStore& foregroundApplicationStore() const { return *m_foregroundApplicationStore; }
    PermissionSetupService& permissionSetupService() const { return *m_permissionSetupService; }
    UIStates& uiStates() const { return *m_uiStates; }
    WindowPlacementService& windowPlacementService() const { return *m_windowPlacementService; }
    HotKeyService& hotKeyService() const { return *m_hotKeyService; }
    SettingsStore& settingsStore() const { return *m_settingsStore; }
    LayoutStore& layoutStore() const { return *m_layoutStore; }
    LayoutShortcutController& layoutShortcutController() const { return *m_layoutShortcutController; }
    PermissionSetupWindowController& permissionSetupWindowController() const
    {
        return *m_permissionSetupWindowController;
    }
    WindowPlacementTilingPanelController& windowPlacementTilingPanelController() const
    {
        return *m_windowPlacementTilingPanelController;
    }
    SettingsWindowController& settingsWindowController() const { return *m_settingsWindowController; }
    UpdateResultPresenter& updateResultPresenter() const { return *m_updateResultPresenter; }

private:
    // Declaration order is construction order.
    Platform& m_platform;
    std::unique_ptr<Updater> m_updaterController;
    std::unique_ptr<ForegroundApplicationStore> m_foregroundApplicationStore;
    std::unique_ptr<PermissionSetupService> m_permissionSetupService;
    std::unique_ptr<UIStates> m_uiStates;
    std::unique_ptr<WindowPlacementService> m_windowPlacementService;
    std::unique_ptr<HotKeyService> m_hotKeyService;
    std::unique_ptr<SettingsStore> m_settingsStore;
    std::unique_ptr<LayoutStore> m_layoutStore;
    std::unique_ptr<LayoutShortcutController> m_layoutShortcutController;
    std::unique_ptr<PermissionSetupWindowController> m_permissionSetupWindowController;
    std::unique_ptr<WindowPlacementTilingPanelController> m_windowPlacementTilingPanelController;
    std::unique_ptr<SettingsWindowController> m_settingsWindowController;
    std::unique_ptr<UpdateResultPresenter> m_updateResultPresenter;
};

} // namespace gridlume
