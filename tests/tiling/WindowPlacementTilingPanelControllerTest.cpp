#include "placement/FrameGeometry.h"
#include "placement/WindowPlacementService.h"
#include "platform/sim/SimKeyEventTranslator.h"
#include "platform/sim/SimPanelWindowTraits.h"
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
#include "SimSettingsTest.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QSignalSpy>
#include <QTest>

using namespace gridlume;

namespace {

const QString category = "FloatingPanelController";

// The primary screen: 1440 × 900 with a 25-point bar at the top.
const Screen primaryScreen { 1, Rect(0, 0, 1440, 900), Rect(0, 0, 1440, 875), "sim-0" };
// A taller screen to the right, top edges aligned, with a 40-point dock at its bottom.
const Screen secondaryScreen { 2, Rect(1440, -180, 1920, 1080), Rect(1440, -140, 1920, 1040), "sim-1" };
// The secondary moved to the left of the primary, without its dock.
const Screen secondaryOnTheLeft { 2, Rect(-1920, 0, 1920, 1080), Rect(-1920, 0, 1920, 1080), "sim-1" };

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
class TilingPanelControllerTest : public SimSettingsTest {
protected:
    TilingPanelControllerTest()
        : m_foregroundApplicationStore(m_platform.workspace)
        , m_placementService(m_platform.accessibility, m_platform.screens, m_platform.workspace, m_platform.logSink)
    {
        m_desktop.setScreens({ primaryScreen, secondaryScreen });
        m_terminal = m_desktop.addApplication("Terminal");
        m_terminalWindow = m_desktop.addWindow(m_terminal, SimWindowSpec { Rect(100, 100, 800, 600) });
        m_desktop.setFrontmostApplication(m_terminal);
        m_controller = std::make_unique<WindowPlacementTilingPanelController>(
            m_platform, m_foregroundApplicationStore, m_settings, m_uiStates, m_placementService);
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

    // Shows the panels with the user's window in front.
    void showPanelsInAnotherProgramsFocus()
    {
        focusAnotherProgram();
        controller().showPanels();
        SimDesktop::processEvents();
    }

    // A click on a tile of a screen's grid, as the grid reports it.
    void clickTile(DisplayID id, Point point)
    {
        grid(id).dragChanged(point, point);
        grid(id).dragEnded();
    }

    UIStates m_uiStates;
    ForegroundApplicationStore m_foregroundApplicationStore;
    WindowPlacementService m_placementService;
    std::unique_ptr<WindowPlacementTilingPanelController> m_controller;
    pid_t m_terminal = 0;
    int m_terminalWindow = 0;
};

// --- showing and hiding ----------------------------------------------------------------------

TEST_F(TilingPanelControllerTest, ShowsOnePanelCentredOnEachScreensVisibleFrameForTheFrontmostApplication)
{
    controller().showPanels();
    controller().showPanels();
    ASSERT_EQ(controller().panelDisplayIDs(), QList<DisplayID>({ 1, 2 }));
    // 326 points of panel and 18 of keyboard hints. Primary: centre (720, 437.5) → top-left (568,
    // 265.5 + 344 = 609.5 from the bottom) → y 290.5, rounded. Secondary: centre (2400, 380) → top
    // edge at 552 → 900 − 552 = 348 below the primary's top.
    EXPECT_EQ(panel(1).geometry(), QRect(568, 291, 304, 344));
    EXPECT_EQ(panel(2).geometry(), QRect(2248, 348, 304, 344));
    EXPECT_TRUE(panel(1).isVisible() && panel(2).isVisible());
    EXPECT_FALSE(preview().isVisible());
    EXPECT_EQ(m_desktop.globalKeyMonitorCount(), 1) << "showing twice installs the monitors once";
}

TEST_F(TilingPanelControllerTest, PanelsBuiltAheadServeTheShowsHidingIgnoresLatePointerEventsAndTheSameScreensServeAgain)
{
    controller().preparePanels();
    QPointer<SpotlightLikePanel> first = &panel(1);
    EXPECT_FALSE(controller().isAnyPanelVisible());
    controller().showPanels();
    EXPECT_EQ(controller().panel(1), first.data());
    grid(1).hoverMoved({ 10, 10 });
    QTest::mouseClick(&controller().panelView(2)->titleBar().closeButton(), Qt::LeftButton);
    EXPECT_FALSE(controller().isAnyPanelVisible());
    // A hover and a drag that were on their way, for each screen's hidden grid.
    for (DisplayID id : { 1u, 2u }) {
        grid(id).hoverMoved({ 150, 100 });
        grid(id).dragChanged({ 150, 100 }, { 200, 120 });
    }
    EXPECT_FALSE(controller().isAnyPanelVisible());
    EXPECT_FALSE(preview().isVisible());

    // The secondary moves to the left of the primary while the panels are hidden.
    m_desktop.setScreens({ primaryScreen, secondaryOnTheLeft });
    SimDesktop::processEvents();
    EXPECT_FALSE(controller().isAnyPanelVisible());
    controller().showPanels();
    EXPECT_EQ(controller().panel(1), first.data());
    EXPECT_EQ(panel(2).geometry(), QRect(-1112, 188, 304, 344));
    EXPECT_FALSE(grid(1).hoveredTile());
    EXPECT_EQ(m_desktop.globalKeyMonitorCount(), 1);
}

// KWin names outputs by their position, so outputs that mirror each other share an ID; the panel
// serves the later one.
TEST_F(TilingPanelControllerTest, OfTwoScreensWithOneDisplayIDTheLaterServes)
{
    m_desktop.setScreens({ primaryScreen, Screen { 1, secondaryScreen.frame, secondaryScreen.visibleFrame, "dup" } });
    SimDesktop::processEvents();
    controller().showPanels();
    EXPECT_EQ(controller().panelDisplayIDs(), QList<DisplayID>({ 1 }));
    EXPECT_EQ(panel(1).geometry().topLeft(), QPoint(2248, 348));
}

// --- the preview -------------------------------------------------------------------------------

TEST_F(TilingPanelControllerTest, HoverShowsThePreviewOnTheBlocksFrameBelowThePanelForOneScreenAtATime)
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
    // The first grid clearing its preview late must not hide the second screen's.
    grid(1).hoverEnded();
    EXPECT_EQ(controller().previewDisplayID(), DisplayID(2));
    EXPECT_TRUE(preview().isVisible());
    grid(2).hoverEnded();
    EXPECT_EQ(controller().previewDisplayID(), std::nullopt);
    EXPECT_FALSE(preview().isVisible());
}

TEST_F(TilingPanelControllerTest, PreviewAndPlacementLeaveTheGaps)
{
    m_settings.updateTileGap(10);
    m_settings.updateScreenMargin(16);
    controller().showPanels();
    grid(1).hoverMoved({ 10, 10 });
    // The top-left quarter less the margin at the screen's edges and half the gap inside: its
    // bottom edge, 25 + 437.5 - 5, is rounded once.
    EXPECT_EQ(preview().geometry(), QRect(16, 41, 699, 417));
    clickTile(1, { 10, 10 });
    SimDesktop::processEvents();
    EXPECT_EQ(m_desktop.windowFrame(m_terminalWindow), Rect(16, 41, 699, 416.5));
}

TEST_F(TilingPanelControllerTest, TargetChangeHidesThePreviewAndCancelsTheDrag)
{
    m_foregroundApplicationStore.startTracking();
    controller().showPanels();
    grid(1).dragChanged({ 10, 10 }, { 150, 100 });
    ASSERT_TRUE(preview().isVisible());

    m_desktop.activate(m_desktop.addApplication("Editor"));
    SimDesktop::processEvents();
    EXPECT_FALSE(preview().isVisible());
    EXPECT_TRUE(grid(1).isDragCancelled());
    EXPECT_TRUE(controller().isAnyPanelVisible());
}

// --- Escape ------------------------------------------------------------------------------------

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

