// The keyboard and `gridlume place` end to end: the real program on a desktop of its own (Xvfb
// with two monitors, Openbox, a dock, a session bus), driven by XTEST and by its command line,
// checked from outside.
#include "GridlumeDesktopTest.h"

namespace gridlume::test {
namespace {

    using namespace std::chrono_literals;

    // `primaryScale`: the scale of the primary monitor (the other stays at 1).
    DesktopProfile desktopWithSessionBus(int primaryScale = 1)
    {
        DesktopProfile profile = openboxDesktop();
        profile.sessionBus = true;
        if (primaryScale != 1) {
            profile.screenScaleFactors = QStringLiteral("M1=%1;M2=1").arg(primaryScale);
            profile.primaryRatio = primaryScale;
        }
        return profile;
    }

    class KeyboardEndToEndTest : public GridlumeDesktopTest {
    protected:
        explicit KeyboardEndToEndTest(int primaryScale = 1)
            : GridlumeDesktopTest(desktopWithSessionBus(primaryScale))
        {
        }

        xcb_window_t startXterm(std::unique_ptr<ChildProcess>& process)
        {
            return m_desktop.startActiveWindow(process, {}, "xterm");
        }

        static QRect rightHalfOfPrimary()
        {
            const Rect& primary = GridlumeWindows::primaryVisibleFrame();
            return QRect(int(primary.width() / 2), 0, int(primary.width() / 2), int(primary.height()));
        }
    };

    // Every way of hiding the panels lets the keyboard go, as another client sees it.
    enum class Hide { Escape, CloseButton, Placement, Toggle, Shortcut, ScreenChange };
    struct HideCase {
        const char* name;
        Hide hide;
    };

    class KeyboardReleased : public KeyboardEndToEndTest, public ::testing::WithParamInterface<HideCase> { };

    TEST_P(KeyboardReleased, AfterEveryWayOfHidingThePanels)
    {
        std::unique_ptr<ChildProcess> xterm;
        ASSERT_NE(startXterm(xterm), xcb_window_t(XCB_WINDOW_NONE));
        startGridlume(GridlumeUnderTest::settingsWithShortcut() + "keepTilingPanelOpenAfterTiling=false\n");
        showPanels();
        ASSERT_TRUE(m_desktop.waitUntil([&] { return !keyboardIsFree(); }, deadline))
            << "the panels did not take the keyboard";
        const QRect primaryPanel = GridlumeWindows::centredPanel(GridlumeWindows::primaryVisibleFrame());
        switch (GetParam().hide) {
        case Hide::Escape:
            key("Escape");
            break;
        case Hide::CloseButton:
            click(primaryPanel.topLeft() + QPoint(26, 22));
            break;
        case Hide::Placement:
            key("Return");
            break;
        case Hide::Toggle:
            ASSERT_TRUE(m_gridlume->toggle());
            break;
        case Hide::Shortcut: // through Gridlume's own keyboard grab
            key("ctrl+alt+space");
            break;
        case Hide::ScreenChange: // the panel holding the keyboard is rebuilt; Escape still hides
            ASSERT_TRUE(m_desktop.setSecondMonitor(false));
            ASSERT_TRUE(m_windows.waitForPanels({ primaryPanel }));
            key("Escape");
            break;
        }
        ASSERT_TRUE(m_windows.waitForPanels({})) << describe(m_windows.viewablePanels());
        EXPECT_TRUE(m_desktop.waitUntil([&] { return keyboardIsFree(); }, deadline)) << "the keyboard stayed grabbed";
    }

    INSTANTIATE_TEST_SUITE_P(KeyboardEndToEndTest, KeyboardReleased,
        ::testing::Values(HideCase { "Escape", Hide::Escape }, HideCase { "CloseButton", Hide::CloseButton },
            HideCase { "Placement", Hide::Placement }, HideCase { "Toggle", Hide::Toggle },
            HideCase { "Shortcut", Hide::Shortcut }, HideCase { "ScreenChange", Hide::ScreenChange }),
        [](const auto& info) { return std::string(info.param.name); });

    // --- gridlume place --------------------------------------------------------------------------

    struct PlaceCase {
        const char* name;
        bool withInstance;
        // Through the session bus (dbus-send) rather than the command line.
        bool viaSessionBus;
        // The fixed-size window rather than an xterm.
        bool refusingWindow;
        QStringList arguments;
        int exitCode;
        // In the command's output; for a successful placement, the window ends on the right half.
        const char* output;
        // With tileGap=10 and screenMargin=16 in the settings: the right half less 5 points on its
        // left and 16 on its other sides, on a primary monitor at this scale.
        bool withGaps = false;
        int scale = 1;
    };

