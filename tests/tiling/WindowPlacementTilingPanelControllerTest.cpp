#include "hotkeys/HotKeyService.h"
#include "placement/WindowPlacementService.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimPanelWindowTraits.h"
#include "settings/SettingsStore.h"
#include "settings/UIStates.h"
#include "tiling/PanelTitleBar.h"
#include "tiling/PanelTitleBarButton.h"
#include "tiling/SpotlightLikePanel.h"
#include "tiling/WindowPlacementPreviewPanel.h"
#include "tiling/WindowPlacementTilingGridView.h"
#include "tiling/WindowPlacementTilingPanelController.h"
#include "tiling/WindowPlacementTilingPanelView.h"
#include "tracking/ForegroundApplicationStore.h"

#include "QtTestPrinters.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

using namespace gridlume;

namespace {

const QString category = QStringLiteral("FloatingPanelController");

// The primary screen: 1440 × 900 with a 25-point bar at the top.
const Screen primaryScreen { 1, Rect(0, 0, 1440, 900), Rect(0, 0, 1440, 875), QStringLiteral("sim-0") };
// A taller screen to the right, top edges aligned, with a 40-point dock at its bottom.
const Screen secondaryScreen { 2, Rect(1440, -180, 1920, 1080), Rect(1440, -140, 1920, 1040),
    QStringLiteral("sim-1") };

const WindowPlacementRegion topLeftOf2x2 { 2, 2, { 0, 0 }, { 0, 0 } };

class NoAppearance final : public AppearanceApplier {
public:
    void applyAppearance(AppAppearance) override { }
};

// Gives the keyboard focus to another program: the offscreen platform activates every window it
// shows and keeps it active while hidden, but not once it is gone.
void focusAnotherProgram()
{
    auto* window = new QWidget;
    window->show();
    QCoreApplication::processEvents();
    delete window;
    ASSERT_EQ(QGuiApplication::focusWindow(), nullptr);
}

// Two screens, a terminal with a window as the frontmost application, and the controller with
// every service it works with.
class TilingPanelControllerTest : public ::testing::Test {
protected:
    TilingPanelControllerTest()
        : m_platform(m_desktop.platform())
        , m_hotKeyService(m_platform.hotKeys, m_platform.logSink)
        , m_settingsStore(m_platform.userDefaults, m_hotKeyService, m_appearance, m_platform.logSink)
        , m_foregroundApplicationStore(m_platform.workspace)
        , m_placementService(m_platform.accessibility, m_platform.screens, m_platform.workspace, m_platform.logSink)
    {
        m_desktop.setScreens({ primaryScreen, secondaryScreen });
        m_terminal = m_desktop.addApplication("Terminal");
        m_terminalWindow = m_desktop.addWindow(m_terminal, SimWindowSpec { Rect(100, 100, 800, 600) });
        m_desktop.setFrontmostApplication(m_terminal);
        m_controller = std::make_unique<WindowPlacementTilingPanelController>(
            m_platform, m_foregroundApplicationStore, m_settingsStore, m_uiStates, m_placementService);
        SimDesktop::processEvents();
    }

