#include "ChildProcess.h"
#include "X11TestDesktop.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>

namespace gridlume::test {
namespace {

    constexpr int deadlineMs = 15000;

    struct Geometry {
        int x = 0, y = 0, width = 0, height = 0;
        QPoint at(int dx, int dy) const { return { x + dx, y + dy }; }
        QPoint centre() const { return { x + width / 2, y + height / 2 }; }
    };

    // Gridlume as a user meets it: started on a test desktop with a tray, looked at and clicked
    // through the X server only.
    class AppEndToEndTest : public ::testing::Test {
    protected:
        void SetUp() override
        {
            QString error;
            ASSERT_TRUE(m_desktop.start(&error)) << error.toStdString();
            m_tray = m_desktop.startClient(QStringLiteral("trayer"),
                { QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"), QStringLiteral("right"),
                    QStringLiteral("--widthtype"), QStringLiteral("request"), QStringLiteral("--height"),
                    QStringLiteral("24"), QStringLiteral("--SetDockType"), QStringLiteral("true"),
                    QStringLiteral("--monitor"), QStringLiteral("primary") });
            // The tray is there once it owns the system tray selection of the screen.
            const xcb_atom_t selection = m_desktop.atom("_NET_SYSTEM_TRAY_S0");
            ASSERT_TRUE(waitFor([&] {
                xcb_connection_t* connection = m_desktop.connection();
                xcb_get_selection_owner_reply_t* reply
                    = xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection), nullptr);
                const bool owned = reply && reply->owner != XCB_WINDOW_NONE;
                std::free(reply);
                return owned;
            })) << "trayer did not take the tray";
        }

        // `environment` adds to the desktop's.
        void startGridlume(const QStringList& environment = {})
        {
            m_gridlume = std::make_unique<ChildProcess>(
                QStringLiteral(GRIDLUME_PROGRAM), QStringList {}, m_desktop.environment() + environment);
            ASSERT_TRUE(waitFor([&] { return trayIcon().has_value(); })) << "no tray icon appeared";
        }

        static bool waitFor(const std::function<bool()>& predicate, int timeoutMs = deadlineMs)
        {
            return QTest::qWaitFor(predicate, timeoutMs);
        }

        QList<quint32> windows(const QStringList& search) const
        {
            const auto result
                = m_desktop.run(QStringLiteral("xdotool"), QStringList { QStringLiteral("search"), QStringLiteral("--onlyvisible") } + search);
            QList<quint32> ids;
            for (const QByteArray& line : result.output.split('\n')) {
                bool ok = false;
                const quint32 id = line.trimmed().toUInt(&ok);
                if (ok)
                    ids.append(id);
            }
            return ids;
        }
        QList<quint32> windowsNamed(const QString& name) const { return windows({ QStringLiteral("--name"), QLatin1Char('^') + name + QLatin1Char('$') }); }

        Geometry geometry(quint32 window) const
        {
            const QByteArray info = m_desktop.run(QStringLiteral("xwininfo"), { QStringLiteral("-id"), QString::number(window) }).output;
            auto field = [&](const char* name) {
                const QRegularExpression pattern(QString::fromLatin1(name) + QStringLiteral(":\\s*(-?\\d+)"));
                return pattern.match(QString::fromLocal8Bit(info)).captured(1).toInt();
            };
            return { field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"), field("Height") };
        }

        QList<quint32> gridlumeWindows() const { return windows({ QStringLiteral("--classname"), QStringLiteral("gridlume") }); }

        // Gridlume's window embedded in the tray: the small one.
        std::optional<quint32> trayIcon() const
        {
            for (quint32 id : gridlumeWindows()) {
                const Geometry g = geometry(id);
                if (g.width > 1 && g.width <= 64)
                    return id;
            }
            return std::nullopt;
        }

        // The tiling panel on the primary monitor.
        std::optional<Geometry> primaryPanel() const
        {
            for (quint32 id : windowsNamed(QStringLiteral("Gridlume Tiling Panel"))) {
                const Geometry g = geometry(id);
                if (g.x < X11TestDesktop::primaryMonitor.maxX())
                    return g;
            }
            return std::nullopt;
        }

        // A Gridlume popup that is neither the tray icon nor a titled window: the tray menu.
        std::optional<Geometry> menu() const
        {
            const QList<quint32> named = windowsNamed(QStringLiteral(".+"));
            for (quint32 id : gridlumeWindows()) {
                const Geometry g = geometry(id);
                if (!named.contains(id) && g.width > 64)
                    return g;
            }
            return std::nullopt;
        }

        void tool(const QStringList& arguments) { m_desktop.run(QStringLiteral("xdotool"), arguments); }
        void click(QPoint at, int button = 1)
        {
            tool({ QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()), QStringLiteral("click"),
                QString::number(button) });
        }
        void clickTrayIcon(int button)
        {
            const auto icon = trayIcon();
            ASSERT_TRUE(icon);
            click(geometry(*icon).centre(), button);
        }
        void drag(QPoint from, QPoint to)
        {
            tool({ QStringLiteral("mousemove"), QString::number(from.x()), QString::number(from.y()), QStringLiteral("mousedown"),
                QStringLiteral("1"), QStringLiteral("mousemove"), QString::number(from.x() + 2), QString::number((from.y() + to.y()) / 2),
                QStringLiteral("mousemove"), QString::number(to.x()), QString::number(to.y()), QStringLiteral("mouseup"),
                QStringLiteral("1") });
        }

