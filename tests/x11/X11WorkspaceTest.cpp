#include "X11DesktopTest.h"

namespace gridlume::test {
namespace {

    using X11WorkspaceTest = X11DesktopTest;

    TEST_F(X11WorkspaceTest, NamesAnApplicationFromItsDesktopEntryOrElseItsWindowClass)
    {
        std::unique_ptr<ChildProcess> xterm;
        ASSERT_NE(m_desktop.startActiveWindow(xterm, {}, QStringLiteral("xterm")), XCB_WINDOW_NONE);
        const std::optional<RunningApplication> application = platform().workspace.frontmostApplication();
        ASSERT_TRUE(application);
        EXPECT_EQ(application->processIdentifier(), xterm->pid());
        EXPECT_NE(application->launchIdentity(), 0u);
        // Debian's xterm package declares StartupWMClass=XTerm in debian-xterm.desktop.
        EXPECT_EQ(application->localizedName(), std::optional<QString>(QStringLiteral("XTerm")));
        EXPECT_EQ(application->bundleIdentifier(), std::optional<QString>(QStringLiteral("debian-xterm")));

        // No desktop entry names the test window: its WM_CLASS class does.
        std::unique_ptr<ChildProcess> testWindow;
        ASSERT_NE(m_desktop.startActiveWindow(testWindow), XCB_WINDOW_NONE);
        const std::optional<RunningApplication> unlisted = platform().workspace.frontmostApplication();
        ASSERT_TRUE(unlisted);
        EXPECT_EQ(unlisted->processIdentifier(), testWindow->pid());
        EXPECT_EQ(unlisted->localizedName(), std::optional<QString>(QStringLiteral("GridlumeTestWindow")));
    }

} // namespace
} // namespace gridlume::test
