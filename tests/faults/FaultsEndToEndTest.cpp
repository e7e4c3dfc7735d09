// Faults end to end: the real program on a desktop of its own (Xvfb with two monitors, Openbox,
// a dock), with something going wrong around it: the window manager dies, a monitor goes in the
// middle of a drag, the window to place or its program goes, the X server goes, the settings
// file is damaged, the shortcut is taken. Each case ends with Gridlume still doing its job,
// checked from outside, or gone cleanly where there is no display left, and nothing of the
// user's lost.
#include "GridlumeDesktopTest.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <csignal>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>

namespace gridlume::test {
namespace {

    using namespace std::chrono_literals;

    // Control + Mod1 (Alt), and X keycode 65 (space) on Xvfb's evdev keymap.
    constexpr quint16 controlAlt = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;
    constexpr xcb_keycode_t spaceKeycode = 65;

    class FaultsEndToEndTest : public GridlumeDesktopTest {
    protected:
        // Hovers tile `from`, presses, drags to tile `to` of the same panel and waits until the
        // preview covers both.
        void beginDrag(const QRect& panel, QPoint from, QPoint to, const QRect& previewBlock)
        {
            moveTo(GridlumeWindows::tileCentre(panel, from.y(), from.x()));
            button(true);
            moveTo(GridlumeWindows::tileCentre(panel, to.y(), to.x()));
            ASSERT_TRUE(m_desktop.waitUntil([&] { return m_windows.viewablePreview() == previewBlock; }, deadline))
                << "the preview did not follow the drag";
        }

        // The top half of the primary monitor, the block of the top row of its panel.
        static QRect topHalfOfPrimary()
        {
            const Rect& primary = GridlumeWindows::primaryVisibleFrame();
            return QRect(0, 0, int(primary.width()), int(primary.height() / 2));
        }

        // The shortcut shows and hides the panels.
        void expectShortcutToggles(const QString& keys)
        {
            ASSERT_TRUE(m_windows.waitForPanels({}));
            // A shortcut just recorded is in force once Gridlume has handled the recorder's key
            // press, which nothing outside shows: until then a press goes to the settings window.
            bool shown = false;
            for (int attempt = 0; attempt < 4 && !shown; ++attempt) {
                key(keys);
                shown = m_windows.waitForPanels(GridlumeWindows::panelsOfBothMonitors(), 5s);
            }
            ASSERT_TRUE(shown) << keys.toStdString() << " did not show the panels";
            key(keys);
            ASSERT_TRUE(m_windows.waitForPanels({})) << keys.toStdString() << " did not hide the panels";
        }

        // Gridlume still does its job: --toggle hides and shows its panels (`panels`, with the
        // panels left shown), and, given a window of a live program, a drag on the primary
        // panel places it.
        void expectResponsive(const std::vector<QRect>& panels = GridlumeWindows::panelsOfBothMonitors(),
            xcb_window_t target = XCB_WINDOW_NONE)
        {
            ASSERT_TRUE(m_gridlume->isRunning()) << "Gridlume is gone";
            if (!m_windows.viewablePanels().empty()) {
                ASSERT_TRUE(m_gridlume->toggle());
                ASSERT_TRUE(m_windows.waitForPanels({})) << "--toggle did not hide the panels: "
                                                         << describe(m_windows.viewablePanels());
            }
            ASSERT_TRUE(m_gridlume->toggle());
            ASSERT_TRUE(m_windows.waitForPanels(panels)) << "--toggle did not show the panels: "
                                                         << describe(m_windows.viewablePanels());
            if (target == XCB_WINDOW_NONE)
                return;
            ASSERT_TRUE(m_desktop.activate(target));
            // The target is the frontmost application when the panels open.
            ASSERT_TRUE(m_gridlume->toggle());
            ASSERT_TRUE(m_windows.waitForPanels({}));
            ASSERT_TRUE(m_gridlume->toggle());
            ASSERT_TRUE(m_windows.waitForPanels(panels));
            const QRect primaryPanel = GridlumeWindows::centredPanel(GridlumeWindows::primaryVisibleFrame());
            drag(GridlumeWindows::tileCentre(primaryPanel, 0, 0), GridlumeWindows::tileCentre(primaryPanel, 0, 1));
            EXPECT_TRUE(waitForFrame(target, topHalfOfPrimary()))
                << "the window did not move to the top half: " << describe(m_desktop.visibleFrame(target));
        }
    };

