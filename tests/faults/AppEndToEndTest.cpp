// The whole program as a user meets it on a desktop with a tray (Openbox, trayer, the test dock):
// its tray icon, its menu, its settings window and a shortcut recorded there.
// Driven through XTEST and read through the X server only.
#include "GridlumeDesktopTest.h"

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

    // A shortcut recorded in the settings window the menu opens is saved and in force.
    TEST_F(AppEndToEndTest, TrayIconToggleMenuSettingsShortcutAndQuit)
    {
        ASSERT_NO_FATAL_FAILURE(startTarget({}, QStringLiteral("xterm")));
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
        // Three rows and a separator; "Settings…" is the first, "Quit Gridlume" the last.
        const QRect menu = *m_windows.viewableMenu();
        EXPECT_GE(menu.height(), 3 * 16);
        click(QPoint(menu.center().x(), menu.top() + 10));
        ASSERT_TRUE(m_desktop.waitUntil([&] { return m_windows.viewableSettingsWindow().has_value(); }, deadline));
        EXPECT_EQ(m_windows.viewableSettingsWindow()->size(), QSize(580, 320));

        ASSERT_NO_FATAL_FAILURE(
            recordShortcut(QStringLiteral("ctrl+alt+space"), [&] { return m_gridlume->savedShortcutIs(49, 6144); }));
        ASSERT_TRUE(m_desktop.activate(m_target));
        key(QStringLiteral("ctrl+alt+space"));
        ASSERT_TRUE(waitForPrimaryPanel(true)) << "the shortcut shows the panels";
        key(QStringLiteral("ctrl+alt+space"));
        EXPECT_TRUE(waitForPrimaryPanel(false)) << "the shortcut hides the panels again";

        clickTrayIcon(3);
        ASSERT_TRUE(m_desktop.waitUntil([&] { return m_windows.viewableMenu().has_value(); }, deadline));
        const QRect again = *m_windows.viewableMenu();
        click(QPoint(again.center().x(), again.bottom() - 10));
        EXPECT_EQ(m_gridlume->process().waitForExit(deadline), 0);
    }

} // namespace
} // namespace gridlume::test
