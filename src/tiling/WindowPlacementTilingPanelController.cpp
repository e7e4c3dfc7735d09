#include "tiling/WindowPlacementTilingPanelController.h"

#include "placement/WindowPlacementService.h"
#include "platform/QtScreenSpace.h"
#include "settings/SettingsStore.h"
#include "settings/UIStates.h"
#include "tiling/PanelHostingView.h"
#include "tiling/SpotlightLikePanel.h"
#include "tiling/WindowPlacementPreviewPanel.h"
#include "tiling/WindowPlacementTilingPanelView.h"
#include "tracking/ForegroundApplicationStore.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWindow>

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
    installKeyDownMonitors();
}

void WindowPlacementTilingPanelController::hidePanels()
{
    hidePreview();
    removeKeyDownMonitors();
    for (auto& [displayID, pair] : m_screenPanels)
        pair.panel->orderOut();
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
    for (auto& [displayID, pair] : m_screenPanels)
        pair.panel->orderOut();
    m_screenPanels.clear();
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
        m_screenPanels.insert_or_assign(*displayID, ScreenPanelPair { screen, makePanel(*displayID) });
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
    std::unique_ptr<SpotlightLikePanel, PanelDeleter> panel(new SpotlightLikePanel(panelSize, m_panelWindowTraits));
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
}

void WindowPlacementTilingPanelController::removeKeyDownMonitors()
{
    m_localKeyDownMonitor.cancel();
    m_globalKeyDownMonitor.cancel();
}

bool WindowPlacementTilingPanelController::handleLocalKeyDown(const QKeyEvent& event)
{
    // By position, like the global monitor: the key at Escape's place whatever the layout says.
    if (m_keyEventTranslator.translate(event).keyCode != kVK_Escape || !isAnyPanelVisible())
        return false;
    handleEscapeKey();
    return true;
}

void WindowPlacementTilingPanelController::handleGlobalKeyDown(const KeyEvent& event)
{
    // Presses in Gridlume's own windows are the local monitor's; the global one never reports
    // them, so a drag-cancelling Escape is not also a close.
    if (event.keyCode != kVK_Escape)
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
    const Rect frame = region->appKitFrame(it->second.screen);
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
    if (!m_windowPlacementService.placeFocusedWindow(targetApplication, screen, region))
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
