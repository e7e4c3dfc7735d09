// Gridlume in KDE Plasma's Wayland session: the real program on kwin_wayland with two virtual
// outputs and the test dock on its Xwayland, placing an X11 client and a Wayland one (the test
// window program through xcb and through Wayland). An xterm is no good target here: on KWin 5.27's
// Xwayland it answers a frame it was given with a resize request of its own (1280x1024 asked,
// 1276x719 a moment later), which KWin grants. KWin is asked from outside, through a script of
// the test's own: the work areas, the active window and the frames. The shortcut and Escape are
// invoked through KDE's shortcut service on D-Bus, as KWin does for a key press; the drags are
// XTEST input on Xwayland, where Gridlume's panels are.
#include "GridlumeDesktopTest.h"
#include "KWinTestDesktop.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusUnixFileDescriptor>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace gridlume::test {

// Reads KWin's view of the session through small scripts that KWin runs and that call back with
// their answer, and drives Gridlume's actions in KDE's shortcut service.
class KWinProbe : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gridlume.test.Probe")
public:
    explicit KWinProbe(const QString& busAddress)
        : m_bus(QDBusConnection::connectToBus(busAddress, QStringLiteral("kwin-probe")))
    {
        m_bus.registerObject(QStringLiteral("/Probe"), this, QDBusConnection::ExportAllSlots);
    }
    ~KWinProbe() override
    {
        m_bus.unregisterObject(QStringLiteral("/Probe"));
        QDBusConnection::disconnectFromBus(QStringLiteral("kwin-probe"));
    }

    // Runs `body`, JavaScript that ends by calling report(value), in KWin; the value, or
    // undefined when none came. The script may call clients(accept), the windows `accept` takes,
    // client(pid), the process's normal window or undefined, rect(geometry), an array,
    // activeWindow(), activate(window) and workAreas(), on KWin 5 and 6 alike.
    QJsonValue run(const QString& body)
    {
        const QString name = QStringLiteral("gridlume-test-probe-%1").arg(++m_runs);
        const QString path = m_folder.filePath(name + QStringLiteral(".js"));
        QFile script(path);
        if (!script.open(QIODevice::WriteOnly))
            return {};
        script.write(QStringLiteral(R"(function report(value) {
    callDBus("%1", "/Probe", "org.gridlume.test.Probe", "report", JSON.stringify([value]));
}
var kwin6 = typeof workspace.windowList === "function";
function activeWindow() { return kwin6 ? workspace.activeWindow : workspace.activeClient; }
function activate(c) { if (kwin6) workspace.activeWindow = c; else workspace.activeClient = c; }
function workAreas() {
    var areas = [], outputs = kwin6 ? workspace.screens : [];
    for (var i = 0; i < (kwin6 ? outputs.length : workspace.numScreens); ++i)
        areas.push(rect(workspace.clientArea(KWin.MaximizeArea, kwin6 ? outputs[i] : i, workspace.currentDesktop)));
    return areas;
}
function clients(accept) {
    var found = [], all = kwin6 ? workspace.windowList() : workspace.clientList();
    for (var i = 0; i < all.length; ++i)
        if (accept(all[i]))
            found.push(all[i]);
    return found;
}
function client(pid) { return clients(function (c) { return c.pid == pid && c.normalWindow; })[0]; }
function rect(g) { return [g.x, g.y, g.width, g.height]; }
)")
                         .arg(m_bus.baseService())
                         .toUtf8()
            + body.toUtf8());
        script.close();
        m_report.reset();
        callScripting(QStringLiteral("loadScript"), { path, name });
        callScripting(QStringLiteral("start"), {});
        (void)QTest::qWaitFor([&] { return m_report.has_value(); }, 10000);
        callScripting(QStringLiteral("unloadScript"), { name });
        return m_report ? QJsonDocument::fromJson(m_report->toUtf8()).array().first() : QJsonValue();
    }

    // KWin's work area of each output (clientArea(MaximizeArea)), in its coordinates, which are
    // Xwayland's.
    std::vector<Rect> workAreas()
    {
        std::vector<Rect> areas;
        for (const QJsonValue& area : run(QStringLiteral("report(workAreas());")).toArray())
            areas.push_back(rectOf(area));
        return areas;
    }

    // The frame of the process's normal window as KWin has it; none when it has none.
    std::optional<Rect> frameOf(pid_t pid)
    {
        const QJsonValue frame
            = run(QStringLiteral("var c = client(%1); report(c ? rect(c.frameGeometry) : null);").arg(pid));
        return frame.isArray() ? std::optional(rectOf(frame)) : std::nullopt;
    }

    // Makes the process's normal window the active one, the way a click would; whether it is.
    // KWin may refuse a window that is still being mapped: asked again until it takes it.
    bool activate(pid_t pid)
    {
        const QString script = QStringLiteral("var c = client(%1); if (c) activate(c); "
                                              "report(!!activeWindow() && activeWindow().pid == %1);")
                                   .arg(pid);
        return QTest::qWaitFor([&] { return run(script).toBool(); }, 10000);
    }

    pid_t activeProcess()
    {
        return pid_t(run(QStringLiteral("report(activeWindow() ? activeWindow().pid : 0);")).toInt());
    }

    // Gridlume's actions in KDE's shortcut service, and what KWin does when an action's key is pressed.
    QStringList gridlumeActions()
    {
        const QDBusReply<QStringList> reply = KWinTestDesktop::callShortcutService(
            QStringLiteral("/component/gridlume"), QStringLiteral("shortcutNames"), {}, m_bus);
        return reply.isValid() ? reply.value() : QStringList();
    }
    bool invokeGridlumeAction(const QString& action)
    {
        const QDBusMessage reply = KWinTestDesktop::callShortcutService(
            QStringLiteral("/component/gridlume"), QStringLiteral("invokeShortcut"), { action }, m_bus);
        return reply.type() == QDBusMessage::ReplyMessage;
    }

    // Saves what KWin shows on all outputs to `path` (PNG), through KWin's screenshot service.
    bool saveScreenshot(const QString& path)
    {
        int pipe[2];
        if (::pipe2(pipe, O_CLOEXEC) != 0)
            return false;
        QDBusReply<QVariantMap> reply;
        {
            // The message holds a copy of the pipe's write end, which has to go before the read
            // can see the end of the data.
            QDBusMessage capture = QDBusMessage::createMethodCall(QStringLiteral("org.kde.KWin"),
                QStringLiteral("/org/kde/KWin/ScreenShot2"), QStringLiteral("org.kde.KWin.ScreenShot2"),
                QStringLiteral("CaptureWorkspace"));
            // In device pixels, as the outputs show them at their scale.
            capture << QVariantMap { { QStringLiteral("native-resolution"), true } }
                    << QVariant::fromValue(QDBusUnixFileDescriptor(pipe[1]));
            ::close(pipe[1]);
            reply = m_bus.call(capture);
        }
        QFile data;
        data.open(pipe[0], QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
        const QByteArray pixels = data.readAll();
        if (!reply.isValid())
            return false;
        const QVariantMap image = reply.value();
        return QImage(reinterpret_cast<const uchar*>(pixels.constData()), image.value(QStringLiteral("width")).toInt(),
            image.value(QStringLiteral("height")).toInt(), image.value(QStringLiteral("stride")).toInt(),
            QImage::Format(image.value(QStringLiteral("format")).toInt()))
            .save(path);
    }

public Q_SLOTS:
    void report(const QString& value) { m_report = value; }

private:
    static Rect rectOf(const QJsonValue& value)
    {
        const QJsonArray a = value.toArray();
        return Rect(a.at(0).toDouble(), a.at(1).toDouble(), a.at(2).toDouble(), a.at(3).toDouble());
    }

    void callScripting(const QString& method, const QVariantList& arguments)
    {
        QDBusMessage message = QDBusMessage::createMethodCall(QStringLiteral("org.kde.KWin"),
            QStringLiteral("/Scripting"), QStringLiteral("org.kde.kwin.Scripting"), method);
        message.setArguments(arguments);
        m_bus.call(message);
    }

    QDBusConnection m_bus;
    QTemporaryDir m_folder;
    int m_runs = 0;
    std::optional<QString> m_report;
};

