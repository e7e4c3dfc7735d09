// The whole program as a user meets it on a desktop with a tray (Openbox, trayer, the test dock):
// its tray icon, its menu and its settings window.
// Driven through XTEST and read through the X server only.
#include "GridlumeDesktopTest.h"

#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

#include <utility>

namespace gridlume::test {
namespace {

    DesktopProfile desktopWithTray()
    {
        DesktopProfile profile = openboxDesktop();
        profile.id = "OpenboxTrayer";
        profile.standaloneTray = true;
        return profile;
    }

    class AppEndToEndTest : public GridlumeDesktopTest {
    protected:
        AppEndToEndTest()
            : GridlumeDesktopTest(desktopWithTray())
        {
        }

        // The tray lays its icons out again as one arrives: the icon is clicked once it stays put.
        void clickTrayIcon(quint8 button)
        {
            QRect icon;
            ASSERT_TRUE(m_desktop.waitUntil([&] {
                const QRect before = std::exchange(icon, m_windows.trayIcon() ? m_windows.rootGeometry(*m_windows.trayIcon()) : QRect());
                QThread::msleep(50);
                return icon.isValid() && icon == before;
            }, deadline)) << "no tray icon";
            click(icon.center(), button);
        }

        bool waitForPrimaryPanel(bool shown)
        {
            return m_desktop.waitUntil([&] { return (m_windows.viewablePanels().size() == 2) == shown; }, deadline);
        }
    };

    // Recording a shortcut there is the recorder suite's (on every desktop of the matrix).
    TEST_F(AppEndToEndTest, TrayIconToggleMenuSettingsAndQuit)
    {
        startGridlume(std::nullopt);

        clickTrayIcon(1);
        ASSERT_TRUE(waitForPrimaryPanel(true)) << "a left click shows the panels";
        clickTrayIcon(1);
        ASSERT_TRUE(waitForPrimaryPanel(false)) << "another left click hides them";

        clickTrayIcon(1);
        ASSERT_TRUE(waitForPrimaryPanel(true));
        clickTrayIcon(3);
        ASSERT_TRUE(m_desktop.waitUntil([&] { return m_windows.viewableMenu().has_value(); }, deadline))
            << "a right click shows the menu";
        EXPECT_TRUE(waitForPrimaryPanel(false)) << "and hides the panels";
        // "Settings…" is the first row, "Quit Gridlume" the last.
        const QRect menu = *m_windows.viewableMenu();
        click(QPoint(menu.center().x(), menu.top() + 10));
        ASSERT_TRUE(m_desktop.waitUntil([&] { return m_windows.viewableSettingsWindow().has_value(); }, deadline));
        EXPECT_EQ(m_windows.viewableSettingsWindow()->size(), QSize(580, 320));


        clickTrayIcon(3);
        ASSERT_TRUE(m_desktop.waitUntil([&] { return m_windows.viewableMenu().has_value(); }, deadline));
        const QRect again = *m_windows.viewableMenu();
        click(QPoint(again.center().x(), again.bottom() - 10));
        EXPECT_EQ(m_gridlume->process().waitForExit(deadline), 0);
    }

    // A layout's shortcut recorded on the Layouts tab steps through the layout's blocks on the
    // window, and starts again at the first once the window has been moved in between.
    TEST_F(AppEndToEndTest, LayoutShortcutRecordedInTheSettingsWindowStepsThroughItsBlocks)
    {
        ASSERT_NO_FATAL_FAILURE(startTarget({}, QStringLiteral("xterm")));
        startGridlume(GridlumeUnderTest::settingsWithShortcut() + R"(placementLayouts="{\"version\":1,\"layouts\":[)"
            R"({\"name\":\"Left\",\"steps\":[\"2x1 0,0\",\"3x1 0,0\",\"3x1 0,0:1,0\"]}]}")" "\n");
        (void)m_gridlume->runCommand({});
        ASSERT_TRUE(m_desktop.waitUntil([&] { return m_windows.viewableSettingsWindow().has_value(); }, deadline));
        click(m_windows.viewableSettingsWindow()->topLeft() + QPoint(138, 14));
        // Control-Alt-J; the recorder sits beside "Shortcut" on the Layouts tab.
        ASSERT_NO_FATAL_FAILURE(recordShortcut(QStringLiteral("ctrl+alt+j"), [&] {
            QFile file(m_gridlume->settingsFilePath());
            return file.open(QIODevice::ReadOnly)
                && file.readAll().replace("\\\"", "\"").contains(R"("shortcut":{"keyCode":38,"modifiers":6144})");
        }, QPoint(394, 150)));

        const Rect area = m_desktop.freeAreaOfMonitor(X11TestDesktop::primaryMonitor);
        const auto part = [&](double from, double width) {
            return QRect(int(std::lround(area.minX() + from * area.width())), int(area.minY()),
                int(std::lround(width * area.width())), int(area.height()));
        };
        ASSERT_TRUE(m_desktop.activate(m_target));
        const Size increments = m_desktop.resizeIncrementFromOutside(m_target);
        for (const QRect& block : { part(0, 0.5), part(0, 1 / 3.0), part(0, 2 / 3.0), part(0, 0.5) }) {
            key(QStringLiteral("ctrl+alt+j"));
            EXPECT_TRUE(waitForFrame(m_target, block, increments))
                << describe(m_desktop.visibleFrame(m_target)) << " instead of " << describe(block);
        }
        m_desktop.run("xdotool", { "windowmove", QString::number(m_target), "200", "150" });
        ASSERT_TRUE(m_desktop.waitUntil([&] { return !isNear(m_desktop.visibleFrame(m_target), part(0, 0.5)); }, deadline));
        key(QStringLiteral("ctrl+alt+j"));
        EXPECT_TRUE(waitForFrame(m_target, part(0, 0.5), increments)) << describe(m_desktop.visibleFrame(m_target));
    }

} // namespace
} // namespace gridlume::test
