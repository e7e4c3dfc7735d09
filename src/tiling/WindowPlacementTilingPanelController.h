#pragma once

#include "placement/WindowPlacementRegion.h"
#include "platform/KeyEvent.h"
#include "platform/Log.h"
#include "platform/Platform.h"
#include "platform/Screens.h"
#include "platform/Subscription.h"

#include <QObject>
#include <QSize>

#include <functional>
#include <map>
#include <memory>
#include <optional>

class QKeyEvent;

namespace gridlume {

class ForegroundApplicationStore;
class SettingsStore;
class SpotlightLikePanel;
class UIStates;
class WindowPlacementPreviewPanel;
class WindowPlacementService;
class WindowPlacementTilingPanelView;

// Owns the tiling panels: one floating panel per screen with a display ID, centred on the
// screen's visible frame, and the one placement preview. Turns the grids' hover and drag into the
// preview and their selections into window placement, closes the panels on Escape (a first Escape
// during a drag only cancels the drag) or from their close button, and rebuilds them when the
// screens change while they are shown. Main thread only.
class WindowPlacementTilingPanelController : public QObject {
    Q_OBJECT
public:
    static constexpr QSize panelSize { 304, 326 };

    WindowPlacementTilingPanelController(const Platform& platform,
        ForegroundApplicationStore& foregroundApplicationStore, SettingsStore& settingsStore, UIStates& uiStates,
        WindowPlacementService& windowPlacementService, QObject* parent = nullptr);
    ~WindowPlacementTilingPanelController() override;

    // Adopts the frontmost application as the target, builds fresh panels for the current
    // screens, centres them and shows them in front without activating Gridlume, and starts
    // watching for Escape.
    void showPanels();
    // Hides the preview and the panels and stops watching for Escape. The panels are kept until
    // the next build.
    void hidePanels();
    // True when at least one panel is shown.
    bool isAnyPanelVisible() const;

    // Passed to every panel's settings button; opens the settings window and brings it to front.
    void setOpenSettings(std::function<void()> action) { m_openSettings = std::move(action); }

    // State, for the application shell and tests ---------------------------------------------------
    // The screen whose grid shows the preview; none while the preview is hidden.
    std::optional<DisplayID> previewDisplayID() const { return m_previewDisplayID; }
    // The display IDs of the panels of the last build, ascending.
    QList<DisplayID> panelDisplayIDs() const;
    SpotlightLikePanel* panel(DisplayID displayID) const;
    WindowPlacementTilingPanelView* panelView(DisplayID displayID) const;
    WindowPlacementPreviewPanel& windowPlacementPreviewPanel() const { return *m_windowPlacementPreviewPanel; }
    bool hasKeyDownMonitors() const
    {
        return m_localKeyDownMonitor.isActive() || m_globalKeyDownMonitor.isActive();
    }

private:
    struct PanelDeleter {
        void operator()(SpotlightLikePanel* panel) const;
    };
    struct ScreenPanelPair {
        Screen screen;
        std::unique_ptr<SpotlightLikePanel, PanelDeleter> panel;
    };

    void rebuildScreenPanels();
    void centreAndOrderFrontPanels();
    std::optional<DisplayID> resolveDisplayID(const Screen& screen) const;
    std::unique_ptr<SpotlightLikePanel, PanelDeleter> makePanel(DisplayID displayID);
    void installKeyDownMonitors();
    void removeKeyDownMonitors();
    bool handleLocalKeyDown(const QKeyEvent& event);
    void handleGlobalKeyDown(const KeyEvent& event);
    void handleEscapeKey();
    void hidePreview();
    void handleTilePreviewChanged(const std::optional<WindowPlacementRegion>& region, DisplayID displayID);
    void handleTileSelected(const WindowPlacementRegion& region, DisplayID displayID);
    void placeFocusedWindow(const std::optional<RunningApplication>& targetApplication, const Screen& screen,
        const WindowPlacementRegion& region, bool keep);
    void screenParametersDidChange();
    void orderPreviewBelow(SpotlightLikePanel& panel);

    Logger m_logger;
    ForegroundApplicationStore& m_foregroundApplicationStore;
    SettingsStore& m_settingsStore;
    UIStates& m_uiStates;
    std::unique_ptr<WindowPlacementPreviewPanel> m_windowPlacementPreviewPanel;
    WindowPlacementService& m_windowPlacementService;
    ScreenProvider& m_screens;
    GlobalKeyMonitor& m_globalKeyMonitor;
    PanelWindowTraits& m_panelWindowTraits;
    const KeyEventTranslator& m_keyEventTranslator;
    std::function<void()> m_openSettings;
    std::map<DisplayID, ScreenPanelPair> m_screenPanels;
    std::optional<DisplayID> m_previewDisplayID;
    // The screens whose visible frame was last found unusable, as logged.
    QList<Screen> m_reportedFallbacks;
    Subscription m_localKeyDownMonitor;
    Subscription m_globalKeyDownMonitor;
};

} // namespace gridlume
