#include "tiling/WindowPlacementTilingPanelController.h"

#include "placement/ScreenChoice.h"
#include "placement/WindowPlacementService.h"
#include "platform/QtScreenSpace.h"
#include "settings/SettingsStore.h"
#include "settings/UIStates.h"
#include "tiling/PanelHostingView.h"
#include "tiling/SpotlightLikePanel.h"
#include "tiling/WindowPlacementPreviewPanel.h"
#include "tiling/WindowPlacementTilingGridView.h"
#include "tiling/WindowPlacementTilingPanelView.h"
#include "tracking/ForegroundApplicationStore.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWindow>

#include <algorithm>

namespace gridlume {

namespace {
    // Sees every key press sent to Gridlume's own windows, before they do.
    class KeyDownEventFilter final : public QObject {
    public:
        explicit KeyDownEventFilter(std::function<bool(const QKeyEvent&)> handler)
            : m_handler(std::move(handler))
        {
        }

        bool eventFilter(QObject*, QEvent* event) override
        {
            // The first delivery of a press decides; a swallowed press is not delivered again.
            if (event->type() != QEvent::KeyPress)
                return false;
            return m_handler(static_cast<const QKeyEvent&>(*event));
        }

    private:
        std::function<bool(const QKeyEvent&)> m_handler;
    };
} // namespace

void WindowPlacementTilingPanelController::PanelDeleter::operator()(SpotlightLikePanel* panel) const
{
    // A panel may be replaced while one of its own widgets is handling an event.
    panel->deleteLater();
}

WindowPlacementTilingPanelController::WindowPlacementTilingPanelController(const Platform& platform,
    ForegroundApplicationStore& foregroundApplicationStore, SettingsStore& settingsStore, UIStates& uiStates,
    WindowPlacementService& windowPlacementService, QObject* parent)
    : QObject(parent)
    , m_logger(platform.logSink, QStringLiteral("FloatingPanelController"))
    , m_foregroundApplicationStore(foregroundApplicationStore)
    , m_settingsStore(settingsStore)
    , m_uiStates(uiStates)
    , m_windowPlacementPreviewPanel(std::make_unique<WindowPlacementPreviewPanel>(platform.panelWindowTraits))
    , m_windowPlacementService(windowPlacementService)
    , m_screens(platform.screens)
    , m_globalKeyMonitor(platform.globalKeyMonitor)
    , m_panelWindowTraits(platform.panelWindowTraits)
    , m_keyEventTranslator(platform.keyEventTranslator)
    , m_keyboardGrabber(platform.keyboardGrabber)
    , m_keyboardCursor(uiStates)
{
    m_foregroundApplicationStore.setOnTargetApplicationChanged([self = QPointer(this)] {
        // A preview or drag begun for the old target must not carry over to the new one.
        if (self)
            self->hidePreview();
    });
    connect(&m_screens, &ScreenProvider::screensChanged, this, [this] {
        QMetaObject::invokeMethod(this, &WindowPlacementTilingPanelController::screenParametersDidChange,
            Qt::QueuedConnection);
    });
}

WindowPlacementTilingPanelController::~WindowPlacementTilingPanelController()
{
    removeKeyDownMonitors();
    m_foregroundApplicationStore.setOnTargetApplicationChanged(nullptr);
    // Deferred deletion needs a running event loop, which may be gone at teardown.
    for (auto& [displayID, pair] : m_screenPanels)
        delete pair.panel.release();
}

void WindowPlacementTilingPanelController::showPanels()
{
    m_foregroundApplicationStore.refreshTargetApplication();
    rebuildScreenPanels();
    centreAndOrderFrontPanels();
    m_keyboardCursor.reset();
    m_keyboardDisplayID = initialKeyboardDisplayID();
    installKeyDownMonitors();
}

void WindowPlacementTilingPanelController::hidePanels()
{
    hidePreview();
    removeKeyDownMonitors();
    for (auto& [displayID, pair] : m_screenPanels)
        pair.panel->orderOut();
}

void WindowPlacementTilingPanelController::preparePanels()
{
    if (!isAnyPanelVisible())
        rebuildScreenPanels();
}

bool WindowPlacementTilingPanelController::isAnyPanelVisible() const
{
    for (const auto& [displayID, pair] : m_screenPanels) {
        if (pair.panel->isVisible())
            return true;
    }
    return false;
}

QList<DisplayID> WindowPlacementTilingPanelController::panelDisplayIDs() const
{
    QList<DisplayID> ids;
    for (const auto& [displayID, pair] : m_screenPanels)
        ids.append(displayID);
    return ids;
}

SpotlightLikePanel* WindowPlacementTilingPanelController::panel(DisplayID displayID) const
{
    const auto it = m_screenPanels.find(displayID);
    return it == m_screenPanels.end() ? nullptr : it->second.panel.get();
}

WindowPlacementTilingPanelView* WindowPlacementTilingPanelController::panelView(DisplayID displayID) const
{
    const SpotlightLikePanel* panel = this->panel(displayID);
    if (!panel || !panel->contentView())
        return nullptr;
    return qobject_cast<WindowPlacementTilingPanelView*>(panel->contentView()->rootContent());
}

void WindowPlacementTilingPanelController::rebuildScreenPanels()
{
    hidePreview();
    std::map<DisplayID, Screen> screens;
    QList<Screen> fallbacks;
    for (Screen screen : m_screens.screens()) {
        const auto displayID = resolveDisplayID(screen);
        if (!displayID)
            continue;
        // Panels centred on an area that is not there would be out of reach, and windows placed
        // there would leave the screen; the whole screen serves instead. Previews and placements
        // use the same frame as the panel.
        bool fellBack = false;
        screen.visibleFrame = usableVisibleFrame(screen, Size { double(panelSize.width()), double(panelSize.height()) }, &fellBack);
        if (fellBack)
            fallbacks.append(screen);
        // A later screen with the same ID replaces the earlier one.
        screens.insert_or_assign(*displayID, screen);
    }
    // While the same screens are connected, their panels (native windows, shapes, rendered
    // symbols) serve again, each following its screen's frame; what they show comes from the
    // shared state, and their grids start afresh whenever they are shown.
    const bool sameScreens = std::equal(screens.begin(), screens.end(), m_screenPanels.begin(), m_screenPanels.end(),
        [](const auto& screen, const auto& panel) { return screen.first == panel.first; });
    const bool showsHints = m_settingsStore.showKeyboardHints();
    if (sameScreens && showsHints == m_panelsShowKeyboardHints) {
        for (auto& [displayID, screen] : screens)
            m_screenPanels.at(displayID).screen = screen;
    } else {
        for (auto& [displayID, pair] : m_screenPanels)
            pair.panel->orderOut();
        m_screenPanels.clear();
        for (auto& [displayID, screen] : screens)
            m_screenPanels.emplace(displayID, ScreenPanelPair { screen, makePanel(displayID) });
        m_panelsShowKeyboardHints = showsHints;
    }
    // Once per configuration, not on every show.
    if (fallbacks != m_reportedFallbacks) {
        m_reportedFallbacks = fallbacks;
        for (const Screen& screen : fallbacks)
            m_logger.error("The usable area of screen %s is smaller than a panel; using the whole screen",
                qUtf8Printable(screen.name));
    }
}

void WindowPlacementTilingPanelController::centreAndOrderFrontPanels()
{
    const QtScreenSpace space = QtScreenSpace::current(m_screens.screens());
    for (auto& [displayID, pair] : m_screenPanels) {
        pair.panel->setFrameOrigin(space.centredTopLeft(pair.screen.visibleFrame, pair.panel->size()));
        pair.panel->orderFrontRegardless();
    }
}

std::optional<DisplayID> WindowPlacementTilingPanelController::resolveDisplayID(const Screen& screen) const
{
    if (!screen.displayID)
        m_logger.error("Unable to resolve display ID for screen");
    return screen.displayID;
}

std::unique_ptr<SpotlightLikePanel, WindowPlacementTilingPanelController::PanelDeleter>
WindowPlacementTilingPanelController::makePanel(DisplayID displayID)
{
    auto* view = new WindowPlacementTilingPanelView(displayID, m_uiStates, m_foregroundApplicationStore);
    const QPointer self(this);
    view->setOnTilePreviewChanged([self, displayID](const std::optional<WindowPlacementRegion>& region) {
        if (self)
            self->handleTilePreviewChanged(region, displayID);
    });
    view->setOnTileSelected([self, displayID](const WindowPlacementRegion& region) {
        if (self)
            self->handleTileSelected(region, displayID);
    });
    view->setOnClose([self] {
        if (self)
            self->hidePanels();
    });
    view->setOpenSettings([self] {
        if (self && self->m_openSettings)
            self->m_openSettings();
    });
    const bool showsHints = m_settingsStore.showKeyboardHints();
    view->setKeyboardHintsVisible(showsHints);
    const QSize size = panelSize + QSize(0, showsHints ? WindowPlacementTilingPanelView::keyboardHintsHeight : 0);
    std::unique_ptr<SpotlightLikePanel, PanelDeleter> panel(new SpotlightLikePanel(size, m_panelWindowTraits));
    panel->setContentView(new PanelHostingView(view));
    return panel;
}

void WindowPlacementTilingPanelController::installKeyDownMonitors()
{
    const QPointer self(this);
    if (!m_localKeyDownMonitor.isActive()) {
        auto* filter = new KeyDownEventFilter([self](const QKeyEvent& event) {
            return self && self->handleLocalKeyDown(event);
        });
        qApp->installEventFilter(filter);
        m_localKeyDownMonitor = Subscription([filter = QPointer(filter)] {
            if (!filter)
                return;
            qApp->removeEventFilter(filter);
            // The monitor may be removed from inside its own handler.
            filter->deleteLater();
        });
    }
    if (!m_globalKeyDownMonitor.isActive()) {
        m_globalKeyDownMonitor = m_globalKeyMonitor.addGlobalKeyDownMonitor(
            [self](const KeyEvent& event) {
                if (self)
                    self->handleGlobalKeyDown(event);
            },
            GlobalKeyPresses::InOtherPrograms);
    }
    // The keys come to the panels while they are shown, from the user's window or a panel; those
    // of Gridlume's other windows (the settings) reach them through Qt, so the grab is given up
    // while one of those has the focus.
    takeKeyboard();
    if (!m_focusWindowConnection) {
        m_focusWindowConnection = connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* window) {
            if (isPanelOrPreview(window))
                takeKeyboard();
            else
                m_keyboardGrab.cancel();
        });
    }
}