    ~TilingPanelControllerTest() override
    {
        m_controller.reset();
        // Panels replaced by a rebuild are deleted from the event loop.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    WindowPlacementTilingPanelController& controller() { return *m_controller; }
    SpotlightLikePanel& panel(DisplayID id)
    {
        SpotlightLikePanel* panel = m_controller->panel(id);
        EXPECT_NE(panel, nullptr);
        return *panel;
    }
    TilingGridModel& grid(DisplayID id) { return m_controller->panelView(id)->gridView().model(); }
    WindowPlacementPreviewPanel& preview() { return m_controller->windowPlacementPreviewPanel(); }
    QStringList logLines() { return m_desktop.log().messages(category); }

    // A click on a tile of a screen's grid, as the grid reports it.
    void clickTile(DisplayID id, Point point)
    {
        grid(id).dragChanged(point, point);
        grid(id).dragEnded();
    }

    SimDesktop m_desktop;
    Platform m_platform;
    NoAppearance m_appearance;
    HotKeyService m_hotKeyService;
    SettingsStore m_settingsStore;
    UIStates m_uiStates;
    ForegroundApplicationStore m_foregroundApplicationStore;
    WindowPlacementService m_placementService;
    std::unique_ptr<WindowPlacementTilingPanelController> m_controller;
    pid_t m_terminal = 0;
    int m_terminalWindow = 0;
};

// --- showing and hiding ----------------------------------------------------------------------

TEST_F(TilingPanelControllerTest, ShowsOnePanelCentredOnEachScreensVisibleFrame)
{
    controller().showPanels();
    ASSERT_EQ(controller().panelDisplayIDs(), QList<DisplayID>({ 1, 2 }));
    EXPECT_TRUE(controller().isAnyPanelVisible());
    // Primary: centre (720, 437.5) → top-left (568, 274.5 + 326 = 600.5 from the bottom) → y 299.5,
    // rounded. Secondary: centre (2400, 380) → top edge at 543 → 900 − 543 = 357 below the
    // primary's top.
    EXPECT_EQ(panel(1).geometry(), QRect(568, 300, 304, 326));
    EXPECT_EQ(panel(2).geometry(), QRect(2248, 357, 304, 326));
    for (DisplayID id : { 1u, 2u }) {
        EXPECT_TRUE(panel(id).isVisible());
        EXPECT_EQ(m_desktop.panelWindowTraits().preparedRole(panel(id).windowHandle()), PanelWindowRole::TilingPanel);
        EXPECT_EQ(grid(id).tileGridID(), id);
    }
    EXPECT_FALSE(preview().isVisible());
    EXPECT_TRUE(controller().hasKeyDownMonitors());
    EXPECT_EQ(m_desktop.globalKeyMonitorCount(), 1);
}

TEST_F(TilingPanelControllerTest, ShowingAdoptsTheFrontmostApplicationAsTarget)
{
    controller().showPanels();
    EXPECT_EQ(m_foregroundApplicationStore.targetApplication(), m_desktop.application(m_terminal));
}

TEST_F(TilingPanelControllerTest, HidingKeepsThePanelsAndShowingAgainBuildsFreshOnes)
{
    controller().showPanels();
    QPointer<SpotlightLikePanel> first = &panel(1);
    controller().hidePanels();
    EXPECT_FALSE(controller().isAnyPanelVisible());
    EXPECT_FALSE(controller().hasKeyDownMonitors());
    EXPECT_EQ(m_desktop.globalKeyMonitorCount(), 0);
    EXPECT_EQ(controller().panel(1), first.data());

    controller().showPanels();
    EXPECT_NE(controller().panel(1), first.data());
    EXPECT_EQ(m_desktop.globalKeyMonitorCount(), 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
}

TEST_F(TilingPanelControllerTest, ShowingTwiceInstallsTheMonitorsOnce)
{
    controller().showPanels();
    controller().showPanels();
    EXPECT_EQ(m_desktop.globalKeyMonitorCount(), 1);
}

TEST_F(TilingPanelControllerTest, CloseButtonHidesThePanels)
{
    controller().showPanels();
    QTest::mouseClick(&controller().panelView(2)->titleBar().closeButton(), Qt::LeftButton);
    EXPECT_FALSE(controller().isAnyPanelVisible());
}

struct ScreenSetCase {
    const char* name;
    QList<Screen> screens;
    QList<DisplayID> panels;
    int unresolved; // "Unable to resolve display ID for screen" per build
};

class ScreenSetTest : public TilingPanelControllerTest, public ::testing::WithParamInterface<ScreenSetCase> { };

TEST_P(ScreenSetTest, ServesEveryScreenThatHasADisplayID)
{
    m_desktop.setScreens(GetParam().screens);
    SimDesktop::processEvents();
    controller().showPanels();
    EXPECT_EQ(controller().panelDisplayIDs(), GetParam().panels);
    EXPECT_EQ(logLines().count("Unable to resolve display ID for screen"), GetParam().unresolved);
    EXPECT_EQ(controller().isAnyPanelVisible(), !GetParam().panels.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Screens, ScreenSetTest,
    ::testing::Values(ScreenSetCase { "one", { primaryScreen }, { 1 }, 0 },
        ScreenSetCase { "secondaryWithoutDisplayID",
            { primaryScreen, Screen { std::nullopt, secondaryScreen.frame, secondaryScreen.visibleFrame, "x" } }, { 1 },
            1 },
        ScreenSetCase { "noneWithADisplayID",
            { Screen { std::nullopt, primaryScreen.frame, primaryScreen.visibleFrame, "x" } }, {}, 1 },
        ScreenSetCase { "noScreens", {}, {}, 0 },
        // The later screen of two with the same ID wins.
        ScreenSetCase { "sameDisplayIDTwice", { primaryScreen, Screen { 1, secondaryScreen.frame,
                                                                  secondaryScreen.visibleFrame, "dup" } },
            { 1 }, 0 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TilingPanelControllerTest, ALaterScreenWithTheSameDisplayIDReplacesTheEarlier)
{
    m_desktop.setScreens({ primaryScreen, Screen { 1, secondaryScreen.frame, secondaryScreen.visibleFrame, "dup" } });
    SimDesktop::processEvents();
    controller().showPanels();
    EXPECT_EQ(panel(1).geometry().topLeft(), QPoint(2248, 357));
}

// --- the preview -------------------------------------------------------------------------------

TEST_F(TilingPanelControllerTest, HoverShowsThePreviewOnTheBlocksFrameBelowThePanel)
{
    controller().showPanels();
    grid(1).hoverMoved({ 10, 10 });
    EXPECT_EQ(controller().previewDisplayID(), DisplayID(1));
    EXPECT_TRUE(preview().isVisible());
    // The top-left quarter of the primary's visible frame: 25 points below the screen's top.
    EXPECT_EQ(preview().geometry(), QRect(0, 25, 720, 438));
    // And to the device pixel, which a fractional device pixel ratio leaves to the window system.
    EXPECT_EQ(m_desktop.panelWindowTraits().lastNativeGeometry(), QRect(0, 25, 720, 438));
    const auto [below, sibling] = m_desktop.panelWindowTraits().lastOrderBelow();
    EXPECT_EQ(below, preview().windowHandle());
    EXPECT_EQ(sibling, panel(1).windowHandle());

    grid(2).hoverMoved({ 270, 170 });
    EXPECT_EQ(controller().previewDisplayID(), DisplayID(2));
    EXPECT_EQ(preview().geometry(), QRect(2400, 520, 960, 520));
    EXPECT_EQ(m_desktop.panelWindowTraits().lastNativeGeometry(), QRect(2400, 520, 960, 520));
}

TEST_F(TilingPanelControllerTest, PreviewIsOwnedByOneScreenAtATime)
{
    controller().showPanels();
    grid(1).hoverMoved({ 10, 10 });
    grid(2).hoverMoved({ 10, 10 });
    // The first grid clearing its preview late must not hide the second screen's.
    grid(1).hoverEnded();
    EXPECT_EQ(controller().previewDisplayID(), DisplayID(2));
    EXPECT_TRUE(preview().isVisible());
    grid(2).hoverEnded();
    EXPECT_EQ(controller().previewDisplayID(), std::nullopt);
    EXPECT_FALSE(preview().isVisible());
}

TEST_F(TilingPanelControllerTest, TargetChangeHidesThePreviewAndCancelsTheDrag)
{
    m_foregroundApplicationStore.startTracking();
    controller().showPanels();
    grid(1).dragChanged({ 10, 10 }, { 150, 100 });
    ASSERT_TRUE(preview().isVisible());
    const qint64 cancels = m_uiStates.tileGridCancelDragRequestID();

    m_desktop.activate(m_desktop.addApplication("Editor"));
    SimDesktop::processEvents();
    EXPECT_FALSE(preview().isVisible());
    EXPECT_EQ(controller().previewDisplayID(), std::nullopt);
    EXPECT_EQ(m_uiStates.tileGridCancelDragRequestID(), cancels + 1);
    EXPECT_TRUE(grid(1).isDragCancelled());
    EXPECT_TRUE(controller().isAnyPanelVisible());
}

TEST_F(TilingPanelControllerTest, PointerEventsArrivingAfterTheHideShowNothing)
{
    controller().showPanels();
    grid(1).hoverMoved({ 10, 10 });
    ASSERT_TRUE(preview().isVisible());
    controller().hidePanels();
    // A hover and a drag that were on their way, for each screen's hidden grid.
    for (DisplayID id : { 1u, 2u }) {
        grid(id).hoverMoved({ 150, 100 });
        grid(id).dragChanged({ 150, 100 }, { 200, 120 });
    }
    EXPECT_FALSE(controller().isAnyPanelVisible());
    EXPECT_FALSE(preview().isVisible());
    EXPECT_EQ(controller().previewDisplayID(), std::nullopt);
}

// --- Escape ------------------------------------------------------------------------------------

TEST_F(TilingPanelControllerTest, EscapeInAPanelClosesThePanelsAndIsSwallowed)
{
    // Sees what gets past the application-wide monitor.
    struct EscapeCounter : QObject {
        int escapes = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            escapes += event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
            return false;
        }
    } counter;
    controller().showPanels();
    QWidget& content = *controller().panelView(1);
    content.installEventFilter(&counter);
    QTest::keyClick(&content, Qt::Key_Escape);
    EXPECT_FALSE(controller().isAnyPanelVisible());
    EXPECT_FALSE(controller().hasKeyDownMonitors());
    EXPECT_EQ(counter.escapes, 0) << "the Escape reached the panel";
}

TEST_F(TilingPanelControllerTest, EscapePassesThroughWhileNoPanelIsVisible)
{
    struct KeyProbe : QWidget {
        int escapes = 0;
        void keyPressEvent(QKeyEvent* event) override { escapes += event->key() == Qt::Key_Escape; }
    } probe;
    probe.show();
    controller().showPanels();
    QTest::keyClick(&probe, Qt::Key_Escape); // swallowed: closes the panels
    QTest::keyClick(&probe, Qt::Key_Escape); // the panels are hidden: reaches the probe
    EXPECT_EQ(probe.escapes, 1);
    EXPECT_FALSE(controller().isAnyPanelVisible());
}

TEST_F(TilingPanelControllerTest, OtherKeysPassThroughWhilePanelsAreShown)
{
    controller().showPanels();
    QTest::keyClick(controller().panelView(1), Qt::Key_A);
    QTest::keyClick(controller().panelView(1), Qt::Key_Return);
    EXPECT_TRUE(controller().isAnyPanelVisible());
}

enum class EscapeSource { Local, Global };

class EscapeDuringDragTest : public TilingPanelControllerTest, public ::testing::WithParamInterface<EscapeSource> {
protected:
    void pressEscape()
    {
        if (GetParam() == EscapeSource::Local) {
            QTest::keyClick(controller().panelView(1), Qt::Key_Escape);
        } else {
            focusAnotherProgram();
            m_desktop.typeGlobalKey(KeyEvent { kVK_Escape, 0 });
            SimDesktop::processEvents();
        }
    }
};

TEST_P(EscapeDuringDragTest, FirstEscapeCancelsTheDragAndTheNextClosesThePanels)
{
    controller().showPanels();
    grid(2).dragChanged({ 10, 10 }, { 150, 100 });
    ASSERT_EQ(m_uiStates.draggingTileGridID(), DisplayID(2));
    const qint64 cancels = m_uiStates.tileGridCancelDragRequestID();

    pressEscape();
    EXPECT_EQ(m_uiStates.tileGridCancelDragRequestID(), cancels + 1);
    EXPECT_EQ(m_uiStates.draggingTileGridID(), std::nullopt);
    EXPECT_TRUE(controller().isAnyPanelVisible());
    EXPECT_FALSE(preview().isVisible());

    // The mouse-up of the cancelled drag places nothing.
    grid(2).dragEnded();
    SimDesktop::processEvents();
    EXPECT_EQ(m_desktop.windowFrame(m_terminalWindow), Rect(100, 100, 800, 600));

    pressEscape();
    EXPECT_FALSE(controller().isAnyPanelVisible());
    EXPECT_EQ(m_uiStates.tileGridCancelDragRequestID(), cancels + 1);
}

INSTANTIATE_TEST_SUITE_P(Monitors, EscapeDuringDragTest, ::testing::Values(EscapeSource::Local, EscapeSource::Global),
    [](const auto& info) { return info.param == EscapeSource::Local ? "local" : "global"; });

TEST_F(TilingPanelControllerTest, GlobalEscapeClosesThePanelsFromTheEventLoop)
{
    controller().showPanels();
    focusAnotherProgram();
    m_desktop.typeGlobalKey(KeyEvent { 0 /* kVK_ANSI_A */, 0 });
    SimDesktop::processEvents();
    EXPECT_TRUE(controller().isAnyPanelVisible());
    m_desktop.typeGlobalKey(KeyEvent { kVK_Escape, 0 });
    SimDesktop::processEvents();
    EXPECT_FALSE(controller().isAnyPanelVisible());
    EXPECT_EQ(m_desktop.globalKeyMonitorCount(), 0);
}

TEST_F(TilingPanelControllerTest, GlobalEscapeWhileGridlumeHasTheKeyboardIsLeftToTheLocalMonitor)
{
    controller().showPanels();
    panel(1).activateWindow();
    QCoreApplication::processEvents();
    ASSERT_NE(QGuiApplication::focusWindow(), nullptr);
    grid(1).dragChanged({ 10, 10 }, { 150, 100 });
    // The desktop-wide monitor sees the same press as the panel; only one may act on it, or a
    // drag-cancelling Escape would also close the panels.
    m_desktop.typeGlobalKey(KeyEvent { kVK_Escape, 0 });
    QTest::keyClick(controller().panelView(1), Qt::Key_Escape);
    SimDesktop::processEvents();
    EXPECT_TRUE(controller().isAnyPanelVisible());
    EXPECT_EQ(m_uiStates.draggingTileGridID(), std::nullopt);
}

// --- selection and placement ---------------------------------------------------------------------

struct SelectionCase {
    const char* name;
    bool keepOpen;
    bool withTarget;
    bool placementSucceeds;
};

class SelectionTest : public TilingPanelControllerTest, public ::testing::WithParamInterface<SelectionCase> { };

TEST_P(SelectionTest, HidesThePreviewAtOncePlacesLaterAndKeepsThePanelsOnlyWhenAsked)
{
    const SelectionCase& c = GetParam();
    m_settingsStore.updateKeepTilingPanelOpenAfterTiling(c.keepOpen);
    if (!c.withTarget)
        m_desktop.setFrontmostApplication(std::nullopt);
    if (!c.placementSucceeds)
        m_desktop.injectFault(SimFault { "setAttributeValue", "AXPosition" });
    controller().showPanels();
    grid(1).hoverMoved({ 10, 10 });
    ASSERT_TRUE(preview().isVisible());

    clickTile(1, { 10, 10 });
    QSignalSpy orderedFront1(&panel(1), &SpotlightLikePanel::orderedFront);
    QSignalSpy orderedFront2(&panel(2), &SpotlightLikePanel::orderedFront);
    // The placement waits until the grid's mouse handling is over.
    EXPECT_FALSE(preview().isVisible());
    EXPECT_EQ(controller().previewDisplayID(), std::nullopt);
    EXPECT_EQ(m_desktop.windowFrame(m_terminalWindow), Rect(100, 100, 800, 600));
    EXPECT_TRUE(controller().isAnyPanelVisible());

    SimDesktop::processEvents();
    const bool placed = c.withTarget && c.placementSucceeds;
    EXPECT_EQ(m_desktop.windowFrame(m_terminalWindow) == Rect(0, 25, 720, 437.5), placed);
    EXPECT_EQ(logLines().contains("Window placement failed"), !placed);
    EXPECT_EQ(controller().isAnyPanelVisible(), c.keepOpen);
    EXPECT_EQ(controller().hasKeyDownMonitors(), c.keepOpen);
    // Kept open, both panels come to the front again after the placement (the placed window
    // may have come up over them), whatever its outcome.
    EXPECT_EQ(orderedFront1.count(), c.keepOpen ? 1 : 0);
    EXPECT_EQ(orderedFront2.count(), c.keepOpen ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Settings, SelectionTest,
    ::testing::Values(SelectionCase { "keepOpen", true, true, true }, SelectionCase { "close", false, true, true },
        SelectionCase { "keepOpenAfterAFailure", true, true, false },
        SelectionCase { "closeAfterAFailure", false, true, false },
        SelectionCase { "noTargetKeepOpen", true, false, true }, SelectionCase { "noTargetClose", false, false, true }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TilingPanelControllerTest, PlacementOnTheSecondScreenUsesItsVisibleFrame)
{
    controller().showPanels();
    clickTile(2, { 270, 170 });
    SimDesktop::processEvents();
    // The bottom-right quarter of the secondary's visible frame, in accessibility coordinates.
    EXPECT_EQ(m_desktop.windowFrame(m_terminalWindow), Rect(2400, 520, 960, 520));
}

// A visible frame no panel fits in (a dock claiming more than the screen, a work area on
// another screen) would put the panel out of reach and windows off the screen: the whole screen
// serves instead, and that is logged once per configuration.
struct UnusableAreaCase {
    const char* name;
    Rect visibleFrame;
    Rect usedArea;
    bool fallsBack;
};

class UnusableAreaTest : public TilingPanelControllerTest, public ::testing::WithParamInterface<UnusableAreaCase> { };

TEST_P(UnusableAreaTest, PanelsAndPlacementsStayOnTheScreen)
{
    const UnusableAreaCase& testCase = GetParam();
    Screen screen = primaryScreen;
    screen.visibleFrame = testCase.visibleFrame;
    m_desktop.setScreens({ screen, secondaryScreen });
    SimDesktop::processEvents();

    for (int show = 0; show < 2; ++show) {
        controller().showPanels();
        // Centred, to the pixel; y flipped about the primary's top.
        const QPointF centre = QRectF(panel(1).geometry()).center();
        EXPECT_NEAR(centre.x(), testCase.usedArea.midX(), 0.5);
        EXPECT_NEAR(900 - centre.y(), testCase.usedArea.midY(), 0.5);
        controller().hidePanels();
    }
    EXPECT_EQ(logLines().filter(QStringLiteral("smaller than a panel")).size(), testCase.fallsBack ? 1 : 0)
        << qPrintable(logLines().join(u'\n'));

    controller().showPanels();
    grid(1).dragChanged({ 10, 10 }, { 270, 170 });
    grid(1).dragEnded();
    SimDesktop::processEvents();
    // The whole grid, in accessibility coordinates (y down from the primary's top).
    EXPECT_EQ(m_desktop.windowFrame(m_terminalWindow),
        Rect(testCase.usedArea.minX(), 900 - testCase.usedArea.maxY(), testCase.usedArea.width(), testCase.usedArea.height()));
}

INSTANTIATE_TEST_SUITE_P(Areas, UnusableAreaTest,
    ::testing::Values(UnusableAreaCase { "usable", Rect(0, 0, 1440, 875), Rect(0, 0, 1440, 875), false },
        UnusableAreaCase { "reachingPastTheScreen", Rect(-100, -100, 2000, 1200), Rect(0, 0, 1440, 900), false },
        UnusableAreaCase { "empty", Rect(0, 0, 1440, 0), Rect(0, 0, 1440, 900), true },
        UnusableAreaCase { "negativeAboveTheScreen", Rect(0, 1000, 1440, -50), Rect(0, 0, 1440, 900), true },
        UnusableAreaCase { "onAnotherScreen", Rect(5000, 0, 800, 600), Rect(0, 0, 1440, 900), true },
        UnusableAreaCase { "lowerThanAPanel", Rect(0, 0, 1440, 200), Rect(0, 0, 1440, 900), true }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TilingPanelControllerTest, ControllerGoneBeforeThePlacementRunsPlacesNothing)
{
    controller().showPanels();
    clickTile(1, { 10, 10 });
    m_controller.reset();
    SimDesktop::processEvents();
    EXPECT_EQ(m_desktop.windowFrame(m_terminalWindow), Rect(100, 100, 800, 600));
    EXPECT_EQ(m_desktop.globalKeyMonitorCount(), 0);
}

class VanishedScreenTest : public TilingPanelControllerTest, public ::testing::WithParamInterface<bool> { };

TEST_P(VanishedScreenTest, SelectionFromAScreenThatIsGonePlacesNothing)
{
    const bool keepOpen = GetParam();
    m_settingsStore.updateKeepTilingPanelOpenAfterTiling(keepOpen);
    controller().showPanels();
    // The secondary's panel would be deleted from the event loop after the rebuild; kept here so
    // that its grid can still report a selection, as one arriving at that moment would.
    struct KeepAlive : QObject {
        bool eventFilter(QObject*, QEvent* event) override { return event->type() == QEvent::DeferredDelete; }
    } keepAlive;
    QPointer<SpotlightLikePanel> oldPanel = &panel(2);
    oldPanel->installEventFilter(&keepAlive);
    QPointer<WindowPlacementTilingGridView> oldGrid = &controller().panelView(2)->gridView();
    m_desktop.setScreens({ primaryScreen });
    SimDesktop::processEvents();
    ASSERT_EQ(controller().panelDisplayIDs(), QList<DisplayID>({ 1 }));
    ASSERT_FALSE(oldGrid.isNull());
    const std::unique_ptr<SpotlightLikePanel> ownedOldPanel(oldPanel.data());

    oldGrid->model().dragChanged({ 10, 10 }, { 10, 10 });
    oldGrid->model().dragEnded();
    SimDesktop::processEvents();
    EXPECT_TRUE(logLines().contains("Unable to resolve target screen for placement"));
    EXPECT_EQ(m_desktop.windowFrame(m_terminalWindow), Rect(100, 100, 800, 600));
    EXPECT_FALSE(preview().isVisible());
    EXPECT_EQ(controller().isAnyPanelVisible(), keepOpen);
}

INSTANTIATE_TEST_SUITE_P(KeepOpen, VanishedScreenTest, ::testing::Bool());

// --- screen changes ------------------------------------------------------------------------------

TEST_F(TilingPanelControllerTest, ScreenChangeWhileShownRebuildsRecentresAndHidesThePreview)
{
    controller().showPanels();
    grid(2).dragChanged({ 10, 10 }, { 150, 100 });
    QPointer<SpotlightLikePanel> oldPrimaryPanel = &panel(1);
    const qint64 cancels = m_uiStates.tileGridCancelDragRequestID();

    // The secondary moves to the left of the primary and loses its dock.
    const Screen moved { 2, Rect(-1920, 0, 1920, 1080), Rect(-1920, 0, 1920, 1080), "sim-1" };
    m_desktop.setScreens({ primaryScreen, moved });
    EXPECT_EQ(controller().panel(1), oldPrimaryPanel.data()); // deferred to the event loop
    SimDesktop::processEvents();

    EXPECT_NE(controller().panel(1), oldPrimaryPanel.data());
    EXPECT_EQ(panel(2).geometry(), QRect(-1112, 197, 304, 326));
    EXPECT_TRUE(panel(1).isVisible());
    EXPECT_TRUE(panel(2).isVisible());
    EXPECT_FALSE(preview().isVisible());
    EXPECT_EQ(m_uiStates.tileGridCancelDragRequestID(), cancels + 1);
    EXPECT_TRUE(controller().hasKeyDownMonitors());
    EXPECT_EQ(m_desktop.globalKeyMonitorCount(), 1);
}

TEST_F(TilingPanelControllerTest, ScreenChangeWhileHiddenDoesNothing)
{
    controller().showPanels();
    controller().hidePanels();
    QPointer<SpotlightLikePanel> hiddenPanel = &panel(2);
    m_desktop.setScreens({ primaryScreen, Screen { std::nullopt, secondaryScreen.frame, secondaryScreen.visibleFrame,
                                              "x" } });
    SimDesktop::processEvents();
    EXPECT_EQ(controller().panel(2), hiddenPanel.data());
    EXPECT_FALSE(controller().isAnyPanelVisible());
    EXPECT_FALSE(logLines().contains("Unable to resolve display ID for screen"));
}

TEST_F(TilingPanelControllerTest, ScreenChangeBeforeAnyShowDoesNothing)
{
    m_desktop.setScreens({ primaryScreen });
    SimDesktop::processEvents();
    EXPECT_TRUE(controller().panelDisplayIDs().isEmpty());
}

} // namespace
