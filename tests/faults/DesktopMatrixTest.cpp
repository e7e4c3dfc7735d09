// The same use of Gridlume on every window manager and panel of the matrix: the real program on
// a desktop with two monitors of different sizes (real RandR outputs), the desktop's own panel
// and tray, and a window of a real X client to place. Checked from outside, against what the
// desktop shows: the panels' and taskbars' windows, the focus, the window's frame.
#include "GridlumeDesktopTest.h"
#include "GridlumeUnderTest.h"
#include "GridlumeWindows.h"
#include "X11TestDesktop.h"

#include <gtest/gtest.h>

#include <iostream>

namespace gridlume::test {
namespace {

    using namespace std::chrono_literals;

    constexpr std::chrono::milliseconds deadline = 20s;

    QRect pixelRect(const Rect& rect) { return QRect(int(rect.minX()), int(rect.minY()), int(rect.width()), int(rect.height())); }

    class DesktopMatrixTest : public GridlumeDesktopTest, public ::testing::WithParamInterface<DesktopProfile> {
    protected:
        DesktopMatrixTest()
            : GridlumeDesktopTest(GetParam())
        {
        }

        void xdotool(const QStringList& arguments)
        {
            ASSERT_EQ(m_desktop.run(QStringLiteral("xdotool"), arguments).exitCode, 0) << qPrintable(arguments.join(u' '));
        }
        void moveTo(QPoint point) { xdotool({ QStringLiteral("mousemove"), QString::number(point.x()), QString::number(point.y()) }); }
        void key(const QString& keys) { xdotool({ QStringLiteral("key"), keys }); }

        // The free area of each monitor, as the desktop's own panels leave it.
        Rect freeArea(const Rect& monitor) const { return m_desktop.freeAreaOfMonitor(monitor); }

        std::optional<QRect> frameOf(xcb_window_t window) const
        {
            const std::optional<Rect> frame = m_desktop.visibleFrameFromOutside(window);
            return frame ? std::optional(pixelRect(*frame)) : std::nullopt;
        }

        xcb_window_t inputFocus() const
        {
            xcb_connection_t* c = m_desktop.connection();
            xcb_get_input_focus_reply_t* reply = xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
            const xcb_window_t focus = reply ? reply->focus : xcb_window_t(XCB_WINDOW_NONE);
            std::free(reply);
            return focus;
        }

        // The window has the keyboard, and the window manager says it is the active one.
        bool hasFocus(xcb_window_t window) const { return inputFocus() == window && m_desktop.activeWindow() == window; }

    };