bool WindowPlacementTilingPanelController::isPanelOrPreview(const QWindow* window) const
{
    if (!window || window == m_windowPlacementPreviewPanel->windowHandle())
        return true;
    for (const auto& [displayID, pair] : m_screenPanels) {
        if (pair.panel->windowHandle() == window)
            return true;
    }
    return false;
}

void WindowPlacementTilingPanelController::takeKeyboard()
{
    if (m_keyboardGrab.isActive() || !isPanelOrPreview(QGuiApplication::focusWindow()) || !isAnyPanelVisible())
        return;
    const QPointer self(this);
    m_keyboardGrab = m_keyboardGrabber.grabKeyboard([self](const KeyEvent& event) {
        if (self)
            self->handlePanelKey(event);
    });
}

void WindowPlacementTilingPanelController::removeKeyDownMonitors()
{
    m_localKeyDownMonitor.cancel();
    m_globalKeyDownMonitor.cancel();
    m_keyboardGrab.cancel();
    disconnect(m_focusWindowConnection);
    m_focusWindowConnection = {};
}

bool WindowPlacementTilingPanelController::handleLocalKeyDown(const QKeyEvent& event)
{
    if (!isAnyPanelVisible())
        return false;
    // By position, like the global monitor: the key at Escape's place whatever the layout says.
    const KeyEvent key = m_keyEventTranslator.translate(event);
    const QWindow* focus = QGuiApplication::focusWindow();
    for (const auto& [displayID, pair] : m_screenPanels) {
        if (focus && pair.panel->windowHandle() == focus)
            return handlePanelKey(key);
    }
    if (key.keyCode != kVK_Escape)
        return false;
    handleEscapeKey();
    return true;
}