    // A file's bytes and inode, so that "left alone" can be checked: a file written anew, even
    // with the same bytes, is another inode.
    QString snapshot(const QString& path)
    {
        struct stat info {};
        QFile file(path);
        if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !file.open(QIODevice::ReadOnly))
            return QStringLiteral("absent");
        return QStringLiteral("inode %1 mode %2 ").arg(info.st_ino).arg(info.st_mode, 0, 8)
            + QString::fromLatin1(file.readAll().toHex());
    }

    // The window manager ------------------------------------------------------------------------

    TEST_F(FaultsEndToEndTest, WindowManagerKilledAndRestartedWhileThePanelsAreShown)
    {
        ASSERT_NO_FATAL_FAILURE(startTarget());
        startGridlume();
        showPanels();

        m_desktop.windowManagerProcess().kill();
        // The server hands the managed windows back to the root once the manager's connection is
        // gone; the client list it kept stays behind, so it is cleared to see the next one.
        xcb_delete_property(m_desktop.connection(), m_desktop.root(), m_desktop.atom("_NET_CLIENT_LIST"));
        xcb_flush(m_desktop.connection());

        auto restarted = m_desktop.startClient(QStringLiteral("openbox"), { QStringLiteral("--sm-disable") });
        ASSERT_TRUE(m_desktop.waitUntil([&] { return std::ranges::count(m_desktop.clientList(), m_target) > 0; }, deadline))
            << "the new window manager did not take over";

        EXPECT_TRUE(m_windows.waitForPanels(GridlumeWindows::panelsOfBothMonitors()))
            << "the panels did not survive the window manager: " << describe(m_windows.viewablePanels());
        expectResponsive(GridlumeWindows::panelsOfBothMonitors(), m_target);
    }

    // Monitors ----------------------------------------------------------------------------------

    // The monitor whose grid is being dragged on goes while the button is held.
    TEST_F(FaultsEndToEndTest, MonitorRemovedDuringADragCancelsItAndLeavesTheWindowWhereItWas)
    {
        ASSERT_NO_FATAL_FAILURE(startTarget());
        startGridlume();
        showPanels();
        const std::optional<Rect> before = m_desktop.visibleFrame(m_target);
        ASSERT_TRUE(before);

        const Rect visible = GridlumeWindows::secondVisibleFrame();
        const QRect panel = GridlumeWindows::centredPanel(visible);
        const QRect leftColumn = GridlumeWindows::tileBlock(visible, 0, 0).united(GridlumeWindows::tileBlock(visible, 1, 0));
        beginDrag(panel, QPoint(0, 0), QPoint(0, 1), leftColumn);

        ASSERT_TRUE(m_desktop.setSecondMonitor(false));
        // One panel is left, on the monitor that stays. (While the panels are rebuilt, the old
        // one of the removed monitor can be the only one shown for a moment.)
        const std::vector<QRect> remaining { GridlumeWindows::centredPanel(GridlumeWindows::primaryVisibleFrame()) };
        ASSERT_TRUE(m_windows.waitForPanels(remaining)) << describe(m_windows.viewablePanels());
        button(false);

        // Whatever the release hit, the layout it was begun on is gone: the window stays.
        ASSERT_TRUE(m_gridlume->toggle());
        ASSERT_TRUE(m_windows.waitForPanels({}));
        EXPECT_EQ(describe(m_desktop.visibleFrame(m_target)), describe(before));
        EXPECT_FALSE(m_windows.viewablePreview()) << "the preview stayed behind";

        expectResponsive(remaining);
        // The monitor comes back while the panels are shown: they follow.
        ASSERT_TRUE(m_desktop.setSecondMonitor(true));
        EXPECT_TRUE(m_windows.waitForPanels(GridlumeWindows::panelsOfBothMonitors())) << describe(m_windows.viewablePanels());
        expectResponsive(GridlumeWindows::panelsOfBothMonitors(), m_target);
    }

