#include "X11DesktopTest.h"

#include <QSignalSpy>

namespace gridlume::test {
namespace {

    using X11ScreensTest = X11DesktopTest;

    // The window-system space has its origin at the primary monitor's bottom-left corner, y up;
    // the primary monitor is 1024 high, so a root y of 0 is a window-system top edge of 1024.
    constexpr Rect kSecondMonitorFrame { 1280, 1024 - 768, 1024, 768 };
    constexpr Rect kSecondMonitorWithoutDock { 1280, 1024 - 768 + 40, 1024, 768 - 40 };

    TEST_F(X11ScreensTest, ReportsBothMonitorsPrimaryFirstWithTheDockSubtractedFromItsOwnMonitorOnly)
    {
        const QList<Screen> screens = platform().screens.screens();
        ASSERT_EQ(screens.size(), 2);

        EXPECT_EQ(screens[0].name, QStringLiteral("M1"));
        EXPECT_EQ(screens[0].frame, Rect(0, 0, 1280, 1024));
        EXPECT_EQ(screens[0].visibleFrame, Rect(0, 0, 1280, 1024)) << "the dock is on the other monitor";

        EXPECT_EQ(screens[1].name, QStringLiteral("M2"));
        EXPECT_EQ(screens[1].frame, kSecondMonitorFrame);
        EXPECT_EQ(screens[1].visibleFrame, kSecondMonitorWithoutDock);

        ASSERT_TRUE(screens[0].displayID && screens[1].displayID);
        EXPECT_NE(*screens[0].displayID, *screens[1].displayID);
    }

    // The client list, the stacking order and the work area all change; one report, and the
    // monitors keep their display IDs.
    TEST_F(X11ScreensTest, RemovingTheDockGivesItsMonitorBackInOneChange)
    {
        const QList<Screen> before = platform().screens.screens();
        QSignalSpy changes(&platform().screens, &ScreenProvider::screensChanged);
        m_desktop.removeDock();
        ASSERT_TRUE(waitForEventLoop([&] { return !changes.isEmpty(); }));
        EXPECT_EQ(changes.size(), 1);
        const QList<Screen> after = platform().screens.screens();
        EXPECT_EQ(after[1].visibleFrame, kSecondMonitorFrame);
        EXPECT_EQ(after[0].displayID, before[0].displayID);
        EXPECT_EQ(after[1].displayID, before[1].displayID);
    }

    TEST_F(X11ScreensTest, FollowsMonitorChanges)
    {
        ASSERT_TRUE(m_desktop.setSecondMonitor(false));
        ASSERT_TRUE(waitForEventLoop([&] { return platform().screens.screens().size() == 1; }));

        // The second monitor comes back at 800 × 600; the dock's strut band (root rows 728–1023)
        // no longer overlaps it, so nothing is taken from it.
        ASSERT_EQ(m_desktop.run(QStringLiteral("xrandr"), { QStringLiteral("--setmonitor"), QStringLiteral("M2"),
                      QStringLiteral("800/211x600/158+1280+0"), QStringLiteral("none") }).exitCode, 0);
        ASSERT_TRUE(waitForEventLoop([&] { return platform().screens.screens().size() == 2; }));
        const QList<Screen> screens = platform().screens.screens();
        EXPECT_EQ(screens[0].frame, Rect(0, 0, 1280, 1024));
        EXPECT_EQ(screens[1].frame, Rect(1280, 1024 - 600, 800, 600));
        EXPECT_EQ(screens[1].visibleFrame, Rect(1280, 1024 - 600, 800, 600));
    }

} // namespace
} // namespace gridlume::test
