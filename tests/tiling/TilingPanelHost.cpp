// The tiling panels of Gridlume on a real X display, wired the way the application wires them,
// for the end-to-end tests: the X11 backend, the panel controller and its services, with the
// panel shortcut Control-Option-G (Ctrl+Alt+G) toggling the panels. Settings live in a file of
// their own; the log goes to standard error.
//
//   gridlume_tiling_panel_host [--dark] <settings file> [<ready descriptor>]
//
// --dark draws the panels with a dark palette, for looking at them in both appearances.
// Writes "ready" to the descriptor once the shortcut is registered and the event loop runs.
// Exits 2 when there is no X display to draw on.
#include "hotkeys/HotKeyService.h"
#include "hotkeys/KeyboardShortcut.h"
#include "placement/WindowPlacementService.h"
#include "platform/IniUserDefaults.h"
#include "platform/x11/X11PanelWindowTraits.h"
#include "platform/x11/X11Platform.h"
#include "settings/SettingsStore.h"
#include "settings/UIStates.h"
#include "tiling/WindowPlacementTilingPanelController.h"
#include "tracking/ForegroundApplicationStore.h"

#include <QApplication>
#include <QPalette>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

using namespace gridlume;

namespace {

class NoAppearance final : public AppearanceApplier {
public:
    void applyAppearance(AppAppearance) override { }
};

constexpr quint32 kVK_ANSI_G = 0x05;

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QStringList arguments = application.arguments();
    if (arguments.removeAll(QStringLiteral("--dark")) > 0) {
        QPalette dark;
        dark.setColor(QPalette::Window, QColor(40, 40, 42));
        dark.setColor(QPalette::WindowText, QColor(235, 235, 235));
        dark.setColor(QPalette::Base, QColor(30, 30, 32));
        dark.setColor(QPalette::Text, QColor(235, 235, 235));
        dark.setColor(QPalette::Button, QColor(52, 52, 54));
        dark.setColor(QPalette::ButtonText, QColor(235, 235, 235));
        QApplication::setPalette(dark);
    }
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: gridlume_tiling_panel_host <settings file>\n");
        return 2;
    }
    StandardErrorLogSink log;
    IniUserDefaults userDefaults(log, arguments.at(1));
    const std::unique_ptr<X11PanelWindowTraits> traits = X11PanelWindowTraits::create();
    if (!traits) {
        std::fprintf(stderr, "gridlume_tiling_panel_host: Qt does not draw on X11\n");
        return 2;
    }
    QString error;
    const std::unique_ptr<X11Platform> backend = X11Platform::create(userDefaults, log, *traits, &error);
    if (!backend) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 2;
    }
    Platform& platform = backend->platform();

    HotKeyService hotKeyService(platform.hotKeys, log);
    NoAppearance appearance;
    SettingsStore settingsStore(platform.userDefaults, hotKeyService, appearance, platform.logSink);
    UIStates uiStates;
    ForegroundApplicationStore foregroundApplicationStore(platform.workspace);
    WindowPlacementService placementService(platform.accessibility, platform.screens, platform.workspace, log);

    WindowPlacementTilingPanelController controller(
        platform, foregroundApplicationStore, settingsStore, uiStates, placementService);
    if (auto failure = settingsStore.setTilingPanelHotKeyHandler([&controller] {
            if (controller.isAnyPanelVisible())
                controller.hidePanels();
            else
                controller.showPanels();
        })) {
        std::fprintf(stderr, "gridlume_tiling_panel_host: the shortcut handler was refused\n");
        return 3;
    }
    if (auto failure = settingsStore.updateTilingPanelKeyboardShortcut({ kVK_ANSI_G, controlKey | optionKey })) {
        std::fprintf(stderr, "gridlume_tiling_panel_host: the shortcut was refused\n");
        return 3;
    }
    foregroundApplicationStore.startTracking();
    if (arguments.size() > 2) {
        const int readyDescriptor = arguments.at(2).toInt();
        QTimer::singleShot(0, [readyDescriptor] {
            const ssize_t written = ::write(readyDescriptor, "ready\n", 6);
            Q_UNUSED(written);
            ::close(readyDescriptor);
        });
    }
    return application.exec();
}
