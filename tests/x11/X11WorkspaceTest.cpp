#include "X11DesktopTest.h"
#include "tracking/ForegroundApplicationStore.h"

#include <QSignalSpy>

#include <unistd.h>

namespace gridlume::test {
namespace {

    using X11WorkspaceTest = X11DesktopTest;

    pid_t targetPid(const ForegroundApplicationStore& store)
    {
        return store.targetApplication() ? store.targetApplication()->processIdentifier() : 0;
    }

    TEST_F(X11WorkspaceTest, TheLaterActivatedClientBecomesTheTargetAndItsExitClearsItOnce)
    {
        ForegroundApplicationStore store(platform().workspace);
        store.startTracking();
        QSignalSpy changes(&store, &ForegroundApplicationStore::targetApplicationChanged);

        const std::unique_ptr<ChildProcess> xterm = m_desktop.startClient(QStringLiteral("xterm"));
        const std::unique_ptr<ChildProcess> testWindow = m_desktop.startTestWindow();
        const xcb_window_t xtermWindow = m_desktop.waitForClientWindow(xterm->pid());
        const xcb_window_t testWindowWindow = m_desktop.waitForClientWindow(testWindow->pid());
        ASSERT_NE(xtermWindow, XCB_WINDOW_NONE);
        ASSERT_NE(testWindowWindow, XCB_WINDOW_NONE);

        ASSERT_TRUE(m_desktop.activate(xtermWindow));
        ASSERT_TRUE(waitForEventLoop([&] { return targetPid(store) == xterm->pid(); }));
        ASSERT_TRUE(m_desktop.activate(testWindowWindow));
        ASSERT_TRUE(waitForEventLoop([&] { return targetPid(store) == testWindow->pid(); }));
        // No desktop entry names the test window: its WM_CLASS class does.
        EXPECT_EQ(store.targetApplicationName(), QStringLiteral("GridlumeTestWindow"));

        const qsizetype changesBeforeExit = changes.size();
        testWindow->kill();
        ASSERT_TRUE(waitForEventLoop([&] { return !store.targetApplication(); }));
        // Openbox activates the xterm once the test window is gone: the next change is that one,
        // so anything between the two would be a second, spurious report of the exit.
        ASSERT_TRUE(waitForEventLoop([&] { return targetPid(store) == xterm->pid(); }));
        EXPECT_EQ(changes.size(), changesBeforeExit + 2);
    }

    TEST_F(X11WorkspaceTest, OurOwnWindowsAreNoTarget)
    {
        ForegroundApplicationStore store(platform().workspace);
        store.startTracking();
        std::unique_ptr<ChildProcess> testWindow;
        const xcb_window_t window = m_desktop.startActiveWindow(testWindow);
        ASSERT_NE(window, XCB_WINDOW_NONE);
        ASSERT_TRUE(waitForEventLoop([&] { return targetPid(store) == testWindow->pid(); }));

        // A window of this process, on the test's own connection.
        xcb_connection_t* c = m_desktop.connection();
        const xcb_window_t own = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, own, m_desktop.root(), 0, 0, 200, 100, 0,
            XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        const quint32 pid = quint32(::getpid());
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, own, m_desktop.atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, 1, &pid);
        xcb_map_window(c, own);
        ASSERT_EQ(m_desktop.waitForClientWindow(::getpid()), own);
        ASSERT_TRUE(m_desktop.activate(own));
        // Activating the test window again proves the activation of our own was seen and passed over.
        QSignalSpy changes(&store, &ForegroundApplicationStore::targetApplicationChanged);
        ASSERT_TRUE(m_desktop.activate(window));
        waitForEventLoop([&] { return platform().workspace.frontmostApplication().has_value(); });
        EXPECT_EQ(targetPid(store), testWindow->pid());
        EXPECT_TRUE(changes.isEmpty());
    }

    TEST_F(X11WorkspaceTest, NamesAnApplicationFromItsDesktopEntry)
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
    }

} // namespace
} // namespace gridlume::test