        QByteArray settingsFile() const
        {
            QString config;
            for (const QString& entry : m_desktop.environment()) {
                if (entry.startsWith(QStringLiteral("XDG_CONFIG_HOME=")))
                    config = entry.mid(16);
            }
            // Whatever the settings file is called, it is the one file in Gridlume's folder.
            QByteArray content;
            for (const QFileInfo& info : QDir(config + QStringLiteral("/Gridlume")).entryInfoList(QDir::Files)) {
                QFile file(info.filePath());
                if (file.open(QIODevice::ReadOnly))
                    content += file.readAll();
            }
            return content;
        }

        X11TestDesktop m_desktop;
        std::unique_ptr<ChildProcess> m_tray;
        std::unique_ptr<ChildProcess> m_gridlume;
    };

    TEST_F(AppEndToEndTest, TrayIconToggleMenuSettingsAndQuit)
    {
        startGridlume();

        clickTrayIcon(1);
        ASSERT_TRUE(waitFor([&] { return primaryPanel().has_value(); })) << "a left click shows the panels";
        clickTrayIcon(1);
        ASSERT_TRUE(waitFor([&] { return !primaryPanel().has_value(); })) << "another left click hides them";

        clickTrayIcon(1);
        ASSERT_TRUE(waitFor([&] { return primaryPanel().has_value(); }));
        clickTrayIcon(3);
        ASSERT_TRUE(waitFor([&] { return menu().has_value(); })) << "a right click shows the menu";
        EXPECT_TRUE(waitFor([&] { return !primaryPanel().has_value(); })) << "and hides the panels";
        const Geometry menuGeometry = *menu();
        // Four items: three rows and a separator; "Settings…" is the first.
        EXPECT_GE(menuGeometry.height, 3 * 16);
        click(menuGeometry.at(menuGeometry.width / 2, 10));
        ASSERT_TRUE(waitFor([&] { return !windowsNamed(QStringLiteral("Gridlume Settings")).isEmpty(); }));
        const Geometry settings = geometry(windowsNamed(QStringLiteral("Gridlume Settings")).first());
        EXPECT_EQ(settings.width, 580);
        EXPECT_EQ(settings.height, 320);

        clickTrayIcon(3);
        ASSERT_TRUE(waitFor([&] { return menu().has_value(); }));
        const Geometry again = *menu();
        click(again.at(again.width / 2, again.height - 10)); // "Quit Gridlume"
        EXPECT_EQ(m_gridlume->waitForExit(std::chrono::milliseconds(deadlineMs)), 0);
    }

    TEST_F(AppEndToEndTest, RecordedShortcutPlacesTheTerminalAndASecondStartReusesTheFirst)
    {
        auto terminal = m_desktop.startClient(QStringLiteral("xterm"));
        const xcb_window_t terminalWindow = m_desktop.waitForClientWindow(terminal->pid());
        ASSERT_NE(terminalWindow, xcb_window_t(XCB_WINDOW_NONE));
        ASSERT_TRUE(m_desktop.activate(terminalWindow));
        startGridlume();

        // A second start opens the first one's settings window and ends.
        const auto second = m_desktop.run(QStringLiteral(GRIDLUME_PROGRAM), {});
        EXPECT_EQ(second.exitCode, 0) << second.output.constData();
        ASSERT_TRUE(waitFor([&] { return !windowsNamed(QStringLiteral("Gridlume Settings")).isEmpty(); }));
        EXPECT_TRUE(m_gridlume->isRunning());
        int icons = 0;
        for (quint32 id : gridlumeWindows())
            icons += geometry(id).width > 1 && geometry(id).width <= 64 ? 1 : 0;
        EXPECT_EQ(icons, 1) << "still one tray icon";

        // Record Control+Alt+Space in the recorder, the first row of General.
        const Geometry settings = geometry(windowsNamed(QStringLiteral("Gridlume Settings")).first());
        click(settings.at(337, 66));
        tool({ QStringLiteral("key"), QStringLiteral("ctrl+alt+space") });
        // QSettings escapes the quotes of the stored JSON.
        ASSERT_TRUE(waitFor([&] {
            QByteArray file = settingsFile();
            file.replace("\\\"", "\"");
            return file.contains(R"({"keyCode":49,"modifiers":6144})");
        }))
            << settingsFile().constData();

        ASSERT_TRUE(m_desktop.activate(terminalWindow));
        tool({ QStringLiteral("key"), QStringLiteral("ctrl+alt+space") });
        ASSERT_TRUE(waitFor([&] { return primaryPanel().has_value(); })) << "the shortcut shows the panels";

        // Down the left column of the 2 × 2 grid: the left half of the primary monitor.
        const Geometry panel = *primaryPanel();
        drag(panel.at(80, 128), panel.at(80, 212));
        const Rect half(0, 0, X11TestDesktop::primaryMonitor.width() / 2, X11TestDesktop::primaryMonitor.height());
        std::optional<Rect> frame;
        ASSERT_TRUE(waitFor([&] {
            frame = m_desktop.visibleFrameFromOutside(terminalWindow);
            // Openbox keeps a border of a pixel or two inside the block.
            return frame && std::abs(frame->minX() - half.minX()) <= 4 && std::abs(frame->minY() - half.minY()) <= 4;
        })) << "the terminal did not move to the left half: "
             << (frame ? QStringLiteral("%1,%2 %3x%4").arg(frame->minX()).arg(frame->minY()).arg(frame->width()).arg(frame->height()).toStdString() : "no frame")
             << " panel at " << panel.x << "," << panel.y;
        // xterm keeps whole character cells: at most one cell short of the block.
        const Size cell = m_desktop.resizeIncrementFromOutside(terminalWindow);
        EXPECT_LE(frame->maxX(), half.maxX());
        EXPECT_GT(frame->maxX(), half.maxX() - cell.width - 4);
        EXPECT_LE(frame->maxY(), half.maxY());
        EXPECT_GT(frame->maxY(), half.maxY() - cell.height - 4);

        tool({ QStringLiteral("key"), QStringLiteral("ctrl+alt+space") });
        EXPECT_TRUE(waitFor([&] { return !primaryPanel().has_value(); })) << "the shortcut hides the panels again";
    }

    // How the desktop is scaled (the X resources a desktop's settings write, or Qt's own factors per
    // monitor), and the device pixel ratio that results on each monitor.
    struct ScaledDesktop {
        const char* name;
        QByteArray resources;
        QStringList environment;
        double primaryRatio = 1;
        double secondRatio = 1;
    };

    void PrintTo(const ScaledDesktop& scale, std::ostream* stream)
    {
        *stream << scale.name;
    }

    class ScaledAppEndToEndTest : public AppEndToEndTest, public ::testing::WithParamInterface<ScaledDesktop> { };

    // Each panel is drawn at its own monitor's scale and centred across it (the tray and the dock
    // take room only at the top and the bottom).
    TEST_P(ScaledAppEndToEndTest, TrayIconShowsEveryPanelCentredOnItsMonitorAtItsScale)
    {
        const ScaledDesktop& scale = GetParam();
        if (!scale.resources.isEmpty()) {
            ASSERT_TRUE(m_desktop.mergeResources(scale.resources));
        }
        startGridlume(scale.environment);
        clickTrayIcon(1);

        const std::pair<Rect, double> monitors[] = { { X11TestDesktop::primaryMonitor, scale.primaryRatio },
            { X11TestDesktop::secondMonitor, scale.secondRatio } };
        std::vector<Geometry> panels;
        auto centred = [&] {
            panels.clear();
            for (quint32 id : windowsNamed(QStringLiteral("Gridlume Tiling Panel")))
                panels.push_back(geometry(id));
            std::sort(panels.begin(), panels.end(), [](const Geometry& a, const Geometry& b) { return a.x < b.x; });
            if (panels.size() != 2)
                return false;
            for (std::size_t i = 0; i < panels.size(); ++i) {
                const auto& [monitor, ratio] = monitors[i];
                const Geometry& panel = panels[i];
                if (panel.width != qRound(304 * ratio) || panel.height != qRound(344 * ratio)
                    || std::abs(panel.x + panel.width / 2.0 - monitor.midX()) > 1 || panel.y < monitor.minY()
                    || panel.y + panel.height > monitor.maxY())
                    return false;
            }
            return true;
        };
        EXPECT_TRUE(waitFor(centred)) << [&] {
            std::string text = "panels:";
            for (const Geometry& panel : panels)
                text += QStringLiteral(" %1,%2 %3x%4")
                            .arg(panel.x)
                            .arg(panel.y)
                            .arg(panel.width)
                            .arg(panel.height)
                            .toStdString();
            return text;
        }();
    }

    INSTANTIATE_TEST_SUITE_P(Scales, ScaledAppEndToEndTest,
        ::testing::Values(ScaledDesktop { "XftDpi192", "Xft.dpi: 192\n", {}, 2, 2 },
            ScaledDesktop {
                "primaryAt1xSecondAt2x", {}, { QStringLiteral("QT_SCREEN_SCALE_FACTORS=M1=1;M2=2") }, 1, 2 }),
        [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace gridlume::test
