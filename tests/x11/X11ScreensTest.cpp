#include "X11DesktopTest.h"

#include <QSignalSpy>

namespace gridlume::test {
namespace {

    using X11ScreensTest = X11DesktopTest;

    // The window-system space has its origin at the primary monitor's bottom-left corner, y up;
    // the primary monitor is 1024 high, so a root y of 0 is a window-system top edge of 1024.
    constexpr Rect kSecondMonitorFrame { 1280, 1024 - 768, 1024, 768 };
    constexpr Rect kSecondMonitorWithoutDock { 1280, 1024 - 768 + 40, 1024, 768 - 40 };

    // When the dock goes, the client list, the stacking order and the work area all change: one
    // report, and the monitors keep their display IDs.
    TEST_F(X11ScreensTest, ReportsBothMonitorsPrimaryFirstWithTheDockSubtractedFromItsOwnMonitorUntilItGoes)
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

        QSignalSpy changes(&platform().screens, &ScreenProvider::screensChanged);
        m_desktop.removeDock();
        ASSERT_TRUE(waitForEventLoop([&] { return !changes.isEmpty(); }));
        EXPECT_EQ(changes.size(), 1);
        const QList<Screen> after = platform().screens.screens();
        EXPECT_EQ(after[1].visibleFrame, kSecondMonitorFrame);
        EXPECT_EQ(after[0].displayID, screens[0].displayID);
        EXPECT_EQ(after[1].displayID, screens[1].displayID);
    }

} // namespace
} // namespace gridlume::test
