#pragma once

#include "placement/WindowPlacementRegion.h"
#include "platform/KeyEvent.h"
#include "platform/Log.h"
#include "platform/Platform.h"
#include "platform/Screens.h"
#include "platform/Subscription.h"
#include "tiling/TilingGridKeyboardCursor.h"

#include <QObject>
#include <QSize>

#include <functional>
#include <map>
#include <memory>
#include <optional>

class QKeyEvent;
class QWindow;

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
// during a drag only cancels the drag) or from their close button, and rebuilds or re-centres them
// when the screens change while they are shown. While the panels are shown it also holds the
// keyboard (without taking the focus from the user's window) and lets the keys choose a block on
// the panel of one screen, with the same preview, highlight and selection as the pointer; the
// pointer takes over from the keys and the keys continue from where the pointer was. Main
// thread only.
class WindowPlacementTilingPanelController : public QObject {
    Q_OBJECT
public:
    static constexpr QSize panelSize { 304, 326 };

    WindowPlacementTilingPanelController(const Platform& platform,
        ForegroundApplicationStore& foregroundApplicationStore, SettingsStore& settingsStore, UIStates& uiStates,
        WindowPlacementService& windowPlacementService, QObject* parent = nullptr);
    ~WindowPlacementTilingPanelController() override;

    // Adopts the frontmost application as the target, readies the panels of the current screens
    // (those of the last build while the same screens are connected, else new ones), centres them
    // on their screens and shows them in front without activating Gridlume, and starts watching
    // for Escape.
    void showPanels();
    // Hides the preview and the panels and stops watching for Escape. The panels are kept for the
    // next show.
    void hidePanels();
    // Builds the panels for the connected screens ahead of the next show, while none is shown:
    // their native windows and content are made then, not when the user asks for them.
    void preparePanels();
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
    // The screen whose grid the keys act on, and where they are on it.
    std::optional<DisplayID> keyboardDisplayID() const { return m_keyboardDisplayID; }
    const TilingGridKeyboardCursor& keyboardCursor() const { return m_keyboardCursor; }

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
    void takeKeyboard();
    // True for no window at all (another program has the focus), a panel and the preview.
    bool isPanelOrPreview(const QWindow* window) const;
    bool handleLocalKeyDown(const QKeyEvent& event);
    void handleGlobalKeyDown(const KeyEvent& event);
    void handleEscapeKey();
    // A key for the panels, from the keyboard grab or a panel that has the focus. True when it
    // was one of theirs.
    bool handlePanelKey(const KeyEvent& event);
    void showKeyboardBlock();
    void selectKeyboardBlock();
    void stepKeyboardScreen(int step);
    std::optional<DisplayID> initialKeyboardDisplayID() const;
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
    KeyboardGrabber& m_keyboardGrabber;
    std::function<void()> m_openSettings;
    std::map<DisplayID, ScreenPanelPair> m_screenPanels;
    // Whether the panels of the last build show the keyboard hints (which make them taller).
    bool m_panelsShowKeyboardHints = false;
    std::optional<DisplayID> m_previewDisplayID;
    // The screens whose visible frame was last found unusable, as logged.
    QList<Screen> m_reportedFallbacks;
    Subscription m_localKeyDownMonitor;
    Subscription m_globalKeyDownMonitor;
    Subscription m_keyboardGrab;
    QMetaObject::Connection m_focusWindowConnection;
    TilingGridKeyboardCursor m_keyboardCursor;
    std::optional<DisplayID> m_keyboardDisplayID;
    // Set while the keys' own block is being previewed, so that it is not taken for the pointer's.
    bool m_isShowingKeyboardBlock = false;
};

} // namespace gridlume