    class PlaceCommand : public KeyboardEndToEndTest, public ::testing::WithParamInterface<PlaceCase> {
    protected:
        PlaceCommand()
            : KeyboardEndToEndTest(GetParam().scale)
        {
        }
    };

    TEST_P(PlaceCommand, PlacesTheActiveWindowOrSaysWhyNot)
    {
        const PlaceCase& c = GetParam();
        std::unique_ptr<ChildProcess> client;
        const xcb_window_t window
            = c.refusingWindow ? m_desktop.startActiveWindow(client, { "--fixed" }) : startXterm(client);
        ASSERT_NE(window, xcb_window_t(XCB_WINDOW_NONE));
        const std::optional<Rect> before = m_desktop.visibleFrame(window);
        QByteArray settings = GridlumeUnderTest::settingsWithShortcut();
        if (c.withGaps)
            settings += "tileGap=10\nscreenMargin=16\n";
        m_gridlume->writeSettings(settings);
        if (c.withInstance)
            startGridlume(settings);
        X11TestDesktop::ToolResult result;
        if (c.viaSessionBus) {
            QStringList arguments { "--session", "--print-reply", "--dest=org.gridlume.Gridlume",
                "/org/gridlume/Gridlume", "org.gridlume.Gridlume.Place" };
            for (const QString& argument : c.arguments)
                arguments.append("string:" + argument);
            result = m_desktop.run("dbus-send", arguments);
            result.exitCode = result.exitCode == 0 ? 0 : 1;
        } else {
            result = m_gridlume->runCommand(QStringList { "place" } + c.arguments);
        }
        EXPECT_EQ(result.exitCode, c.exitCode) << result.output.constData();
        EXPECT_TRUE(result.output.contains(c.output)) << result.output.constData();
        if (c.exitCode == 0) {
            const int s = c.scale;
            const QRect expected
                = c.withGaps ? rightHalfOfPrimary().adjusted(5 * s, 16 * s, -16 * s, -16 * s) : rightHalfOfPrimary();
            EXPECT_TRUE(waitForFrame(window, expected, m_desktop.resizeIncrementFromOutside(window)))
                << describe(m_desktop.visibleFrame(window));
        } else if (!c.refusingWindow) {
            EXPECT_EQ(describe(m_desktop.visibleFrame(window)), describe(before))
                << "bad arguments reached the desktop";
        }
    }

    INSTANTIATE_TEST_SUITE_P(KeyboardEndToEndTest, PlaceCommand,
        ::testing::Values(PlaceCase { "RightHalfThroughTheInstance", true, false, false, { "2x1", "1,0" }, 0, "" },
            PlaceCase { "RightHalfWithoutAnInstance", false, false, false, { "2x1", "1,0" }, 0, "" },
            PlaceCase { "GapsWithoutAnInstance", false, false, false, { "2x1", "1,0" }, 0, "", true },
            PlaceCase { "RefusingWindow", true, false, true, { "2x1", "1,0" }, 1, "kept its own size" },
            PlaceCase {
                "RefusingWindowWithoutAnInstance", false, false, true, { "2x1", "1,0" }, 1, "kept its own size" },
            PlaceCase {
                "NoSuchMonitor", false, false, false, { "2x1", "1,0", "--monitor", "DP-9" }, 1, "No monitor \"DP-9\"" },
            PlaceCase { "BadArguments", true, false, false, { "0x2", "9,9" }, 2, "usage: gridlume place" },
            PlaceCase {
                "RightHalfOnTheSessionBus", true, true, false, { "2x1", "1,0", "primary" }, 0, "method return" },
            PlaceCase { "GapsOnTheSessionBus", true, true, false, { "2x1", "1,0", "primary" }, 0, "method return", true },
            PlaceCase { "GapsAtScale2", true, false, false, { "2x1", "1,0" }, 0, "", true, 2 },
            PlaceCase { "GapsAtScale2WithoutAnInstance", false, false, false, { "2x1", "1,0" }, 0, "", true, 2 },
            PlaceCase {
                "RefusingWindowOnTheSessionBus", true, true, true, { "2x1", "1,0", "" }, 1, "kept its own size" },
            PlaceCase { "BadArgumentsOnTheSessionBus", true, true, false, { "0x2", "9,9", "" }, 1, "InvalidArgs" }),
        [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace gridlume::test
