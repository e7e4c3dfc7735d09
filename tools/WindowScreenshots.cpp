// Renders the settings window (both tabs, light and dark), the permission window and a tiling
// grid in the middle of a drag offscreen and writes them as PNG files into the folder given as the first argument, for
// people to look at. Not a test: nothing is compared.
#include "hotkeys/HotKeyService.h"
#include "permission/PermissionSetupService.h"
#include "permission/PermissionSetupWindowController.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimKeyEventTranslator.h"
#include "platform/sim/SimUrlOpener.h"
#include "settings/SettingsStore.h"
#include "settings/UIStates.h"
#include "settings_window/AppcastUpdater.h"
#include "settings_window/GridlumeSettingsView.h"
#include "settings_window/QtAppearanceApplier.h"
#include "settings_window/SettingsWindowController.h"
#include "tiling/WindowPlacementTilingGridView.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QTextStream>
#include <QWidget>

using namespace gridlume;

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc < 2) {
        QTextStream(stderr) << "usage: window_screenshots <folder> [icon.svg]\n";
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(folder.path());
    const QIcon icon = argc > 2 ? QIcon(QString::fromLocal8Bit(argv[2])) : QIcon();
    QApplication::setWindowIcon(icon);

    SimDesktop desktop;
    SimKeyEventTranslator translator;
    QtAppearanceApplier appearance([] { return std::optional<bool>(); });
    HotKeyService hotKeys(desktop.platform().hotKeys, desktop.log());
    SettingsStore store(desktop.platform().userDefaults, hotKeys, appearance, desktop.log());
    (void)store.updateTilingPanelKeyboardShortcut({ 49, 0x1000 | 0x0800 });
    AppcastUpdater updater(desktop.platform().userDefaults, desktop.log(),
        { AppcastUpdater::defaultFeedUrl(), QStringLiteral(GRIDLUME_VERSION) });
    SettingsWindowController settings(store, updater, translator, desktop.platform().globalKeyMonitor,
        desktop.urlOpener(), desktop.platform().panelWindowTraits, QStringLiteral(GRIDLUME_VERSION), icon);
    PermissionSetupService permissionService(desktop.urlOpener());
    PermissionSetupWindowController permission(
        permissionService, desktop.platform().trust, desktop.platform().screens, desktop.platform().panelWindowTraits);

    // A drag from the first tile to the middle of the grid, so that the rubber band shows.
    UIStates uiStates;
    uiStates.setTileGridRowCount(3);
    uiStates.setTileGridColumnCount(3);
    WindowPlacementTilingGridView grid(1, uiStates);
    grid.setAutoFillBackground(true);
    grid.model().dragChanged({ 30, 30 }, { 200, 120 });

    QStringList written;
    for (AppAppearance mode : { AppAppearance::light, AppAppearance::dark }) {
        store.updateAppAppearance(mode);
        settings.showSettingsWindow();
        const QString suffix = rawValue(mode);
        QApplication::processEvents();
        const QString general = folder.filePath(QStringLiteral("settings-general-%1.png").arg(suffix));
        settings.window()->grab().save(general);
        settings.view()->setSelectedTab(GridlumeSettingsView::SettingsTab::about);
        QApplication::processEvents();
        const QString about = folder.filePath(QStringLiteral("settings-about-%1.png").arg(suffix));
        settings.window()->grab().save(about);
        permission.showPermissionWindow(std::nullopt);
        QApplication::processEvents();
        const QString permissionShot = folder.filePath(QStringLiteral("permission-%1.png").arg(suffix));
        permission.window()->grab().save(permissionShot);
        permission.hidePermissionWindow();
        const QString gridShot = folder.filePath(QStringLiteral("grid-drag-%1.png").arg(suffix));
        grid.grab().save(gridShot);
        written << general << about << permissionShot << gridShot;
    }
    QTextStream(stdout) << written.join(QLatin1Char('\n')) << '\n';
    return 0;
}