    pressEscape();
    EXPECT_EQ(m_uiStates.draggingTileGridID(), std::nullopt);
    EXPECT_TRUE(controller().isAnyPanelVisible());
    EXPECT_FALSE(preview().isVisible());

    // The mouse-up of the cancelled drag places nothing.
    grid(2).dragEnded();
    SimDesktop::processEvents();
    EXPECT_EQ(m_desktop.windowFrame(m_terminalWindow), Rect(100, 100, 800, 600));

    pressEscape();
    EXPECT_FALSE(controller().isAnyPanelVisible());
    EXPECT_EQ(m_desktop.globalKeyMonitorCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Monitors, EscapeDuringDragTest, ::testing::Values(EscapeSource::Local, EscapeSource::Global),
    [](const auto& info) { return info.param == EscapeSource::Local ? "local" : "global"; });

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
    m_settings.updateKeepTilingPanelOpenAfterTiling(c.keepOpen);
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
    EXPECT_EQ(m_desktop.windowFrame(m_terminalWindow), Rect(100, 100, 800, 600));
    EXPECT_TRUE(controller().isAnyPanelVisible());

    SimDesktop::processEvents();
    const bool placed = c.withTarget && c.placementSucceeds;
    EXPECT_EQ(m_desktop.windowFrame(m_terminalWindow) == Rect(0, 25, 720, 437.5), placed);
    EXPECT_EQ(logLines().contains("Window placement failed"), !placed);
    EXPECT_EQ(controller().isAnyPanelVisible(), c.keepOpen);
    // Kept open, both panels come to the front again after the placement (the placed window
    // may have come up over them), whatever its outcome.
    EXPECT_EQ(orderedFront1.count(), c.keepOpen ? 1 : 0);
    EXPECT_EQ(orderedFront2.count(), c.keepOpen ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Settings, SelectionTest,
    ::testing::Values(SelectionCase { "keepOpen", true, true, true }, SelectionCase { "close", false, true, true },
        SelectionCase { "keepOpenAfterAFailure", true, true, false },
        SelectionCase { "noTargetClose", false, false, true }),
    [](const auto& info) { return std::string(info.param.name); });

// A visible frame no panel fits in (a dock claiming more than the screen, which the end-to-end
// suite makes, or a work area on another screen) would put the panel out of reach and windows off
// the screen: the whole screen serves instead, and that is logged once per configuration.
struct UnusableAreaCase {
    const char* name;
    Rect visibleFrame;
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
        // Centred on the whole screen, to the pixel.
        const QPointF centre = QRectF(panel(1).geometry()).center();
        EXPECT_NEAR(centre.x(), 720, 0.5);
        EXPECT_NEAR(centre.y(), 450, 0.5);
        controller().hidePanels();
    }
    EXPECT_EQ(logLines().filter("smaller than a panel").size(), testCase.fallsBack ? 1 : 0)
        << qPrintable(logLines().join(u'\n'));

