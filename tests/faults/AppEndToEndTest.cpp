// The whole program as a user meets it on a desktop with a tray (Openbox, trayer, the test dock):
// its tray icon, its menu and its settings window.
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

} // namespace
} // namespace gridlume::test
