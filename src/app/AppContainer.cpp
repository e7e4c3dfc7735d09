#include "app/AppContainer.h"

#include "hotkeys/HotKeyService.h"
#include "layouts/LayoutShortcutController.h"
#include "layouts/LayoutStore.h"
#include "permission/PermissionSetupService.h"
#include "permission/PermissionSetupWindowController.h"
#include "placement/WindowPlacementService.h"
#include "platform/Platform.h"
#include "settings/SettingsStore.h"
#include "settings/UIStates.h"
#include "settings_window/SettingsWindowController.h"
#include "settings_window/UpdateResultPresenter.h"
#include "tiling/WindowPlacementTilingPanelController.h"
#include "tracking/ForegroundApplicationStore.h"

#include <QPointer>

namespace gridlume {

AppContainer::AppContainer(Platform& platform, AppearanceApplier& appearanceApplier, Configuration configuration)
    : m_platform(platform)
    , m_updaterController(
          std::make_unique<AppcastUpdater>(platform.userDefaults, platform.logSink, std::move(configuration.updater)))
    , m_foregroundApplicationStore(std::make_unique<ForegroundApplicationStore>(platform.workspace))
    , m_permissionSetupService(std::make_unique<PermissionSetupService>(platform.urlOpener))
    , m_uiStates(std::make_unique<UIStates>())
    , m_windowPlacementService(std::make_unique<WindowPlacementService>(
          platform.accessibility, platform.screens, platform.workspace, platform.logSink))
    , m_hotKeyService(std::make_unique<HotKeyService>(platform.hotKeys, platform.logSink))
    , m_settingsStore(
          std::make_unique<SettingsStore>(platform.userDefaults, *m_hotKeyService, appearanceApplier, platform.logSink))
    , m_layoutStore(
          std::make_unique<LayoutStore>(platform.userDefaults, *m_hotKeyService, *m_settingsStore, platform.logSink))
    , m_layoutShortcutController(std::make_unique<LayoutShortcutController>(*m_layoutStore, *m_settingsStore,
          platform.accessibility, platform.screens, platform.workspace, platform.logSink))
    , m_permissionSetupWindowController(std::make_unique<PermissionSetupWindowController>(
          *m_permissionSetupService, platform.trust, platform.screens, platform.panelWindowTraits))
    , m_windowPlacementTilingPanelController(std::make_unique<WindowPlacementTilingPanelController>(
          platform, *m_foregroundApplicationStore, *m_settingsStore, *m_uiStates, *m_windowPlacementService))
    , m_settingsWindowController(std::make_unique<SettingsWindowController>(*m_settingsStore, *m_updaterController,
          platform.keyEventTranslator, platform.globalKeyMonitor, platform.urlOpener, platform.panelWindowTraits,
          configuration.version, configuration.applicationIcon))
    , m_updateResultPresenter(std::make_unique<UpdateResultPresenter>(*m_updaterController, platform.urlOpener,
          [settings = QPointer<SettingsWindowController>(m_settingsWindowController.get())]() -> QWidget* {
              return settings && settings->isSettingsWindowVisible() ? settings->window() : nullptr;
          }))
{
    m_settingsWindowController->setLayoutStore(*m_layoutStore);
    // The panels' settings button opens the same window as the tray menu.
    m_windowPlacementTilingPanelController->setOpenSettings(
        [settings = QPointer<SettingsWindowController>(m_settingsWindowController.get())] {
            if (settings)
                settings->showSettingsWindow();
        });
}

// The panels go before the services they use; the reverse of construction.
AppContainer::~AppContainer() = default;

} // namespace gridlume