void WindowPlacementTilingPanelController::handleGlobalKeyDown(const KeyEvent& event)
{
    // Presses in Gridlume's own windows are the local monitor's; the global one never reports
    // them, so a drag-cancelling Escape is not also a close. Presses the grab takes are its own.
    if (event.keyCode != kVK_Escape || m_keyboardGrab.isActive())
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (isAnyPanelVisible())
                handleEscapeKey();
        },
        Qt::QueuedConnection);
}

void WindowPlacementTilingPanelController::handleEscapeKey()
{
    if (m_uiStates.draggingTileGridID()) {
        m_uiStates.requestTileGridDragCancel();
        return;
    }
    hidePanels();
}

bool WindowPlacementTilingPanelController::handlePanelKey(const KeyEvent& event)
{
    if (!isAnyPanelVisible())
        return false;
    if (m_uiStates.draggingTileGridID()) {
        // The pointer is choosing; Escape cancels its drag, other keys wait for it.
        if (event.keyCode == kVK_Escape)
            m_uiStates.requestTileGridDragCancel();
        return true;
    }
    switch (m_keyboardCursor.handleKey(event)) {
    case TilingGridKeyboardCursor::Action::None:
        return false;
    case TilingGridKeyboardCursor::Action::Close:
        hidePanels();
        return true;
    case TilingGridKeyboardCursor::Action::NextScreen:
        stepKeyboardScreen(1);
        return true;
    case TilingGridKeyboardCursor::Action::PreviousScreen:
        stepKeyboardScreen(-1);
        return true;
    case TilingGridKeyboardCursor::Action::BlockChanged:
        showKeyboardBlock();
        return true;
    case TilingGridKeyboardCursor::Action::Select:
        selectKeyboardBlock();
        return true;
    }
    return false;
}

