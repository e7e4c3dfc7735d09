#include "X11DesktopTest.h"
#include "placement/WindowPlacementService.h"

#include <cmath>

namespace gridlume::test {
namespace {

    struct PlacementCase {
        const char* id;
        // xterm, which has size increments, or else the test window (none, decorated by Openbox)
        // with these arguments.
        const char* program;
        QStringList arguments;
        int screenIndex;
        WindowPlacementRegion region;
        bool maximizedFirst = false;
    };

    const PlacementCase kPlacementCases[] = {
        { "XTermTopLeftQuarterOfPrimary", "xterm", {}, 0, { 2, 2, { 0, 0 }, { 0, 0 } } },
        { "XTermBottomRowOfSecondAboveDock", "xterm", {}, 1, { 3, 3, { 2, 0 }, { 2, 2 } } },
        // Openbox writes _NET_WM_STATE twice when it unmaximizes: a write that took the second
        // write for the answer to a later request read the restored size too early and sent it
        // back after the placement.
        { "MaximizedPlainLeftHalfOfPrimary", nullptr, {}, 0, { 1, 2, { 0, 0 }, { 0, 0 } }, true },
        // xterm rewrites its size hints after every resize, Openbox then reconfigures it once more.
        { "MaximizedXTermBottomRightQuarterOfSecond", "xterm", {}, 1, { 2, 2, { 1, 1 }, { 1, 1 } }, true },
        // Drawing its own decoration, with a client-side shadow around it.
        { "ShadowedTopLeftQuarterOfSecond", nullptr, { "--shadow", "12,12,8,16" }, 1, { 2, 2, { 0, 0 }, { 0, 0 } } },
        // Rows of 341.33 pixels: both edges fractional.
        { "PlainMiddleOfThreeByThreeOfPrimary", nullptr, {}, 0, { 3, 3, { 1, 1 }, { 1, 1 } } },
    };

    // Window-system frame -> root coordinates (y down from the primary monitor's top, 1024).
    Rect rootFrame(const Rect& frame)
    {
        return Rect(frame.minX(), X11TestDesktop::primaryMonitor.maxY() - frame.maxY(), frame.width(), frame.height());
    }

    class X11PlacementTest : public X11DesktopTest {
    protected:
        // Asks the window manager to maximize `window`, as a user does with wmctrl.
        void askToMaximize(xcb_window_t window)
        {
            const QStringList arguments { "-i", "-r", QString::number(window), "-b",
                "add,maximized_vert,maximized_horz" };
            ASSERT_EQ(m_desktop.run("wmctrl", arguments).exitCode, 0);
        }

        // Maximizes `window`, which Openbox has put on the primary monitor, and waits for what the
        // user then sees: the window in both maximized states, covering that monitor. (Openbox
        // writes the state before it configures the window.)
        void maximize(xcb_window_t window)
        {
            askToMaximize(window);
            const xcb_atom_t vertical = m_desktop.atom("_NET_WM_STATE_MAXIMIZED_VERT");
            const xcb_atom_t horizontal = m_desktop.atom("_NET_WM_STATE_MAXIMIZED_HORZ");
            ASSERT_TRUE(m_desktop.waitUntil([&] {
                const std::vector<xcb_atom_t> states = m_desktop.windowStates(window);
                return std::ranges::find(states, vertical) != states.end()
                    && std::ranges::find(states, horizontal) != states.end()
                    && m_desktop.visibleFrame(window) == X11TestDesktop::primaryMonitor;
            })) << "not maximized onto the primary monitor";
            // Whatever else the window manager does for the maximize (xterm's new size hints) is
            // done before the placement starts.
            ASSERT_TRUE(m_desktop.syncWithWindowManager());
        }
    };

    class X11PlacementCaseTest : public X11PlacementTest, public ::testing::WithParamInterface<PlacementCase> { };

