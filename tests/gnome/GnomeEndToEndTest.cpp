// Gridlume in GNOME's Wayland session: the real program on a headless GNOME Shell with two
// virtual monitors and Gridlume's extension, placing an X11 client (xterm) and a Wayland one (a Qt
// window). Shell is read from outside through the extension's own interface (work areas, windows,
// the focus); the shortcut, Escape and the drags are input through Mutter's RemoteDesktop, as a
// user's keyboard and mouse give it.
#include "GnomeTestDesktop.h"
#include "GridlumeDesktopTest.h"

#include <QElapsedTimer>
#include <QJsonObject>
#include <QTest>

#include <gtest/gtest.h>

namespace gridlume::test {

namespace {

    // Control-Option-Shift-G, as Gridlume's settings store it, and its keys by evdev code.
    const QByteArray kShortcutSettings = GridlumeUnderTest::settingsWithShortcut(5, 6656);
    constexpr std::initializer_list<quint32> kShortcutKeys { 29, 56, 42, 34 };
    constexpr quint32 kEscapeKey = 1;

    class GnomeEndToEndTest : public GridlumeDesktopTest {
    protected:
        GnomeEndToEndTest()
            : GridlumeDesktopTest(std::make_unique<GnomeTestDesktop>())
        {
        }

        void SetUp() override
        {
            if (const std::optional<QString> problem = GnomeTestDesktop::problem())
                GTEST_SKIP() << qPrintable(*problem);
            GridlumeDesktopTest::SetUp();
            if (!HasFatalFailure())
                m_shell = std::make_unique<GnomeShellProbe>(desktop().sessionBusAddress());
        }

        GnomeTestDesktop& desktop() { return static_cast<GnomeTestDesktop&>(m_desktop); }

        // The shortcut pressed until the panels are `expected` (Gridlume takes it from Shell a
        // moment after it starts); how long the last press took to show them.
        std::optional<qint64> showPanelsByShortcut(const std::vector<QRect>& expected)
        {
            QElapsedTimer timer;
            const bool shown = QTest::qWaitFor(
                [&] { return timer.start(), m_shell->keys(kShortcutKeys), m_windows.waitForPanels(expected, 3s); },
                int(deadline.count()));
            if (!shown)
                return std::nullopt;
            // Reported, never asserted.
            RecordProperty("shortcut_to_panels_viewable_ms_" + std::to_string(++m_shows), int(timer.elapsed()));
            return timer.elapsed();
        }

        // Escape until the panels close, at most three presses: a key sent through RemoteDesktop
        // right after the panels appear now and then reaches no one (one run in five here), as a
        // press does.
        bool closeWithEscape()
        {
            for (int press = 0; press < 3; ++press) {
                m_shell->keys({ kEscapeKey });
                if (m_windows.waitForPanels({}, 2s))
                    return true;
            }
            return false;
        }

        // A drag over the whole grid of `panel`, each step once Gridlume has shown its preview on
        // `area`: Mutter hands the pointer's events to Xwayland in its own time.
        void dragOverGrid(const QRect& panel, const Rect& area)
        {
            ASSERT_TRUE(m_shell->moveTo(GridlumeWindows::tileCentre(panel, 0, 0)));
            ASSERT_TRUE(m_desktop.waitUntil(
                [&] { return m_windows.viewablePreview() == GridlumeWindows::tileBlock(area, 0, 0); }, 5s))
                << "the preview is at " << describe(m_windows.viewablePreview());
            // Mutter gives the panel the focus on the press, and hands on the pointer's motion once
            // it has. Now and then a press through RemoteDesktop reaches no window (one in ten here):
            // pressed again then, as a user clicks again.
            EXPECT_TRUE(QTest::qWaitFor(
                [&] {
                    m_shell->button(false);
                    m_shell->button(true);
                    return QTest::qWaitFor([&] { return m_shell->focusedProcess() == m_gridlume->pid(); }, 2000);
                },
                int(deadline.count())));
            const bool moved = m_shell->moveTo(GridlumeWindows::tileCentre(panel, 1, 1))
                && m_desktop.waitUntil([&] { return m_windows.viewablePreview() == pixelRect(area); }, 5s);
            m_shell->button(false);
            ASSERT_TRUE(moved) << "the preview is at " << describe(m_windows.viewablePreview());
        }