namespace {

    // Control-Option-Shift-G, as Gridlume's settings store it.
    const QByteArray kShortcutSettings = GridlumeUnderTest::settingsWithShortcut(5, 6656);

    class KWinEndToEndTest : public GridlumeDesktopTest {
    protected:
        KWinEndToEndTest()
            : GridlumeDesktopTest(std::make_unique<KWinTestDesktop>())
        {
        }

        void SetUp() override
        {
            if (const std::optional<QString> problem = KWinTestDesktop::problem())
                GTEST_SKIP() << qPrintable(*problem);
            GridlumeDesktopTest::SetUp();
            if (!HasFatalFailure())
                m_kwin = std::make_unique<KWinProbe>(
                    m_desktop.environment().filter(QStringLiteral("DBUS_SESSION_BUS_ADDRESS=")).value(0).mid(25));
        }

        // Gridlume's shortcut action, once Gridlume has registered it.
        QString shortcutAction()
        {
            QString action;
            (void)QTest::qWaitFor(
                [&] {
                    action = m_kwin->gridlumeActions().filter(QRegularExpression(QStringLiteral("^hotkey-"))).value(0);
                    return !action.isEmpty();
                },
                int(deadline.count()));
            return action;
        }

        // Escape, as KWin delivers it to Gridlume while the panels are shown; Gridlume takes the
        // key a moment after it has shown them.
        bool pressEscape()
        {
            (void)QTest::qWaitFor(
                [&] { return m_kwin->gridlumeActions().contains(QStringLiteral("escape")); }, int(deadline.count()));
            return m_kwin->invokeGridlumeAction(QStringLiteral("escape"));
        }