    // Each case on a desktop of its own: Openbox keeps per-window state that a recycled window
    // id of an earlier case would inherit.
    TEST_P(X11PlacementCaseTest, PlacesARealWindowOnTheChosenBlockInsideTheVisibleFrame)
    {
        WindowPlacementService service(platform().accessibility, platform().screens, platform().workspace, m_log);
        const PlacementCase& testCase = GetParam();
        std::unique_ptr<ChildProcess> client;
        const xcb_window_t window
            = m_desktop.startActiveWindow(client, testCase.arguments, QString::fromLatin1(testCase.program));
        ASSERT_NE(window, XCB_WINDOW_NONE);
        if (testCase.maximizedFirst)
            maximize(window);
        const std::optional<RunningApplication> target = platform().workspace.frontmostApplication();
        ASSERT_TRUE(target);
        ASSERT_EQ(target->processIdentifier(), client->pid());

        const Screen screen = platform().screens.screens().at(testCase.screenIndex);
        m_log.clear();
        ASSERT_TRUE(service.placeFocusedWindow(target, screen, testCase.region)) << qPrintable(m_log.messages().join(u'\n'));

        const std::optional<Rect> placed = m_desktop.visibleFrame(window);
        ASSERT_TRUE(placed);
        const Rect expected = rootFrame(testCase.region.appKitFrame(screen));
        // Fractional tiles round to whole pixels edge by edge, so neighbouring blocks share
        // their edges; a window with size increments keeps the largest size of its grid that
        // the window manager grants, then lies inside the block.
        const Size increment = m_desktop.resizeIncrementFromOutside(window);
        const double toleranceX = increment.width > 1 ? increment.width : 0;
        const double toleranceY = increment.height > 1 ? increment.height : 0;
        EXPECT_NEAR(placed->minX(), std::round(expected.minX()), toleranceX);
        EXPECT_NEAR(placed->minY(), std::round(expected.minY()), toleranceY);
        EXPECT_NEAR(placed->maxX(), std::round(expected.maxX()), toleranceX);
        EXPECT_NEAR(placed->maxY(), std::round(expected.maxY()), toleranceY);

        EXPECT_EQ(placed->intersected(rootFrame(screen.visibleFrame)), *placed) << "not inside the visible frame";
        if (testCase.maximizedFirst) {
            EXPECT_TRUE(m_desktop.windowStates(window).empty());
        }
    }

    INSTANTIATE_TEST_SUITE_P(Cases, X11PlacementCaseTest, ::testing::ValuesIn(kPlacementCases),
        [](const ::testing::TestParamInfo<PlacementCase>& info) { return std::string(info.param.id); });

    // A user may press the shortcut right after maximizing, before the window manager has carried
    // the maximize out; a write taking the frame it finds at that moment for the window's would
    // be ignored once the window is maximized (Openbox ignores moves of maximized windows).
    TEST_F(X11PlacementTest, AWriteOutlastsAMaximizeTheWindowManagerHasNotCarriedOutYet)
    {
        std::unique_ptr<ChildProcess> client;
        const xcb_window_t window = m_desktop.startActiveWindow(client);
        ASSERT_NE(window, XCB_WINDOW_NONE);
        AXObjectRef element;
        ASSERT_EQ(platform().accessibility.copyAttributeValue(
                      platform().accessibility.createApplication(client->pid()), kAXFocusedWindowAttribute, element),
            AXError::Success);

        // Openbox handles the maximize only once the backend first asks it for something.
        ASSERT_TRUE(m_desktop.windowManagerProcess().stop());
        askToMaximize(window);
        ASSERT_TRUE(m_desktop.resumeWindowManagerOnNextMessage());
        const Size size { 500, 400 };
        ASSERT_EQ(platform().accessibility.setAttributeValue(axCast<AXUIElement>(element), kAXSizeAttribute,
                      platform().accessibility.createSizeValue(size)),
            AXError::Success)
            << qPrintable(m_log.messages().join(u'\n'));
        // The read waits for the write to be carried out.
        AXObjectRef readSize;
        ASSERT_EQ(platform().accessibility.copyAttributeValue(axCast<AXUIElement>(element), kAXSizeAttribute, readSize),
            AXError::Success);

        const std::optional<Rect> frame = m_desktop.visibleFrame(window);
        ASSERT_TRUE(frame);
        EXPECT_EQ(frame->width(), size.width);
        EXPECT_EQ(frame->height(), size.height);
        EXPECT_TRUE(m_desktop.windowStates(window).empty());
    }

} // namespace
} // namespace gridlume::test