        // The panels as Shell has them: "above,allWorkspaces" for each.
        QString panelTraits()
        {
            QStringList traits;
            for (const QJsonValue& value : m_shell->windows()) {
                const QJsonObject window = value.toObject();
                if (window.value(QStringLiteral("title")).toString().startsWith(QLatin1String("Gridlume Tiling Panel")))
                    traits.append(QStringLiteral("%1,%2")
                                      .arg(window.value(QStringLiteral("above")).toBool())
                                      .arg(window.value(QStringLiteral("allWorkspaces")).toBool()));
            }
            return traits.join(u' ');
        }

        std::unique_ptr<GnomeShellProbe> m_shell;
        int m_shows = 0;
    };

    // The shortcut shows a panel centred on each monitor's work area, above every window and on
    // every workspace, the focus staying with the user's window; a drag over a panel's tiles
    // places an X11 and a Wayland window exactly on the block; Escape closes the panels.
    TEST_F(GnomeEndToEndTest, TilesX11AndWaylandWindowsOnEachMonitor)
    {
        const std::vector<Rect> areas = m_shell->workAreas();
        ASSERT_EQ(areas.size(), 2u);
        // Shell's top bar takes the top of the primary monitor only.
        ASSERT_LT(areas[0].height(), X11TestDesktop::primaryMonitor.height());

        const std::unique_ptr<ChildProcess> xterm = m_desktop.startClient(QStringLiteral("xterm"));
        const std::unique_ptr<ChildProcess> wayland = m_desktop.startClient(QStringLiteral("env"),
            { QStringLiteral("QT_QPA_PLATFORM=wayland"), QStringLiteral(GRIDLUME_WAYLAND_TEST_WINDOW_PROGRAM) });
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return m_shell->frameOf(xterm->pid()) && m_shell->frameOf(wayland->pid()); }, int(deadline.count())))
            << "the clients' windows did not appear";
        startGridlume(kShortcutSettings);
        ASSERT_TRUE(m_shell->activate(xterm->pid()));
        const std::vector<QRect> panels { GridlumeWindows::centredPanel(areas[0]),
            GridlumeWindows::centredPanel(areas[1]) };
        {
            SCOPED_TRACE("the shortcut shows a panel centred on each work area, the focus staying put");
            ASSERT_TRUE(showPanelsByShortcut(panels)) << describe(m_windows.viewablePanels());
            EXPECT_EQ(m_shell->focusedProcess(), xterm->pid()) << "the panels took the focus";
            EXPECT_EQ(panelTraits().toStdString(), "1,1 1,1");
            // For a look at the panels and the preview over Shell: GRIDLUME_SCREENSHOTS=folder.
            if (const QString folder = qEnvironmentVariable("GRIDLUME_SCREENSHOTS"); !folder.isEmpty()) {
                EXPECT_TRUE(m_shell->moveTo(GridlumeWindows::tileCentre(panels[1], 0, 0)));
                (void)m_desktop.waitUntil([&] { return m_windows.viewablePreview().has_value(); }, 5s);
                m_shell->callExtension(QStringLiteral("Screenshot"), { folder + QStringLiteral("/gnome-wayland.png") });
            }
            ASSERT_TRUE(closeWithEscape()) << describe(m_windows.viewablePanels());
        }
        // The xterm keeps to whole character cells, at the block's top-left corner.
        const Size cell = m_desktop.resizeIncrementFromOutside(m_desktop.waitForClientWindow(xterm->pid()));
        const struct {
            const char* name;
            pid_t client;
            int monitor;
            Size tolerance;
        } placements[] = { { "a drag over the whole grid of the first monitor fills its work area with the xterm",
                               xterm->pid(), 0, cell },
            { "the same with the Wayland window on the second monitor, exactly", wayland->pid(), 1, {} } };
        for (const auto& placement : placements) {
            SCOPED_TRACE(placement.name);
            // As a user does: a click into the window, the shortcut.
            ASSERT_TRUE(m_shell->activate(placement.client));
            ASSERT_TRUE(showPanelsByShortcut(panels)) << describe(m_windows.viewablePanels());
            EXPECT_EQ(m_shell->focusedProcess(), placement.client) << "the panels took the focus";
            const QRect& panel = panels[placement.monitor];
            dragOverGrid(panel, areas[placement.monitor]);
            ASSERT_FALSE(HasFatalFailure());
            const QRect area = pixelRect(areas[placement.monitor]);
            EXPECT_TRUE(
                QTest::qWaitFor([&] { return isNear(m_shell->frameOf(placement.client), area, placement.tolerance); },
                    int(deadline.count())))
                << "the window is at " << describe(m_shell->frameOf(placement.client)) << " instead of "
                << describe(area);
            if (placement.tolerance == Size {}) {
                EXPECT_EQ(m_shell->frameOf(placement.client), std::optional(areas[placement.monitor]));
            }
            // The click gave the panel the keys: Escape shrinks the block the drag left to one tile,
            // the next closes the panels, and the focus goes back to the user's window.
            m_shell->keys({ kEscapeKey });
            EXPECT_FALSE(m_windows.waitForPanels({}, 1s)) << "the first Escape closed the panels";
            ASSERT_TRUE(closeWithEscape()) << describe(m_windows.viewablePanels());
            EXPECT_TRUE(QTest::qWaitFor([&] { return m_shell->focusedProcess() == placement.client; }, 5000));
        }
        {
            SCOPED_TRACE("Escape closes the panels from the user's window");
            ASSERT_TRUE(showPanelsByShortcut(panels)) << describe(m_windows.viewablePanels());
            EXPECT_TRUE(closeWithEscape()) << describe(m_windows.viewablePanels());
            EXPECT_EQ(m_shell->focusedProcess(), wayland->pid());
            // The keys are the user's window's again: another program may take H, which the
            // panels held.
            EXPECT_TRUE(QTest::qWaitFor(
                [&] {
                    const uint action
                        = m_shell->callExtension(QStringLiteral("GrabAccelerator"), { QStringLiteral("0x2b") })
                              .value(0)
                              .toUInt();
                    return action && !m_shell->callExtension(QStringLiteral("UngrabAccelerator"), { action }).isEmpty();
                },
                5000));
        }
        {
            SCOPED_TRACE("a click on Gridlume's icon in the top bar shows the panels, the next hides them");
            const QVariantList icon = m_shell->callExtension(QStringLiteral("TopBarIcon"));
            ASSERT_EQ(icon.size(), 4);
            ASSERT_GT(icon[2].toInt(), 0) << "no icon in the top bar";
            const QPoint centre(icon[0].toInt() + icon[2].toInt() / 2, icon[1].toInt() + icon[3].toInt() / 2);
            for (const std::vector<QRect>& expected : { panels, std::vector<QRect> {} }) {
                ASSERT_TRUE(m_shell->moveTo(centre));
                m_shell->button(true);
                m_shell->button(false);
                EXPECT_TRUE(m_windows.waitForPanels(expected, deadline)) << describe(m_windows.viewablePanels());
            }
        }
    }

    // Without the extension, Gridlume says once how to turn it on, in its log and in its
    // permission window; once the extension runs, the window goes and the shortcut works, without
    // a restart.
    TEST_F(GnomeEndToEndTest, GoesOnOnceTheExtensionIsTurnedOn)
    {
        const QString uuid = QStringLiteral("gridlume@gridlume.org");
        ASSERT_EQ(desktop().gnomeExtensions({ QStringLiteral("disable"), uuid }), 0);
        startGridlume(kShortcutSettings);
        const auto guide = [&] {
            const std::vector<xcb_window_t> windows = m_windows.windowsNamed("Allow Gridlume");
            return !windows.empty() && m_windows.isViewable(windows.front());
        };
        ASSERT_TRUE(m_desktop.waitUntil(guide, deadline)) << "no window says how to turn the extension on";
        EXPECT_EQ(m_gridlume->countLogMessages(QStringLiteral("\"gnome-extensions enable %1\"").arg(uuid)), 1);

        ASSERT_EQ(desktop().gnomeExtensions({ QStringLiteral("enable"), uuid }), 0);
        EXPECT_TRUE(m_desktop.waitUntil([&] { return !guide(); }, deadline)) << "the window stayed";
        const std::vector<Rect> areas = m_shell->workAreas();
        ASSERT_EQ(areas.size(), 2u);
        EXPECT_TRUE(
            showPanelsByShortcut({ GridlumeWindows::centredPanel(areas[0]), GridlumeWindows::centredPanel(areas[1]) }))
            << describe(m_windows.viewablePanels());
        EXPECT_EQ(m_gridlume->countLogMessages(QStringLiteral("\"gnome-extensions enable %1\"").arg(uuid)), 1);
    }

} // namespace
} // namespace gridlume::test