        std::unique_ptr<KWinProbe> m_kwin;
    };

    // Shortcut, a panel centred on each output's work area without taking the focus, an X11 and a
    // Wayland window placed on the block dragged on either output, Escape from any application,
    // and the target closing in the middle of a drag.
    TEST_F(KWinEndToEndTest, TilesX11AndWaylandWindowsOnEachOutput)
    {
        const std::vector<Rect> areas = m_kwin->workAreas();
        ASSERT_EQ(areas.size(), 2u);
        // The test dock takes the bottom of the second output, so the two work areas differ.
        ASSERT_NE(areas[0].size, areas[1].size) << "the dock's strut is not in KWin's work area";

        const std::unique_ptr<ChildProcess> x11 = m_desktop.startTestWindow();
        const std::unique_ptr<ChildProcess> wayland = m_desktop.startClient(QStringLiteral("env"),
            { QStringLiteral("QT_QPA_PLATFORM=wayland"), QStringLiteral(GRIDLUME_WAYLAND_TEST_WINDOW_PROGRAM) });
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return m_kwin->frameOf(x11->pid()) && m_kwin->frameOf(wayland->pid()); }, int(deadline.count())))
            << "the clients' windows did not appear";
        ASSERT_TRUE(m_kwin->activate(x11->pid()));

        startGridlume(kShortcutSettings);
        const QString action = shortcutAction();
        ASSERT_FALSE(action.isEmpty()) << "Gridlume registered no shortcut with KDE's shortcut service";

        const std::vector<QRect> panels { GridlumeWindows::centredPanel(areas[0]),
            GridlumeWindows::centredPanel(areas[1]) };
        {
            SCOPED_TRACE("the shortcut shows a panel centred on the work area of each output, the focus staying put");
            ASSERT_TRUE(m_kwin->invokeGridlumeAction(action));
            ASSERT_TRUE(m_windows.waitForPanels(panels, deadline)) << describe(m_windows.viewablePanels());
            EXPECT_EQ(m_kwin->activeProcess(), x11->pid()) << "the panels took the focus";
            // Out of the task bar, the pager and the switcher, on every desktop, above others.
            const QString traits = QStringLiteral(
                "report(clients(function (c) { return c.caption.indexOf(\"Gridlume Tiling Panel\") == 0; }).map("
                "function (c) { return [c.skipTaskbar, c.skipPager, c.skipSwitcher, c.onAllDesktops, "
                "c.keepAbove].join(); }"
                ").join(\" \"));");
            EXPECT_EQ(
                m_kwin->run(traits).toString().toStdString(), "true,true,true,true,true true,true,true,true,true");
        }
        // For a look at the panels and the preview on KWin's outputs: GRIDLUME_SCREENSHOTS=folder.
        if (const QString folder = qEnvironmentVariable("GRIDLUME_SCREENSHOTS"); !folder.isEmpty()) {
            moveTo(GridlumeWindows::tileCentre(panels[0], 1, 0));
            (void)QTest::qWaitFor([&] { return m_windows.viewablePreview().has_value(); }, int(deadline.count()));
            EXPECT_TRUE(m_kwin->saveScreenshot(folder + QStringLiteral("/kwin-wayland.png")));
        }
        const struct {
            const char* name;
            pid_t client;
            int output;
        } placements[] = { { "a drag over the whole grid of the first output fills its work area with the X11 window",
                               x11->pid(), 0 },
            { "the same with the Wayland window on the second output", wayland->pid(), 1 } };
        for (const auto& placement : placements) {
            SCOPED_TRACE(placement.name);
            // As a user does: Escape, a click into the window, the shortcut.
            ASSERT_TRUE(pressEscape());
            ASSERT_TRUE(m_windows.waitForPanels({}, deadline)) << describe(m_windows.viewablePanels());
            ASSERT_TRUE(m_kwin->activate(placement.client));
            ASSERT_TRUE(m_kwin->invokeGridlumeAction(action));
            ASSERT_TRUE(m_windows.waitForPanels(panels, deadline)) << describe(m_windows.viewablePanels());
            EXPECT_EQ(m_kwin->activeProcess(), placement.client) << "the panels took the focus";
            const QRect& panel = panels[placement.output];
            drag(GridlumeWindows::tileCentre(panel, 0, 0), GridlumeWindows::tileCentre(panel, 1, 1));
            const QRect area = pixelRect(areas[placement.output]);
            EXPECT_TRUE(
                QTest::qWaitFor([&] { return isNear(m_kwin->frameOf(placement.client), area); }, int(deadline.count())))
                << "the window is at " << describe(m_kwin->frameOf(placement.client)) << " instead of "
                << describe(area);
        }
        {
            SCOPED_TRACE("Escape in any application closes the panels");
            ASSERT_TRUE(pressEscape());
            EXPECT_TRUE(m_windows.waitForPanels({}, deadline)) << describe(m_windows.viewablePanels());
        }
        {
            SCOPED_TRACE("the window going in the middle of a drag is survived");
            ASSERT_TRUE(m_kwin->invokeGridlumeAction(action));
            ASSERT_TRUE(m_windows.waitForPanels(panels, deadline)) << describe(m_windows.viewablePanels());
            moveTo(GridlumeWindows::tileCentre(panels[1], 0, 0));
            button(true);
            wayland->kill();
            moveTo(GridlumeWindows::tileCentre(panels[1], 1, 1));
            button(false);
            ASSERT_TRUE(pressEscape());
            EXPECT_TRUE(m_windows.waitForPanels({}, deadline)) << describe(m_windows.viewablePanels());
            EXPECT_TRUE(m_gridlume->isRunning());
        }
        {
            SCOPED_TRACE("the dock going gives the second output's whole area back to the panel");
            m_desktop.removeDock();
            const Rect output(KWinTestDesktop::outputSize.width, 0, KWinTestDesktop::outputSize.width,
                KWinTestDesktop::outputSize.height);
            ASSERT_TRUE(QTest::qWaitFor([&] { return m_kwin->workAreas().at(1) == output; }, int(deadline.count())));
            ASSERT_TRUE(m_kwin->invokeGridlumeAction(action));
            EXPECT_TRUE(m_windows.waitForPanels({ panels[0], GridlumeWindows::centredPanel(output) }, deadline))
                << describe(m_windows.viewablePanels());
        }
    }

    // A layout's shortcut, pressed as KWin delivers it, steps a Wayland window through the
    // layout's blocks, and starts again once the window has been moved in between.
    TEST_F(KWinEndToEndTest, LayoutShortcutStepsAWaylandWindowThroughItsBlocks)
    {
        const std::unique_ptr<ChildProcess> wayland = m_desktop.startClient(QStringLiteral("env"),
            { QStringLiteral("QT_QPA_PLATFORM=wayland"), QStringLiteral(GRIDLUME_WAYLAND_TEST_WINDOW_PROGRAM) });
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_kwin->frameOf(wayland->pid()).has_value(); }, int(deadline.count())));
        ASSERT_TRUE(m_kwin->activate(wayland->pid()));
        startGridlume(kShortcutSettings + R"(placementLayouts="{\"version\":1,\"layouts\":[{\"name\":\"Left\",)"
            R"(\"steps\":[\"2x1 0,0\",\"3x1 0,0\",\"3x1 0,0:1,0\"],\"monitor\":\"primary\",)"
            R"(\"shortcut\":{\"keyCode\":38,\"modifiers\":6144}}]}")" "\n");
        // The panel's shortcut is registered first, the layout's after it.
        QStringList actions;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                actions = m_kwin->gridlumeActions().filter(QRegularExpression(QStringLiteral("^hotkey-")));
                return actions.size() == 2;
            },
            int(deadline.count())))
            << qPrintable(actions.join(u' '));
        actions.sort();
        const QString layoutAction = actions.last();

        const Rect area = m_kwin->workAreas().at(0);
        const auto part = [&](double width) {
            return QRect(int(area.minX()), int(area.minY()), int(std::lround(width * area.width())), int(area.height()));
        };
        for (const QRect& block : { part(0.5), part(1 / 3.0), part(2 / 3.0) }) {
            ASSERT_TRUE(m_kwin->invokeGridlumeAction(layoutAction));
            EXPECT_TRUE(QTest::qWaitFor([&] { return isNear(m_kwin->frameOf(wayland->pid()), block); }, int(deadline.count())))
                << describe(m_kwin->frameOf(wayland->pid())) << " instead of " << describe(block);
        }
        m_kwin->run(QStringLiteral("clients(function (c) { return c.pid == %1; })[0].frameGeometry = "
                                   "{ x: 300, y: 200, width: 500, height: 400 }; report(true);")
                .arg(wayland->pid()));
        ASSERT_TRUE(QTest::qWaitFor([&] { return isNear(m_kwin->frameOf(wayland->pid()), QRect(300, 200, 500, 400)); },
            int(deadline.count())));
        ASSERT_TRUE(m_kwin->invokeGridlumeAction(layoutAction));
        EXPECT_TRUE(QTest::qWaitFor([&] { return isNear(m_kwin->frameOf(wayland->pid()), part(0.5)); }, int(deadline.count())))
            << describe(m_kwin->frameOf(wayland->pid()));
    }

    // `gridlume place` with no Gridlume running talks to KWin itself, not to Xwayland: the Wayland
    // window, which Xwayland does not see, is placed.
    TEST_F(KWinEndToEndTest, PlacesAWaylandWindowFromTheCommandLineWithoutAnInstance)
    {
        const std::vector<Rect> areas = m_kwin->workAreas();
        ASSERT_EQ(areas.size(), 2u);
        const std::unique_ptr<ChildProcess> wayland = m_desktop.startClient(QStringLiteral("env"),
            { QStringLiteral("QT_QPA_PLATFORM=wayland"), QStringLiteral(GRIDLUME_WAYLAND_TEST_WINDOW_PROGRAM) });
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_kwin->frameOf(wayland->pid()).has_value(); }, int(deadline.count())))
            << "the Wayland window did not appear";
        ASSERT_TRUE(m_kwin->activate(wayland->pid()));

        const X11TestDesktop::ToolResult result
            = m_gridlume->runCommand({ QStringLiteral("place"), QStringLiteral("2x1"), QStringLiteral("1,0") });
        EXPECT_EQ(result.exitCode, 0) << result.output.constData();
        const Rect& area = areas[0];
        const QRect rightHalf
            = pixelRect(Rect(area.minX() + area.width() / 2, area.minY(), area.width() / 2, area.height()));
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return isNear(m_kwin->frameOf(wayland->pid()), rightHalf); }, int(deadline.count())))
            << "the window is at " << describe(m_kwin->frameOf(wayland->pid())) << " instead of "
            << describe(rightHalf);
    }

    // Other Wayland compositors offer no way to move other programs' windows: one sentence, no
    // panels.
    TEST(WaylandSessionTest, AnotherCompositorIsRefusedInOneSentence)
    {
        X11TestDesktop desktop;
        QString error;
        ASSERT_TRUE(desktop.start(&error)) << qPrintable(error);
        QTemporaryDir runtime;
        const X11TestDesktop::ToolResult gridlume = desktop.run(GridlumeUnderTest::builtProgram(), {},
            { QStringLiteral("WAYLAND_DISPLAY=wayland-0"), QStringLiteral("XDG_RUNTIME_DIR=") + runtime.path() });
        EXPECT_EQ(gridlume.exitCode, 1);
        const QStringList lines = QString::fromLocal8Bit(gridlume.output).split(u'\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 1) << qPrintable(lines.join(u'\n'));
        EXPECT_TRUE(lines.first().contains(QStringLiteral("KDE Plasma's Wayland session")))
            << qPrintable(lines.first());
    }

} // namespace
} // namespace gridlume::test

#include "KWinEndToEndTest.moc"