void WindowPlacementTilingPanelController::showKeyboardBlock()
{
    if (!m_keyboardDisplayID || !m_screenPanels.count(*m_keyboardDisplayID))
        m_keyboardDisplayID = initialKeyboardDisplayID();
    if (!m_keyboardDisplayID)
        return;
    // Cleared first: a grid that no longer shows the block must not hide the new preview.
    for (const DisplayID displayID : panelDisplayIDs()) {
        WindowPlacementTilingPanelView* view = panelView(displayID);
        if (view && displayID != *m_keyboardDisplayID && view->gridView().model().keyboardBlock())
            view->gridView().model().setKeyboardBlock(std::nullopt);
    }
    if (WindowPlacementTilingPanelView* view = panelView(*m_keyboardDisplayID)) {
        m_isShowingKeyboardBlock = true;
        view->gridView().model().setKeyboardBlock(m_keyboardCursor.region());
        m_isShowingKeyboardBlock = false;
    }
}

void WindowPlacementTilingPanelController::selectKeyboardBlock()
{
    showKeyboardBlock();
    if (WindowPlacementTilingPanelView* view = m_keyboardDisplayID ? panelView(*m_keyboardDisplayID) : nullptr)
        view->gridView().model().selectKeyboardBlock();
}

void WindowPlacementTilingPanelController::stepKeyboardScreen(int step)
{
    // Gridlume's screen order: the primary first, then the window system's order.
    QList<DisplayID> order;
    for (const Screen& screen : m_screens.screens()) {
        if (screen.displayID && m_screenPanels.count(*screen.displayID) && !order.contains(*screen.displayID))
            order.append(*screen.displayID);
    }
    if (order.isEmpty())
        return;
    const qsizetype current = m_keyboardDisplayID ? order.indexOf(*m_keyboardDisplayID) : -1;
    const qsizetype count = order.size();
    m_keyboardDisplayID = order[((current < 0 ? 0 : current + step) % count + count) % count];
    showKeyboardBlock();
}

std::optional<DisplayID> WindowPlacementTilingPanelController::initialKeyboardDisplayID() const
{
    const QList<Screen> screens = m_screens.screens();
    if (const auto frame = m_windowPlacementService.focusedWindowFrame(m_foregroundApplicationStore.targetApplication())) {
        if (const auto index = screenHoldingMostOf(*frame, screens)) {
            const auto& displayID = screens[*index].displayID;
            if (displayID && m_screenPanels.count(*displayID))
                return displayID;
        }
    }
    for (const Screen& screen : screens) {
        if (screen.displayID && m_screenPanels.count(*screen.displayID))
            return screen.displayID;
    }
    return std::nullopt;
}

void WindowPlacementTilingPanelController::hidePreview()
{
    m_previewDisplayID.reset();
    m_windowPlacementPreviewPanel->orderOut();
    if (m_uiStates.draggingTileGridID())
        m_uiStates.requestTileGridDragCancel();
}

