#include "app/AppContainer.h"
#include "app/AppDelegate.h"
#include "permission/PermissionSetupWindowController.h"
#include "platform/sim/SimUrlOpener.h"
#include "settings_window/GridlumeSettingsView.h"
#include "settings_window/SettingsWindowController.h"
#include "tiling/WindowPlacementTilingPanelController.h"
#include "tracking/ForegroundApplicationStore.h"

#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

#include "SimSettingsTest.h"

using namespace gridlume;

namespace {

const KeyboardShortcut controlOptionSpace { 49, controlKey | optionKey };

// The whole program on the simulated desktop: a terminal to place, the delegate and the
// container wired like main() wires them, started by hand so that each test picks the order.
class AppShellTest : public ::testing::Test {
protected:
    AppShellTest()
        : platform(desktop.platform())
    {
        terminal = desktop.addApplication("Terminal", "org.example.Terminal");
        desktop.addWindow(terminal);
        desktop.setFrontmostApplication(terminal);
    }

    void storeShortcut(const KeyboardShortcut& shortcut)
    {
        desktop.platform().userDefaults.setObject(SettingsStore::tilingPanelKeyboardShortcutKey, shortcut.toJson());
    }

    void build()
    {
        delegate = std::make_unique<AppDelegate>(desktop.log());
        delegate->setSystemTrayAvailable([this] { return trayAvailable; });
        container = std::make_unique<AppContainer>(platform, appearance,
            AppContainer::Configuration { { AppcastUpdater::defaultFeedUrl(), "0.1.0" }, "0.1.0", QIcon() });
    }

    void start()
    {
        build();
        delegate->configure(*container);
        delegate->applicationDidFinishLaunching();
        SimDesktop::processEvents();
    }

    int trayIconCount() const { return int(delegate->findChildren<QSystemTrayIcon*>().size()) + (delegate->statusItem() ? 1 : 0); }
    WindowPlacementTilingPanelController& panels() { return container->windowPlacementTilingPanelController(); }
    PermissionSetupWindowController& permissionWindow() { return container->permissionSetupWindowController(); }

