// The same use of Gridlume on every window manager and panel of the matrix: the real program on
// a desktop with two monitors of different sizes (real RandR outputs), the desktop's own panel
// and tray, and a window of a real X client to place. Checked from outside, against what the
// desktop shows: the panels' and taskbars' windows, the focus, the window's frame.
#include "GridlumeDesktopTest.h"

#include <QTest>

#include <iostream>
#include <string_view>

namespace gridlume::test {
namespace {

    using namespace std::chrono_literals;

    class DesktopMatrixTest : public GridlumeDesktopTest, public ::testing::WithParamInterface<DesktopProfile> {
    protected:
        DesktopMatrixTest()
            : GridlumeDesktopTest(GetParam())
        {
        }

        xcb_window_t inputFocus() const
        {
            xcb_connection_t* c = m_desktop.connection();
            const Reply<xcb_get_input_focus_reply_t> reply(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
            return reply ? reply->focus : xcb_window_t(XCB_WINDOW_NONE);
        }

        // The window has the keyboard, and the window manager says it is the active one.
        bool hasFocus(xcb_window_t window) const { return inputFocus() == window && m_desktop.activeWindow() == window; }
    };

    // Shortcut, panels centred on the free area of each monitor at its scale, the user's window
    // keeping the focus, the preview below its panel, placements on each monitor filling exactly
    // its free area and a drag that strays into the other monitor's panel, a fullscreen window
    // placed at the first click, Escape from the user's window, a click into a panel that gives
    // it the keyboard, and the shortcut again.
    TEST_P(DesktopMatrixTest, TilesTheActiveWindowWithTheDesktopsPanelsInPlace)
    {
        const DesktopProfile& profile = GetParam();
        // A desktop's panel may still grow as its applets load (mate-panel from 24 to 25 pixels):
        // the free areas are those that hold for a moment.
        Rect primaryArea;
        Rect secondArea;
        ASSERT_TRUE(m_desktop.waitUntil([&] {
            const Rect primary = m_desktop.freeAreaOfMonitor(X11TestDesktop::primaryMonitor);
            const Rect second = m_desktop.freeAreaOfMonitor(X11TestDesktop::secondMonitor);
            const bool held = primary == primaryArea && second == secondArea;
            primaryArea = primary;
            secondArea = second;
            QTest::qWait(250);
            return held;
        }, deadline)) << "the desktop's panels keep changing";
        SCOPED_TRACE("free areas " + describe(pixelRect(primaryArea)) + " and " + describe(pixelRect(secondArea)));

        std::unique_ptr<ChildProcess> client;
        const xcb_window_t target = m_desktop.startActiveWindow(client);
        ASSERT_NE(target, XCB_WINDOW_NONE);
        ASSERT_TRUE(m_desktop.waitUntil([&] { return hasFocus(target); })) << "the test window did not get the focus";

        // Control-Option-Shift-G, which no desktop here binds (IceWM binds Control-Alt-Space).
        startGridlume(GridlumeUnderTest::settingsWithShortcut(5, 6656));
        if (m_desktop.hasTray()) {
            EXPECT_TRUE(m_desktop.waitUntil(
                [&] { return m_windows.trayIcon().has_value() || !m_desktop.statusNotifierItems().isEmpty(); }, deadline))
                << "no tray icon";
        }

        std::vector<QRect> panels;
        const auto showPanels = [&] {
            key(QStringLiteral("ctrl+alt+shift+g"));
            ASSERT_TRUE(m_desktop.waitUntil([&] {
                panels = m_windows.viewablePanels();
                return panels.size() == 2 && GridlumeWindows::isCentredPanel(panels[0], primaryArea, profile.primaryRatio)
                    && GridlumeWindows::isCentredPanel(panels[1], secondArea, profile.secondRatio);
            }, deadline)) << describe(m_windows.viewablePanels());
            EXPECT_TRUE(hasFocus(target)) << "the panels took the focus: 0x" << std::hex << inputFocus();
        };
        {
            SCOPED_TRACE("the shortcut shows a panel centred on the free area of each monitor");
            showPanels();
            // Nor do they ask for it: no flashing task bar button.
            const xcb_atom_t attention = m_desktop.atom("_NET_WM_STATE_DEMANDS_ATTENTION");
            EXPECT_TRUE(m_desktop.waitUntil([&] {
                return std::ranges::none_of(m_windows.windowsNamed("Gridlume Tiling Panel"),
                    [&](xcb_window_t panel) { return std::ranges::count(m_desktop.windowStates(panel), attention) > 0; });
            })) << "a panel demands attention";
        }
        const auto panelHasFocus
            = [&] { return std::ranges::count(m_windows.windowsNamed("Gridlume Tiling Panel"), inputFocus()) > 0; };
        const auto tile = [&](int panel, int row, int column) {
            return GridlumeWindows::tileCentre(panels[panel], row, column, panel == 0 ? profile.primaryRatio : profile.secondRatio);
        };
        // For a look at the panels on each desktop: GRIDLUME_SCREENSHOTS=folder.
        if (const QString folder = qEnvironmentVariable("GRIDLUME_SCREENSHOTS"); !folder.isEmpty()) {
            moveTo(tile(0, 1, 0));
            m_desktop.waitUntil([&] { return m_windows.viewablePreview().has_value(); }, deadline);
            m_desktop.run(QStringLiteral("import"),
                { QStringLiteral("-window"), QStringLiteral("root"), folder + u'/' + QLatin1String(profile.id) + QStringLiteral(".png") });
        }
        {
            SCOPED_TRACE("hovering a tile previews its block, below the panel it belongs to");
            moveTo(tile(1, 1, 1));
            const QRect block = GridlumeWindows::tileBlock(secondArea, 1, 1);
            EXPECT_TRUE(m_desktop.waitUntil([&] { return m_windows.viewablePreview() == block; }, deadline))
                << describe(m_windows.viewablePreview()) << " instead of " << describe(block);
            EXPECT_TRUE(m_desktop.waitUntil([&] { return m_windows.isPreviewBelowPanel(panels[1]); }, deadline))
                << "the preview covers its panel";
            moveTo(QPoint(int(primaryArea.minX()) + 5, int(primaryArea.minY()) + 5));
            EXPECT_TRUE(m_desktop.waitUntil([&] { return !m_windows.viewablePreview(); }, deadline))
                << "leaving the grid left the preview at " << describe(m_windows.viewablePreview());
        }
        const QRect topLeft = GridlumeWindows::tileBlock(primaryArea, 0, 0);
        const struct {
            const char* name;
            QPoint from, to;
            Rect area;
            // Made fullscreen under the panels shown anew, clicked, placed before a second click.
            bool fullscreen = false;
        } placements[] = {
            { "a drag over the whole grid of the primary monitor fills its free area", tile(0, 0, 0), tile(0, 1, 1), primaryArea },
            { "the same on the second monitor", tile(1, 0, 0), tile(1, 1, 1), secondArea },
            { "a drag that strays into the other monitor's panel stays with its grid: the top row", tile(0, 0, 0),
                tile(1, 0, 0),
                Rect(primaryArea.minX(), primaryArea.minY(), primaryArea.width(), topLeft.height()) },
            { "the first click on a tile places a fullscreen window under the panel", tile(0, 0, 0), {},
                Rect(topLeft.x(), topLeft.y(), topLeft.width(), topLeft.height()), true },
        };
        for (const auto& placement : placements) {
            SCOPED_TRACE(placement.name);
            if (placement.fullscreen) {
                key(QStringLiteral("ctrl+alt+shift+g"));
                ASSERT_TRUE(m_windows.waitForPanels({}, deadline));
                // Fullscreen as its program asks for it, once the window manager says so.
                ASSERT_EQ(m_desktop.run(QStringLiteral("wmctrl"), { QStringLiteral("-i"), QStringLiteral("-r"),
                    QString::number(target), QStringLiteral("-b"), QStringLiteral("add,fullscreen") }).exitCode, 0);
                const xcb_atom_t fullscreen = m_desktop.atom("_NET_WM_STATE_FULLSCREEN");
                ASSERT_TRUE(m_desktop.waitUntil([&] { return std::ranges::count(m_desktop.windowStates(target), fullscreen) > 0; }));
                showPanels();
                // A user's click: its press has given the panel the focus when the release comes.
                moveTo(placement.from);
                button(true);
                EXPECT_TRUE(m_desktop.waitUntil(panelHasFocus, deadline));
                button(false);
            } else {
                drag(placement.from, placement.to);
            }
            EXPECT_TRUE(m_desktop.waitUntil(
                [&] { return m_desktop.visibleFrame(target) == placement.area; }, placement.fullscreen ? 1500ms : deadline))
                << "the window is at " << describe(m_desktop.visibleFrame(target)) << " instead of "
                << describe(pixelRect(placement.area));
            EXPECT_EQ(m_windows.viewablePanels(), panels) << "the panels moved or went";
        }
        {
            SCOPED_TRACE("Escape in the user's window closes the panels");
            ASSERT_TRUE(m_desktop.activate(target));
            key(QStringLiteral("Escape"));
            EXPECT_TRUE(m_windows.waitForPanels({}, deadline)) << describe(m_windows.viewablePanels());
        }
        {
            SCOPED_TRACE("a click into a panel gives it the keyboard, and Escape there closes the panels and gives it back");
            showPanels();
            click(panels[0].topLeft() + QPoint(panels[0].width() / 2, 8));
            EXPECT_TRUE(m_desktop.waitUntil(panelHasFocus, deadline)) << "the focus is on 0x" << std::hex << inputFocus();
            key(QStringLiteral("Escape"));
            EXPECT_TRUE(m_windows.waitForPanels({}, deadline)) << describe(m_windows.viewablePanels());
            EXPECT_TRUE(m_desktop.waitUntil([&] { return hasFocus(target); }, deadline))
                << "the focus went to 0x" << std::hex << inputFocus() << ", not back to the user's window";
        }
        {
            SCOPED_TRACE("the shortcut hides what it showed");
            ASSERT_TRUE(m_desktop.activate(target));
            showPanels();
            key(QStringLiteral("ctrl+alt+shift+g"));
            EXPECT_TRUE(m_windows.waitForPanels({}, deadline)) << describe(m_windows.viewablePanels());
            EXPECT_TRUE(m_desktop.waitUntil([&] { return hasFocus(target); }, deadline)) << "focus 0x" << std::hex << inputFocus();
        }
    }

    INSTANTIATE_TEST_SUITE_P(Desktops, DesktopMatrixTest, ::testing::ValuesIn(desktopMatrix()),
        [](const ::testing::TestParamInfo<DesktopProfile>& info) { return std::string(info.param.id); });

} // namespace
} // namespace gridlume::test