    // A dock whose strut is larger than the screen (a buggy panel, or one sized for another
    // scale) leaves no usable area: the panels and the placement fall back to the monitors, and
    // the real work area returns with the strut's removal.
    TEST_F(FaultsEndToEndTest, AStrutLargerThanTheMonitorsKeepsPanelsAndWindowsOnThem)
    {
        ASSERT_NO_FATAL_FAILURE(startTarget());
        startGridlume();
        showPanels();

        // _NET_WM_STRUT covers each edge of the root window whole, so both monitors lose all.
        xcb_connection_t* c = m_desktop.connection();
        const xcb_window_t dock = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, dock, m_desktop.root(), 0, 1000, 1280, 24, 0,
            XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        const xcb_atom_t dockType = m_desktop.atom("_NET_WM_WINDOW_TYPE_DOCK");
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, dock, m_desktop.atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 1, &dockType);
        const quint32 strut[4] = { 0, 0, 0, 100000 };
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, dock, m_desktop.atom("_NET_WM_STRUT"), XCB_ATOM_CARDINAL, 32, 4, strut);
        xcb_map_window(c, dock);
        xcb_flush(c);

        const std::vector<QRect> onMonitors { GridlumeWindows::centredPanel(X11TestDesktop::primaryMonitor),
            GridlumeWindows::centredPanel(X11TestDesktop::secondMonitor) };
        EXPECT_TRUE(m_windows.waitForPanels(onMonitors)) << describe(m_windows.viewablePanels());
        EXPECT_EQ(m_gridlume->countLogMessages(QStringLiteral("smaller than a panel")), 2);

        ASSERT_TRUE(m_desktop.activate(m_target));
        drag(GridlumeWindows::tileCentre(onMonitors[0], 0, 0), GridlumeWindows::tileCentre(onMonitors[0], 1, 1));
        const Rect& primary = X11TestDesktop::primaryMonitor;
        EXPECT_TRUE(waitForFrame(m_target, QRect(0, 0, int(primary.width()), int(primary.height()))))
            << "the window is at " << describe(m_desktop.visibleFrame(m_target));

        // The strut goes; the panels return to the work area the test dock leaves.
        xcb_delete_property(c, dock, m_desktop.atom("_NET_WM_STRUT"));
        xcb_flush(c);
        EXPECT_TRUE(m_windows.waitForPanels(GridlumeWindows::panelsOfBothMonitors())) << describe(m_windows.viewablePanels());
        xcb_destroy_window(c, dock);
        xcb_flush(c);
    }

    // The target ----------------------------------------------------------------------------------

    enum class TargetLoss { ClosedProgramEnds, ClosedProgramStays, ClosedProgramKeepsAnotherWindow, KilledDuringThePlacement };

    struct TargetLossCase {
        const char* name;
        TargetLoss loss;
        QStringList arguments;
    };

    class TargetGoesDuringADrag : public FaultsEndToEndTest, public ::testing::WithParamInterface<TargetLossCase> { };

    // The target window closed between the hover and the release (the way a user closes it,
    // through the window manager), or its program killed while the placement waits for a stopped
    // window manager: no other window moves, and Gridlume goes on.
    TEST_P(TargetGoesDuringADrag, MovesNoOtherWindow)
    {
        const TargetLossCase& loss = GetParam();
        std::unique_ptr<ChildProcess> bystander;
        const xcb_window_t bystanderWindow = m_desktop.startActiveWindow(bystander);
        ASSERT_NE(bystanderWindow, xcb_window_t(XCB_WINDOW_NONE));
        ASSERT_NO_FATAL_FAILURE(startTarget(loss.arguments));
        startGridlume();
        showPanels();
        const std::optional<Rect> bystanderBefore = m_desktop.visibleFrame(bystanderWindow);

        const QRect panel = GridlumeWindows::centredPanel(GridlumeWindows::primaryVisibleFrame());
        beginDrag(panel, QPoint(0, 0), QPoint(1, 0), topHalfOfPrimary());
        if (loss.loss == TargetLoss::KilledDuringThePlacement) {
            ASSERT_TRUE(m_desktop.windowManagerProcess().stop());
            button(false);
            const bool released = m_desktop.waitUntil([&] { return !m_windows.viewablePreview(); }, deadline);
            m_targetProcess->kill();
            m_desktop.resumeWindowManager();
            ASSERT_TRUE(released) << "the release did not end the drag";
            ASSERT_TRUE(m_desktop.waitUntil([&] { return !m_desktop.windowExists(m_target); }, deadline));
        } else {
            ASSERT_EQ(m_desktop.run(QStringLiteral("wmctrl"), { QStringLiteral("-i"), QStringLiteral("-c"), QString::number(m_target) }).exitCode, 0);
            ASSERT_TRUE(m_desktop.waitUntil([&] { return !m_desktop.windowExists(m_target); }, deadline));
            if (loss.loss == TargetLoss::ClosedProgramEnds) {
                ASSERT_GE(m_targetProcess->waitForExit(deadline), 0) << "the program did not end with its window";
            }
            button(false);
            ASSERT_TRUE(m_gridlume->toggle());
            ASSERT_TRUE(m_windows.waitForPanels({}));
        }
        EXPECT_EQ(describe(m_desktop.visibleFrame(bystanderWindow)), describe(bystanderBefore))
            << "a window of another program moved";
        expectResponsive(GridlumeWindows::panelsOfBothMonitors(), bystanderWindow);
    }

    INSTANTIATE_TEST_SUITE_P(FaultsEndToEndTest, TargetGoesDuringADrag,
        ::testing::Values(TargetLossCase { "ClosedTheProgramEnds", TargetLoss::ClosedProgramEnds, {} },
            TargetLossCase { "ClosedTheProgramStays", TargetLoss::ClosedProgramStays, { QStringLiteral("--stay") } },
            TargetLossCase { "ClosedTheProgramKeepsAnotherWindow", TargetLoss::ClosedProgramKeepsAnotherWindow,
                { QStringLiteral("--windows"), QStringLiteral("2") } },
            TargetLossCase { "KilledDuringThePlacement", TargetLoss::KilledDuringThePlacement, {} }),
        [](const auto& info) { return std::string(info.param.name); });

    // The X server --------------------------------------------------------------------------------

    // The X server killed in the middle of a drag.
    TEST_F(FaultsEndToEndTest, XServerGoneGridlumeExitsWithAMessageAndAFailureStatusAndTheSettingsStay)
    {
        ASSERT_NO_FATAL_FAILURE(startTarget());
        startGridlume();
        const QString settings = snapshot(m_gridlume->settingsFilePath());
        showPanels();
        const QRect panel = GridlumeWindows::centredPanel(GridlumeWindows::primaryVisibleFrame());
        beginDrag(panel, QPoint(0, 0), QPoint(1, 0), topHalfOfPrimary());

        m_desktop.serverProcess().kill();

        const int status = m_gridlume->process().waitForExit(deadline);
        ASSERT_NE(status, -1) << "Gridlume is still running without its display";
        ASSERT_TRUE(WIFEXITED(status)) << "Gridlume ended by signal " << WTERMSIG(status);
        EXPECT_NE(WEXITSTATUS(status), 0);
        // In the log a user reads (the journal), not only on a standard error no one sees.
        const QStringList messages = m_gridlume->logMessages();
        EXPECT_FALSE(messages.filter(QRegularExpression(QStringLiteral("X(11)? (server|connection)"))).isEmpty())
            << qPrintable(messages.join(u'\n'));
        EXPECT_EQ(snapshot(m_gridlume->settingsFilePath()), settings);
    }

    // The settings file ---------------------------------------------------------------------------

    // A damaged settings file (the unit tests of the store cover an unreadable and an unwritable
    // one): the program runs on its defaults, keeps changes for the session however often they
    // are made, says so once, and never writes the file, also not when it ends.
    TEST_F(FaultsEndToEndTest, DamagedSettingsFileIsSaidOnceAndLeftAlone)
    {
        std::mt19937 random(6);
        QByteArray garbage(4096, '\0');
        for (char& byte : garbage)
            byte = char(random() & 0xFF);
        m_gridlume->writeSettings(garbage);
        const QString before = snapshot(m_gridlume->settingsFilePath());
        ASSERT_NO_FATAL_FAILURE(startTarget());
        startGridlume(std::nullopt);

        // Without a shortcut and without a tray, the settings window opens by itself.
        ASSERT_TRUE(m_desktop.waitUntil([&] { return m_windows.viewableSettingsWindow().has_value(); }, deadline))
            << "no settings window";
        recordShortcut(QStringLiteral("ctrl+alt+g"));
        expectShortcutToggles(QStringLiteral("ctrl+alt+g"));
        recordShortcut(QStringLiteral("ctrl+alt+h"));
        expectShortcutToggles(QStringLiteral("ctrl+alt+h"));
        expectResponsive();

        EXPECT_EQ(m_gridlume->countLogMessages(QStringLiteral("is damaged and cannot be read")), 1)
            << qPrintable(m_gridlume->logMessages().join(u'\n'));
        EXPECT_EQ(snapshot(m_gridlume->settingsFilePath()), before);
        m_gridlume->process().terminate();
        EXPECT_EQ(snapshot(m_gridlume->settingsFilePath()), before) << "the file changed when Gridlume ended";
    }

    // The shortcut ----------------------------------------------------------------------------------

    TEST_F(FaultsEndToEndTest, ShortcutHeldByAnotherProgram)
    {
        ASSERT_EQ(m_desktop.grabKey(spaceKeycode, controlAlt), 0);
        m_gridlume->writeSettings(GridlumeUnderTest::settingsWithShortcut());
        const QString before = snapshot(m_gridlume->settingsFilePath());
        ASSERT_NO_FATAL_FAILURE(startTarget());
        startGridlume(std::nullopt);
        expectResponsive(GridlumeWindows::panelsOfBothMonitors(), m_target);

        // eventHotKeyExistsErr: another program has it; said once by the hot key service and once
        // by the start.
        EXPECT_EQ(m_gridlume->countLogMessages(QStringLiteral("Failed to register hot key: id=1, keyCode=49, modifiers=6144, status=-9878")), 1)
            << qPrintable(m_gridlume->logMessages().join(u'\n'));
        EXPECT_EQ(m_gridlume->countLogMessages(QStringLiteral("Failed to set tiling panel hot key handler: HotKey registration failed")), 1);
        // Gridlume kept none of the variants it could take: the other program gets them too.
        EXPECT_EQ(m_desktop.grabKey(spaceKeycode, controlAlt | XCB_MOD_MASK_LOCK), 0);
        EXPECT_EQ(m_desktop.grabKey(spaceKeycode, controlAlt | XCB_MOD_MASK_2), 0);
        // The shortcut stays recorded for the next session.
        EXPECT_EQ(snapshot(m_gridlume->settingsFilePath()), before);
    }

    // Recording a combination that another program holds: the desktop hands the press to that
    // program, never to the recorder; the recording ends as for a refused shortcut and says so,
    // and the previous shortcut stays in force and in the file. Before it, the shortcut hid the
    // panels from the user's window and was let go once they had gone: that release went to the
    // user's window, and the next press passed for a repeat. On every desktop of the matrix.
    class HeldCombination : public GridlumeDesktopTest, public ::testing::WithParamInterface<DesktopProfile> {
    protected:
        HeldCombination()
            : GridlumeDesktopTest(GetParam())
        {
        }
        bool panelsShown(bool shown) const { return m_windows.viewablePanels().size() == (shown ? 2u : 0u); }
    };

    TEST_P(HeldCombination, RecordingItLeavesTheShortcutInForce)
    {
        ASSERT_NO_FATAL_FAILURE(startTarget());
        startGridlume(std::nullopt);
        ASSERT_EQ(m_gridlume->runCommand({}).exitCode, 0);
        // Saved: QSettings escapes the quotes of the stored JSON.
        recordShortcut(QStringLiteral("ctrl+shift+k"), [&] {
            QFile file(m_gridlume->settingsFilePath());
            return file.open(QIODevice::ReadOnly)
                && file.readAll().replace("\\\"", "\"").contains(R"({"keyCode":40,"modifiers":4608})");
        });
        const QString before = snapshot(m_gridlume->settingsFilePath());

        ASSERT_TRUE(m_desktop.activate(m_target));
        key(QStringLiteral("ctrl+shift+k"));
        ASSERT_TRUE(m_desktop.waitUntil([&] { return panelsShown(true) && !keyboardIsFree(); }, deadline))
            << "the shortcut did not show the panels, or they did not take the keyboard";
        key(QStringLiteral("ctrl+shift+k"), "keydown");
        ASSERT_TRUE(m_desktop.waitUntil([&] { return panelsShown(false); }, deadline))
            << "the shortcut did not hide them";
        key(QStringLiteral("ctrl+shift+k"), "keyup");

        // Another program holds Control+Shift+J (J is keycode 44 on the evdev keymap).
        ASSERT_EQ(m_desktop.grabKey(44, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT), 0);
        const QString said = QStringLiteral("(keyCode=38, modifiers=4608) is held by another program");
        recordShortcut(QStringLiteral("ctrl+shift+j"), [&] { return m_gridlume->countLogMessages(said) > 0; });
        ASSERT_EQ(m_gridlume->countLogMessages(said), 1) << qPrintable(m_gridlume->logMessages().join(u'\n'));
        // The recording has ended: the next combination is not taken as the shortcut.
        key(QStringLiteral("ctrl+alt+g"));
        EXPECT_EQ(snapshot(m_gridlume->settingsFilePath()), before);

        ASSERT_TRUE(m_desktop.activate(m_target));
        key(QStringLiteral("ctrl+shift+k"));
        EXPECT_TRUE(m_desktop.waitUntil([&] { return panelsShown(true); }, deadline)) << "the first press was lost";
        key(QStringLiteral("ctrl+shift+k"));
        EXPECT_TRUE(m_desktop.waitUntil([&] { return panelsShown(false); }, deadline)) << "the next press was lost";
    }

    INSTANTIATE_TEST_SUITE_P(Desktops, HeldCombination, ::testing::ValuesIn(desktopMatrix()),
        [](const ::testing::TestParamInfo<DesktopProfile>& info) { return std::string(info.param.id); });

    // Ending the program ----------------------------------------------------------------------------

    // The session ending (SIGHUP, SIGTERM) or Ctrl+C in a terminal quits the way "Quit Gridlume"
    // does: exit status 0, the shortcut free for others, the instance socket gone, and a fresh
    // start at once works.
    class TerminationSignal : public FaultsEndToEndTest, public ::testing::WithParamInterface<int> { };

    TEST_P(TerminationSignal, QuitsLikeTheMenuAndAFreshStartWorksAtOnce)
    {
        ASSERT_NO_FATAL_FAILURE(startTarget());
        startGridlume();
        showPanels();
        const QString socket = m_gridlume->socketPath();
        ASSERT_TRUE(QFileInfo::exists(socket));

        ASSERT_EQ(::kill(m_gridlume->pid(), GetParam()), 0);
        const int status = m_gridlume->process().waitForExit(deadline);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "wait status " << status;
        EXPECT_EQ(m_gridlume->countLogMessages(QStringLiteral("Quitting on signal %1").arg(GetParam())), 1)
            << qPrintable(m_gridlume->logMessages().join(u'\n'));
        EXPECT_FALSE(QFileInfo::exists(socket)) << "the instance socket was left behind";
        EXPECT_EQ(m_desktop.grabKey(spaceKeycode, controlAlt), 0) << "the shortcut is still held";
        m_desktop.ungrabKey(spaceKeycode, controlAlt);

        startGridlume(std::nullopt);
        expectResponsive(GridlumeWindows::panelsOfBothMonitors(), m_target);
    }

    INSTANTIATE_TEST_SUITE_P(FaultsEndToEndTest, TerminationSignal, ::testing::Values(SIGTERM, SIGINT, SIGHUP),
        [](const auto& info) { return std::string(::sigabbrev_np(info.param)); });

    // A quit that has not ended the program when a second signal comes is cut short by it: both
    // wait while the program is stopped, and the second is taken as soon as the first is.
    TEST_F(FaultsEndToEndTest, ASecondSignalDuringTheQuitEndsTheProgramAtOnce)
    {
        startGridlume();
        ASSERT_TRUE(m_gridlume->process().stop());
        ASSERT_EQ(::kill(m_gridlume->pid(), SIGTERM), 0);
        ASSERT_EQ(::kill(m_gridlume->pid(), SIGINT), 0);
        m_gridlume->process().resume();
        const int status = m_gridlume->process().waitForExit(deadline);
        EXPECT_TRUE(WIFSIGNALED(status) && (WTERMSIG(status) == SIGTERM || WTERMSIG(status) == SIGINT))
            << "wait status " << status;
    }

} // namespace
} // namespace gridlume::test