    SimDesktop desktop;
    Platform platform;
    RecordingAppearance appearance;
    bool trayAvailable = true;
    pid_t terminal = 0;
    std::unique_ptr<AppDelegate> delegate;
    std::unique_ptr<AppContainer> container;
};

class LaunchRendezvous : public AppShellTest, public ::testing::WithParamInterface<bool> { };

TEST_P(LaunchRendezvous, StartsOnceWhicheverComesSecond)
{
    const bool configureFirst = GetParam();
    storeShortcut(controlOptionSpace);
    build();

    if (configureFirst) {
        delegate->configure(*container);
        EXPECT_FALSE(delegate->didStartApplication()) << "configured, but launching has not finished";
        delegate->applicationDidFinishLaunching();
    } else {
        delegate->applicationDidFinishLaunching();
        EXPECT_FALSE(delegate->didStartApplication()) << "launched, but not configured";
        delegate->configure(*container);
    }
    SimDesktop::processEvents();
    QSystemTrayIcon* statusItem = delegate->statusItem();

    // Everything again: nothing more may be made.
    delegate->startApplicationIfNeeded();
    delegate->applicationDidFinishLaunching();
    delegate->configure(*container);
    SimDesktop::processEvents();

    EXPECT_TRUE(delegate->didStartApplication());
    ASSERT_NE(statusItem, nullptr);
    EXPECT_EQ(delegate->statusItem(), statusItem);
    EXPECT_EQ(trayIconCount(), 1);
    EXPECT_EQ(desktop.installedEventHandlerCount(), 1);
    EXPECT_TRUE(desktop.isHotKeyRegistered(controlOptionSpace.keyCode, controlOptionSpace.modifiers));
    EXPECT_TRUE(delegate->didStartForegroundApplicationTracking());
    EXPECT_TRUE(desktop.log().messages("AppDelegate").isEmpty());
}

INSTANTIATE_TEST_SUITE_P(AppDelegate, LaunchRendezvous, ::testing::Bool(),
    [](const auto& info) { return std::string(info.param ? "configureFirst" : "launchFirst"); });

// The permission window's own polling is covered with the window; here, what the shell does
// around it.
TEST_F(AppShellTest, WithoutPermissionTheShortcutAndALeftClickShowThePermissionWindowInstead)
{
    storeShortcut(controlOptionSpace);
    desktop.setTrusted(false);

    start();
    EXPECT_TRUE(permissionWindow().isPermissionWindowVisible());
    EXPECT_FALSE(delegate->didStartForegroundApplicationTracking());
    permissionWindow().hidePermissionWindow();

    EXPECT_TRUE(desktop.pressHotKey(controlOptionSpace.keyCode, controlOptionSpace.modifiers));
    EXPECT_TRUE(permissionWindow().isPermissionWindowVisible());
    permissionWindow().hidePermissionWindow();
    delegate->handleStatusItemActivation(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(permissionWindow().isPermissionWindowVisible());
    EXPECT_FALSE(panels().isAnyPanelVisible()) << "no tiling without the permission";

    desktop.setTrusted(true);
    desktop.pressHotKey(controlOptionSpace.keyCode, controlOptionSpace.modifiers);
    EXPECT_TRUE(delegate->didStartForegroundApplicationTracking()) << "tracking starts once the permission is there";
    EXPECT_TRUE(panels().isAnyPanelVisible());
}

TEST_F(AppShellTest, ALeftClickTogglesThePanelsTheMenuHasItsFourItemsAndOpeningItHidesThePanels)
{
    start();
    delegate->handleStatusItemActivation(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(panels().isAnyPanelVisible());
    // Two quick clicks come as a click and a double click: two toggles.
    delegate->handleStatusItemActivation(QSystemTrayIcon::DoubleClick);
    EXPECT_FALSE(panels().isAnyPanelVisible());

    QMenu* menu = delegate->statusItemMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(delegate->statusItem()->contextMenu(), menu);
    const QList<QAction*> actions = menu->actions();
    // Settings, Help, a line, Quit: what each of the first two does is checked below.
    ASSERT_EQ(actions.size(), 4);
    EXPECT_TRUE(actions[2]->isSeparator());
    EXPECT_EQ(actions[3]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));

    delegate->handleStatusItemActivation(QSystemTrayIcon::Trigger);
    menu->popup(QPoint(10, 10));
    EXPECT_FALSE(panels().isAnyPanelVisible()) << "hosts that open the menu on any click hide the panels too";
    menu->hide();

    actions[0]->trigger();
    EXPECT_TRUE(container->settingsWindowController().isSettingsWindowVisible());
    EXPECT_EQ(container->settingsWindowController().view()->selectedTab(), GridlumeSettingsView::SettingsTab::general);
    actions[1]->trigger();
    EXPECT_EQ(desktop.urlOpener().openedUrls(), QList<QUrl>({ QUrl(AppDelegate::helpPageUrl()) }));
}

TEST_F(AppShellTest, TerminationStopsThePollingTimerAndTheTracking)
{
    start();
    ASSERT_TRUE(container->foregroundApplicationStore().isTracking());
    desktop.setTrusted(false);
    delegate->handleStatusItemActivation(QSystemTrayIcon::Trigger);
    QPointer<QTimer> timer = permissionWindow().permissionCheckTimer();
    ASSERT_TRUE(timer && timer->isActive());

    delegate->applicationWillTerminate();

    EXPECT_TRUE(timer.isNull() || !timer->isActive());
    EXPECT_FALSE(permissionWindow().isPermissionWindowVisible());
    EXPECT_EQ(desktop.workspaceObserverCount(), 0);
}

// Without a tray and a shortcut a first-time user would have no way in, so the settings window
// opens at launch (the faults suite's damaged-file test sees it); with either, it stays closed.
class WithATrayOrAShortcut : public AppShellTest, public ::testing::WithParamInterface<bool> { };

TEST_P(WithATrayOrAShortcut, TheSettingsWindowStaysClosedAtLaunch)
{
    const bool hasShortcut = GetParam();
    trayAvailable = !hasShortcut;
    if (hasShortcut)
        storeShortcut(controlOptionSpace);

    start();

    EXPECT_FALSE(container->settingsWindowController().isSettingsWindowVisible());
    if (hasShortcut) {
        desktop.pressHotKey(controlOptionSpace.keyCode, controlOptionSpace.modifiers);
        EXPECT_TRUE(panels().isAnyPanelVisible()) << "the shortcut works without a tray";
    }
}

INSTANTIATE_TEST_SUITE_P(AppDelegate, WithATrayOrAShortcut, ::testing::Bool(),
    [](const auto& info) { return std::string(info.param ? "shortcutWithoutTray" : "trayWithoutShortcut"); });

} // namespace