    // Shortcut, panels centred on the free area of each monitor, the user's window keeping the
    // focus, the preview, a placement on each monitor filling exactly its free area, Escape from
    // the user's window, and a click into a panel that gives it the keyboard.
    TEST_P(DesktopMatrixTest, TilesTheActiveWindowWithTheDesktopsPanelsInPlace)
    {
        const Rect primaryArea = freeArea(X11TestDesktop::primaryMonitor);
        const Rect secondArea = freeArea(X11TestDesktop::secondMonitor);
        SCOPED_TRACE("free areas " + describe(pixelRect(primaryArea)) + " and " + describe(pixelRect(secondArea)));

        const std::unique_ptr<ChildProcess> client = m_desktop.startTestWindow();
        const xcb_window_t target = m_desktop.waitForClientWindow(client->pid(), deadline);
        ASSERT_NE(target, XCB_WINDOW_NONE);
        ASSERT_TRUE(m_desktop.activate(target));
        ASSERT_TRUE(m_desktop.waitUntil([&] { return hasFocus(target); })) << "the test window did not get the focus";

        // Control-Option-Shift-G, which no desktop here binds (IceWM binds Control-Alt-Space).
        m_gridlume->writeSettings(R"ini([General]
tilingPanelKeyboardShortcut="@ByteArray({\"keyCode\":5,\"modifiers\":6656})"
)ini");
        QString error;
        ASSERT_TRUE(m_gridlume->start(&error)) << qPrintable(error);
        if (m_desktop.hasTray()) {
            EXPECT_TRUE(m_desktop.waitUntil(
                [&] { return m_windows.trayIcon().has_value() || !m_desktop.statusNotifierItems().isEmpty(); }, deadline))
                << "no tray icon";
        }

        const std::vector<QRect> panels { GridlumeWindows::centredPanel(primaryArea), GridlumeWindows::centredPanel(secondArea) };
        {
            SCOPED_TRACE("the shortcut shows a panel centred on the free area of each monitor");
            key(QStringLiteral("ctrl+alt+shift+g"));
            ASSERT_TRUE(m_windows.waitForPanels(panels, deadline)) << describe(m_windows.viewablePanels());
            EXPECT_TRUE(hasFocus(target)) << "the panels took the focus: 0x" << std::hex << inputFocus();
            // Nor do they ask for it: no flashing task bar button.
            const xcb_atom_t attention = m_desktop.atom("_NET_WM_STATE_DEMANDS_ATTENTION");
            EXPECT_TRUE(m_desktop.waitUntil([&] {
                for (xcb_window_t panel : m_windows.windowsNamed("Gridlume Tiling Panel")) {
                    const std::vector<xcb_atom_t> states = m_desktop.windowStates(panel);
                    if (std::find(states.begin(), states.end(), attention) != states.end())
                        return false;
                }
                return true;
            })) << "a panel demands attention";
        }
        // For a look at the panels on each desktop: GRIDLUME_SCREENSHOTS=folder.
        if (const QString folder = qEnvironmentVariable("GRIDLUME_SCREENSHOTS"); !folder.isEmpty()) {
            moveTo(GridlumeWindows::tileCentre(panels[0], 1, 0));
            m_desktop.waitUntil([&] { return m_windows.viewablePreview().has_value(); }, deadline);
            m_desktop.run(QStringLiteral("import"),
                { QStringLiteral("-window"), QStringLiteral("root"), folder + u'/' + QLatin1String(GetParam().id) + QStringLiteral(".png") });
        }
        {
            SCOPED_TRACE("hovering a tile previews its block");
            moveTo(GridlumeWindows::tileCentre(panels[0], 0, 1));
            const QRect block = GridlumeWindows::tileBlock(primaryArea, 0, 1);
            EXPECT_TRUE(m_desktop.waitUntil([&] { return m_windows.viewablePreview() == block; }, deadline))
                << describe(m_windows.viewablePreview()) << " instead of " << describe(block);
        }
        const struct {
            const char* name;
            QRect panel;
            Rect area;
        } placements[] = { { "a drag over the whole grid of the primary monitor fills its free area", panels[0], primaryArea },
            { "the same on the second monitor", panels[1], secondArea } };
        for (const auto& placement : placements) {
            SCOPED_TRACE(placement.name);
            moveTo(GridlumeWindows::tileCentre(placement.panel, 0, 0));
            xdotool({ QStringLiteral("mousedown"), QStringLiteral("1") });
            moveTo(GridlumeWindows::tileCentre(placement.panel, 1, 1));
            xdotool({ QStringLiteral("mouseup"), QStringLiteral("1") });
            EXPECT_TRUE(m_desktop.waitUntil([&] { return m_desktop.visibleFrameFromOutside(target) == placement.area; }, deadline))
                << "the window is at " << describe(frameOf(target));
            EXPECT_EQ(m_windows.viewablePanels(), panels) << "the panels moved or went";
        }
        {
            SCOPED_TRACE("Escape in the user's window closes the panels");
            ASSERT_TRUE(m_desktop.activate(target));
            key(QStringLiteral("Escape"));
            EXPECT_TRUE(m_windows.waitForPanels({}, deadline)) << describe(m_windows.viewablePanels());
        }
        {
            SCOPED_TRACE("a click into a panel gives it the keyboard, and Escape there closes the panels");
            key(QStringLiteral("ctrl+alt+shift+g"));
            ASSERT_TRUE(m_windows.waitForPanels(panels, deadline)) << describe(m_windows.viewablePanels());
            EXPECT_TRUE(hasFocus(target)) << "the panels took the focus on the second show";
            moveTo(panels[0].topLeft() + QPoint(panels[0].width() / 2, 8));
            xdotool({ QStringLiteral("click"), QStringLiteral("1") });
            const std::vector<xcb_window_t> panelWindows = m_windows.windowsNamed("Gridlume Tiling Panel");
            EXPECT_TRUE(m_desktop.waitUntil(
                [&] { return std::find(panelWindows.begin(), panelWindows.end(), inputFocus()) != panelWindows.end(); },
                deadline))
                << "the focus is on 0x" << std::hex << inputFocus();
            key(QStringLiteral("Escape"));
            EXPECT_TRUE(m_windows.waitForPanels({}, deadline)) << describe(m_windows.viewablePanels());
        }
    }

    void PrintTo(const DesktopProfile& profile, std::ostream* out) { *out << profile.id; }

    INSTANTIATE_TEST_SUITE_P(Desktops, DesktopMatrixTest, ::testing::ValuesIn(desktopMatrix()),
        [](const ::testing::TestParamInfo<DesktopProfile>& info) { return std::string(info.param.id); });

} // namespace
} // namespace gridlume::test