void WindowPlacementTilingPanelController::handleTilePreviewChanged(
    const std::optional<WindowPlacementRegion>& region, DisplayID displayID)
{
    if (!region) {
        // A grid that does not own the preview must not hide another screen's fresh preview.
        if (m_previewDisplayID == displayID) {
            m_previewDisplayID.reset();
            m_windowPlacementPreviewPanel->orderOut();
        }
        return;
    }
    const auto it = m_screenPanels.find(displayID);
    // Pointer events that were on their way when the panels were hidden still reach the hidden
    // panel's grid. Acting on them would show that panel again (Qt then even maps it before it
    // has seen it unmapped), and the next shortcut press would hide it instead of showing the
    // panels.
    if (it == m_screenPanels.end() || !it->second.panel->isVisible()) {
        m_previewDisplayID.reset();
        m_windowPlacementPreviewPanel->orderOut();
        return;
    }
    // While the preview only moves on its screen, the panel stays in front of it.
    const bool previewShownHere = m_previewDisplayID == displayID && m_windowPlacementPreviewPanel->isVisible();
    m_previewDisplayID = displayID;
    // The keys continue from where the pointer is, and the block they chose elsewhere goes.
    if (!m_isShowingKeyboardBlock) {
        m_keyboardCursor.continueFrom(*region);
        m_keyboardDisplayID = displayID;
        for (const DisplayID other : panelDisplayIDs()) {
            WindowPlacementTilingPanelView* view = panelView(other);
            if (view && other != displayID && view->gridView().model().keyboardBlock())
                view->gridView().model().setKeyboardBlock(std::nullopt);
        }
    }
    // The frame the window will get, gaps and all.
    const Rect frame = region->appKitFrame(it->second.screen, m_settingsStore.placementGaps());
    const QtScreenSpace space = QtScreenSpace::current(m_screens.screens());
    const QRect previewRect = space.logicalRect(frame);
    if (frame.width() > 0 && frame.height() > 0 && !previewRect.isEmpty()) {
        m_windowPlacementPreviewPanel->setFrame(previewRect, space.nativePixelRect(frame));
        m_windowPlacementPreviewPanel->orderFrontRegardless();
    } else {
        m_windowPlacementPreviewPanel->orderOut();
    }
    if (previewShownHere && m_windowPlacementPreviewPanel->isVisible())
        return;
    SpotlightLikePanel& panel = *it->second.panel;
    panel.orderFrontRegardless();
    orderPreviewBelow(panel);
}

void WindowPlacementTilingPanelController::handleTileSelected(const WindowPlacementRegion& region, DisplayID displayID)
{
    const bool keep = m_settingsStore.keepTilingPanelOpenAfterTiling();
    const auto it = m_screenPanels.find(displayID);
    if (it == m_screenPanels.end()) {
        m_logger.error("Unable to resolve target screen for placement");
        m_previewDisplayID.reset();
        m_windowPlacementPreviewPanel->orderOut();
        if (!keep)
            hidePanels();
        return;
    }
    const Screen screen = it->second.screen;
    const std::optional<RunningApplication> targetApplication = m_foregroundApplicationStore.targetApplication();
    m_previewDisplayID.reset();
    m_windowPlacementPreviewPanel->orderOut();
    // After the grid's mouse handling has finished; dropped if the controller is gone by then.
    QMetaObject::invokeMethod(
        this,
        [this, targetApplication, region, screen, keep] {
            placeFocusedWindow(targetApplication, screen, region, keep);
        },
        Qt::QueuedConnection);
}

void WindowPlacementTilingPanelController::placeFocusedWindow(const std::optional<RunningApplication>& targetApplication,
    const Screen& screen, const WindowPlacementRegion& region, bool keep)
{
    if (!m_windowPlacementService.placeFocusedWindow(targetApplication, screen, region, m_settingsStore.placementGaps()))
        m_logger.error("Window placement failed");
    if (!keep) {
        hidePanels();
    } else if (isAnyPanelVisible()) {
        // The placed window may have come to the front.
        for (auto& [displayID, pair] : m_screenPanels)
            pair.panel->orderFrontRegardless();
    }
}

void WindowPlacementTilingPanelController::screenParametersDidChange()
{
    if (!isAnyPanelVisible())
        return;
    rebuildScreenPanels();
    centreAndOrderFrontPanels();
    // No screen left to show a panel on: nothing is shown, so nothing may hold the keyboard.
    if (!isAnyPanelVisible())
        removeKeyDownMonitors();
}

void WindowPlacementTilingPanelController::orderPreviewBelow(SpotlightLikePanel& panel)
{
    if (!m_windowPlacementPreviewPanel->isVisible())
        return;
    QWindow* preview = m_windowPlacementPreviewPanel->windowHandle();
    QWindow* panelWindow = panel.windowHandle();
    if (preview && panelWindow)
        m_panelWindowTraits.orderBelow(*preview, *panelWindow);
}

} // namespace gridlume