    controller().showPanels();
    grid(1).dragChanged({ 10, 10 }, { 270, 170 });
    grid(1).dragEnded();
    SimDesktop::processEvents();
    // The whole grid is the whole screen.
    EXPECT_EQ(m_desktop.windowFrame(m_terminalWindow), primaryScreen.frame);
}

INSTANTIATE_TEST_SUITE_P(Areas, UnusableAreaTest,
    ::testing::Values(UnusableAreaCase { "reachingPastTheScreen", Rect(-100, -100, 2000, 1200), false },
        UnusableAreaCase { "onAnotherScreen", Rect(5000, 0, 800, 600), true }),
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

TEST_F(TilingPanelControllerTest, SelectionFromAScreenThatIsGonePlacesNothing)
{
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
}

// --- screen changes ------------------------------------------------------------------------------

TEST_F(TilingPanelControllerTest, ScreenChangeWhileShownRecentresAndHidesThePreviewAndNoScreenLeftHidesAll)
{
    controller().showPanels();
    grid(2).dragChanged({ 10, 10 }, { 150, 100 });
    const qint64 cancels = m_uiStates.tileGridCancelDragRequestID();

    m_desktop.setScreens({ primaryScreen, secondaryOnTheLeft });
    SimDesktop::processEvents();

    EXPECT_EQ(panel(2).geometry(), QRect(-1112, 188, 304, 344));
    EXPECT_TRUE(panel(1).isVisible());
    EXPECT_TRUE(panel(2).isVisible());
    EXPECT_FALSE(preview().isVisible());
    EXPECT_EQ(m_uiStates.tileGridCancelDragRequestID(), cancels + 1);
    EXPECT_EQ(m_desktop.globalKeyMonitorCount(), 1);

    // The last screen gone hides the panels and lets the keyboard go; showing them then shows
    // nothing and takes nothing.
    ASSERT_TRUE(m_desktop.isKeyboardGrabbed());
    m_desktop.setScreens({});
    SimDesktop::processEvents();
    EXPECT_FALSE(controller().isAnyPanelVisible());
    EXPECT_FALSE(m_desktop.isKeyboardGrabbed());
    controller().showPanels();
    EXPECT_FALSE(controller().isAnyPanelVisible());
    EXPECT_FALSE(m_desktop.isKeyboardGrabbed());
}

// --- the keyboard ---------------------------------------------------------------------------------

// Types a sequence like "Right S-Down Return" into the user's window while the panels hold the
// keyboard: names of keys or single characters, "S-" for Shift.
void typeKeys(SimDesktop& desktop, const QString& sequence)
{
    static const QHash<QString, int> named { { "Left", Qt::Key_Left }, { "Right", Qt::Key_Right },
        { "Up", Qt::Key_Up }, { "Down", Qt::Key_Down }, { "Return", Qt::Key_Return }, { "Space", Qt::Key_Space },
        { "Tab", Qt::Key_Tab }, { "Escape", Qt::Key_Escape } };
    for (QString key : sequence.split(u' ', Qt::SkipEmptyParts)) {
        const bool shift = key.startsWith(QLatin1String("S-"));
        if (shift)
            key = key.mid(2);
        const int qtKey = named.value(key, key.toUpper().at(0).unicode());
        desktop.typeGlobalKey(KeyEvent { SimKeyEventTranslator::keyCodeForQtKey(qtKey), shift ? ModifierFlag::Shift : 0 });
        SimDesktop::processEvents();
    }
}

struct KeySequenceCase {
    const char* name;
    const char* keys;
    // The block previewed after the keys (before a final Return, which places it), and where.
    WindowPlacementRegion block;
    DisplayID display;
    bool placed;
    bool oneScreen = false;
};

class KeySequenceTest : public TilingPanelControllerTest, public ::testing::WithParamInterface<KeySequenceCase> { };

TEST_P(KeySequenceTest, PreviewsAndPlacesTheBlockTheKeysChose)
{
    const KeySequenceCase& c = GetParam();
    if (c.oneScreen)
        m_desktop.setScreens({ primaryScreen });
    showPanelsInAnotherProgramsFocus();
    ASSERT_TRUE(m_desktop.isKeyboardGrabbed());
    QString keys = QString::fromLatin1(c.keys);
    if (c.placed)
        keys.chop(QStringLiteral(" Return").size());
    typeKeys(m_desktop, keys);
    ASSERT_EQ(controller().previewDisplayID(), c.display);
    EXPECT_EQ(grid(c.display).keyboardBlock(), c.block);
    EXPECT_TRUE(preview().isVisible());
    if (!c.placed)
        return;
    typeKeys(m_desktop, "Return");
    SimDesktop::processEvents();
    const Screen& screen = c.display == 1 ? primaryScreen : secondaryScreen;
    EXPECT_EQ(m_desktop.windowFrame(m_terminalWindow), flippedFrame(c.block.appKitFrame(screen), primaryScreen.frame));
    EXPECT_FALSE(preview().isVisible());
    EXPECT_TRUE(m_desktop.isKeyboardGrabbed()) << "kept open, the panels still take the keys";
}

INSTANTIATE_TEST_SUITE_P(Keys, KeySequenceTest,
    ::testing::Values(KeySequenceCase { "rightColumn", "Right S-Down Return", { 2, 2, { 0, 1 }, { 1, 1 } }, 1, true },
        KeySequenceCase { "vimKeys", "l j", { 2, 2, { 1, 1 }, { 1, 1 } }, 1, false },
        KeySequenceCase { "stopsAtTheEdges", "Left Up Right Right Right", { 2, 2, { 0, 1 }, { 0, 1 } }, 1, false },
        KeySequenceCase {
            "shrinksBackPastTheAnchor", "= Right S-Right S-Left S-Left", { 2, 3, { 0, 0 }, { 0, 1 } }, 1, false },
        KeySequenceCase {
            "escapeShrinksTheBlockToTheCursor", "S-Right S-Down Escape", { 2, 2, { 1, 1 }, { 1, 1 } }, 1, false },
        KeySequenceCase { "columnsStopAtTwo", "- - Right", { 2, 2, { 0, 1 }, { 0, 1 } }, 1, false },
        KeySequenceCase { "columnsStopAtEight", "= = = = = = = 9 =", { 2, 8, { 0, 0 }, { 0, 0 } }, 1, false },
        KeySequenceCase { "rowsStepWithShiftAndStopAtEight",
            "S-= S-= S-= S-= S-= S-= S-= Down S-=", { 8, 2, { 1, 0 }, { 1, 0 } }, 1, false },
        KeySequenceCase { "rowsStopAtTwo", "S-- Down Down", { 2, 2, { 1, 0 }, { 1, 0 } }, 1, false },
        KeySequenceCase { "aDigitPicksTheColumn", "= Down 3", { 2, 3, { 1, 2 }, { 1, 2 } }, 1, false },
        KeySequenceCase { "tabGoesToTheNextScreen", "Tab Right S-Down Return", { 2, 2, { 0, 1 }, { 1, 1 } }, 2, true },
        KeySequenceCase { "shiftTabWrapsAround", "S-Tab S-Tab Down", { 2, 2, { 1, 0 }, { 1, 0 } }, 1, false },
        KeySequenceCase { "tabWithOneScreenStays", "Tab Right", { 2, 2, { 0, 1 }, { 0, 1 } }, 1, false, true }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TilingPanelControllerTest, TheKeysStartOnTheTargetWindowsScreenAndContinueFromTheHover)
{
    m_desktop.addWindow(m_terminal, SimWindowSpec { Rect(2000, 100, 800, 600) });
    showPanelsInAnotherProgramsFocus();
    EXPECT_EQ(controller().keyboardDisplayID(), DisplayID(2));
    grid(1).hoverMoved({ 200, 150 }); // the bottom-right tile of the primary's grid
    typeKeys(m_desktop, "S-Left");
    EXPECT_EQ(grid(1).keyboardBlock(), (WindowPlacementRegion { 2, 2, { 1, 0 }, { 1, 1 } }));
    EXPECT_EQ(grid(1).hoveredTile(), std::nullopt);
    grid(1).hoverMoved({ 10, 10 });
    EXPECT_EQ(grid(1).keyboardBlock(), std::nullopt) << "the pointer takes over";
    typeKeys(m_desktop, "Tab");
    grid(1).hoverMoved({ 200, 10 });
    EXPECT_EQ(grid(2).keyboardBlock(), std::nullopt) << "the pointer on another screen takes over too";
    EXPECT_EQ(controller().previewDisplayID(), DisplayID(1));
}

TEST_F(TilingPanelControllerTest, AKeyboardHeldElsewhereLeavesThePointerAndIsLoggedOnce)
{
    m_desktop.holdKeyboardElsewhere(true);
    for (int i = 0; i < 2; ++i) {
        showPanelsInAnotherProgramsFocus();
        grid(1).hoverMoved({ 10, 10 });
        EXPECT_TRUE(preview().isVisible());
        controller().hidePanels();
    }
    EXPECT_EQ(m_desktop.log().messages().filter("keyboard is held").size(), 1);
}

} // namespace
