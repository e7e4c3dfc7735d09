#pragma once

#include "platform/Log.h"
#include "platform/Screens.h"

#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>

#include <functional>
#include <memory>
#include <optional>

class QMenu;

namespace gridlume {

class AppContainer;
class ForegroundApplicationStore;
class PermissionSetupService;
class PermissionSetupWindowController;
class LayoutShortcutController;
class SettingsStore;
class SettingsWindowController;
class Updater;
class UrlOpener;
class WindowPlacementTilingPanelController;
struct Platform;

// Runs the program: starts it once both the container has been handed over and the event loop
// has begun (in either order), owns the tray icon and its menu, gates every tiling action on the
// permission to act on other windows, and tears down at the end. Main thread only.
class AppDelegate : public QObject {
    Q_OBJECT
public:
    static QString helpPageUrl();

    explicit AppDelegate(LogSink& logSink, QObject* parent = nullptr);
    ~AppDelegate() override;

    // Takes the services it drives from the container; starts the program if the event loop
    // already runs.
    void configure(AppContainer& container);
    // The event loop has started; starts the program if it is configured.
    void applicationDidFinishLaunching();
    // The program is about to end: hides the permission window (ending its poll) and stops
    // following the active application.
    void applicationWillTerminate();

    // Creates the tray icon and its menu, installs the panel shortcut's handler and checks the
    // permission once. Does its work once, and only when configured.
    void startApplicationIfNeeded();
    void setUpTilingPanelHotKeyHandler();
    // True when the program may act on other windows; otherwise shows the permission window (on
    // `screen` when given). The first check that finds the permission starts following the
    // active application.
    bool checkAccessibilityPermission(const std::optional<Screen>& screen);
    void toggleTilingPanel();

    // The tray icon was clicked: a left click toggles the panels behind the permission gate;
    // a right click (the menu opens) hides them.
    void handleStatusItemActivation(QSystemTrayIcon::ActivationReason reason);
    void openSettings();
    void openHelpPage();

    // Whether the desktop shows tray icons; replaceable for tests.
    void setSystemTrayAvailable(std::function<bool()> isAvailable) { m_isSystemTrayAvailable = std::move(isAvailable); }

    QSystemTrayIcon* statusItem() const { return m_statusItem.get(); }
    QMenu* statusItemMenu() const { return m_statusItemMenu.get(); }
    bool isConfigured() const { return m_isConfigured; }
    bool didFinishLaunching() const { return m_didFinishLaunching; }
    bool didSetupStatusItem() const { return m_didSetupStatusItem; }
    bool didStartForegroundApplicationTracking() const { return m_didStartForegroundApplicationTracking; }
    bool didStartApplication() const { return m_didStartApplication; }

private:
    void setUpStatusItem();
    void buildStatusItemMenu();
    std::optional<Screen> screenOfStatusItem() const;

    Logger m_logger;
    const Platform* m_platform = nullptr;
    Updater* m_updaterController = nullptr;
    QPointer<ForegroundApplicationStore> m_foregroundApplicationStore;
    PermissionSetupService* m_permissionSetupService = nullptr;
    QPointer<WindowPlacementTilingPanelController> m_floatingPanelController;
    QPointer<PermissionSetupWindowController> m_permissionSetupWindowController;
    QPointer<SettingsStore> m_settingsStore;
    LayoutShortcutController* m_layoutShortcutController = nullptr;
    QPointer<SettingsWindowController> m_settingsWindowController;
    std::unique_ptr<QSystemTrayIcon> m_statusItem;
    std::unique_ptr<QMenu> m_statusItemMenu;
    std::function<bool()> m_isSystemTrayAvailable;
    bool m_isConfigured = false;
    bool m_didFinishLaunching = false;
    bool m_didSetupStatusItem = false;
    bool m_didStartForegroundApplicationTracking = false;
    bool m_didStartApplication = false;
};

} // namespace gridlume
