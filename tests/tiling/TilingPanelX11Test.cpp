// The tiling panels end to end: the panel host (the panels wired like the application) on a
// desktop of its own (Xvfb with two monitors, Openbox, a dock on the second monitor), an xterm to
// place, input through XTEST (xdotool) and every check made from outside, through the test's own
// X connection, in device pixels. The placement cases run on scaled desktops too, where Qt's
// logical pixels are not the device pixels: frames seen from outside must not change.
#include "X11TestDesktop.h"

#include "QtTestPrinters.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <xcb/xcb.h>

#include <cmath>
#include <cstdlib>
#include <functional>

namespace gridlume::test {
namespace {

    constexpr int panelWidth = 304;
    constexpr int panelHeight = 344; // with the keyboard hints
    // Where the grid sits inside a panel: 12 points in, below the title bar and the target row.
    constexpr int gridLeft = 12;
    constexpr int gridTop = 84;

    // Visible frames in root coordinates: the dock takes the bottom of the second monitor.
    constexpr Rect primaryVisible = X11TestDesktop::primaryMonitor;
    constexpr Rect secondVisible { X11TestDesktop::secondMonitor.origin.x, X11TestDesktop::secondMonitor.origin.y,
        X11TestDesktop::secondMonitor.size.width, X11TestDesktop::secondMonitor.size.height - X11TestDesktop::dockHeight };

    QRect centredPanel(const Rect& visible)
    {
        return QRect(int(visible.midX() - panelWidth / 2.0), int(visible.midY() - panelHeight / 2.0), panelWidth,
            panelHeight);
    }

    // How Qt is told to scale the desktop: by the X resources a desktop's settings write
    // (Xft.dpi, the same ratio on every monitor), or by Qt's own factors per monitor; and the
    // device pixel ratio that results on each monitor.
    struct DesktopScale {
        const char* name;
        QByteArray resources;
        QString screenScaleFactors;
        double primaryRatio = 1;
        double secondRatio = 1;
    };

    void PrintTo(const DesktopScale& scale, std::ostream* stream)
    {
        *stream << scale.name;
    }

    const DesktopScale unscaled { "unscaled", {}, {}, 1, 1 };

    // Whether `panel` (device pixels) is the panel of a monitor with `visible` frame at `ratio`:
    // its size is Qt's for the ratio, its centre the frame's, to the device pixel where Qt can
    // place every device pixel and within one where the ratio is fractional.
    bool isCentredPanel(const QRect& panel, const Rect& visible, double ratio)
    {
        const double tolerance = ratio == std::floor(ratio) ? 0.5 : 1;
        return panel.width() == qRound(panelWidth * ratio) && panel.height() == qRound(panelHeight * ratio)
            && std::abs(panel.x() + panel.width() / 2.0 - visible.midX()) <= tolerance
            && std::abs(panel.y() + panel.height() / 2.0 - visible.midY()) <= tolerance;
    }

    template <typename T>
    using Reply = std::unique_ptr<T, decltype(&std::free)>;

    class TilingPanelX11Test : public ::testing::Test {
    protected:
        virtual DesktopScale scale() const { return unscaled; }

        void SetUp() override
        {
            QString error;
            ASSERT_TRUE(m_desktop.start(&error)) << qPrintable(error);
            if (!scale().resources.isEmpty()) {
                ASSERT_TRUE(m_desktop.mergeResources(scale().resources));
            }
            m_xterm = m_desktop.startClient(QStringLiteral("xterm"));
            m_xtermWindow = m_desktop.waitForClientWindow(m_xterm->pid());
            ASSERT_NE(m_xtermWindow, XCB_WINDOW_NONE);
            ASSERT_TRUE(m_desktop.activate(m_xtermWindow));
            startHost();
        }

        void startHost()
        {
            int ready[2];
            ASSERT_EQ(::pipe2(ready, O_CLOEXEC), 0);
            QStringList environment = m_desktop.environment();
            environment.append(QStringLiteral("QT_QPA_PLATFORM=xcb"));
            if (!scale().screenScaleFactors.isEmpty())
                environment.append(QStringLiteral("QT_SCREEN_SCALE_FACTORS=") + scale().screenScaleFactors);
            m_host = std::make_unique<ChildProcess>(QStringLiteral(GRIDLUME_TILING_PANEL_HOST),
                QStringList { m_settings.filePath(QStringLiteral("gridlume.conf")), QString::number(ready[1]) },
                environment, ready[1]);
            ::close(ready[1]);
            pollfd readable { ready[0], POLLIN, 0 };
            char buffer[8] = {};
            const bool isReady = ::poll(&readable, 1, 20000) == 1 && ::read(ready[0], buffer, sizeof buffer) > 0;
            ::close(ready[0]);
            ASSERT_TRUE(isReady) << "the panel host did not come up";
        }

        void run(const QStringList& arguments)
        {
            ASSERT_EQ(m_desktop.run(QStringLiteral("xdotool"), arguments).exitCode, 0) << qPrintable(arguments.join(u' '));
        }

        void pressShortcut() { run({ QStringLiteral("key"), QStringLiteral("ctrl+alt+g") }); }

        void moveTo(QPoint point)
        {
            run({ QStringLiteral("mousemove"), QString::number(point.x()), QString::number(point.y()) });
        }

        // A point inside tile (row, column) of a 2 × 2 grid in the panel at `panel` (device pixels)
        // drawn at `ratio`.
        static QPoint tileCentre(const QRect& panel, int row, int column, double ratio = 1)
        {
            return panel.topLeft()
                + QPoint(qRound((gridLeft + 70 + 140 * column) * ratio), qRound((gridTop + 44 + 87 * row) * ratio));
        }

        std::string windowName(xcb_window_t window) const
        {
            Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(m_desktop.connection(),
                                                      xcb_get_property(m_desktop.connection(), false, window,
                                                          XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 256),
                                                      nullptr),
                &std::free);
            if (!reply)
                return {};
            return std::string(static_cast<const char*>(xcb_get_property_value(reply.get())),
                std::size_t(xcb_get_property_value_length(reply.get())));
        }

        QByteArray property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type) const
        {
            Reply<xcb_get_property_reply_t> reply(
                xcb_get_property_reply(m_desktop.connection(),
                    xcb_get_property(m_desktop.connection(), false, window, name, type, 0, 256), nullptr),
                &std::free);
            if (!reply)
                return {};
            return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                xcb_get_property_value_length(reply.get()));
        }

        // Every window named `title`, anywhere in the tree, in stacking order (bottom first).
        std::vector<xcb_window_t> windowsNamed(const std::string& title, xcb_window_t parent = XCB_WINDOW_NONE) const
        {
            if (parent == XCB_WINDOW_NONE)
                parent = m_desktop.root();
            std::vector<xcb_window_t> found;
            Reply<xcb_query_tree_reply_t> tree(
                xcb_query_tree_reply(m_desktop.connection(), xcb_query_tree(m_desktop.connection(), parent), nullptr),
                &std::free);
            if (!tree)
                return found;
            const xcb_window_t* children = xcb_query_tree_children(tree.get());
            for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
                if (windowName(children[i]) == title)
                    found.push_back(children[i]);
                const std::vector<xcb_window_t> below = windowsNamed(title, children[i]);
                found.insert(found.end(), below.begin(), below.end());
            }
            return found;
        }

        bool isViewable(xcb_window_t window) const
        {
            Reply<xcb_get_window_attributes_reply_t> attributes(
                xcb_get_window_attributes_reply(
                    m_desktop.connection(), xcb_get_window_attributes(m_desktop.connection(), window), nullptr),
                &std::free);
            return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        }

        QRect rootGeometry(xcb_window_t window) const
        {
            xcb_connection_t* c = m_desktop.connection();
            Reply<xcb_get_geometry_reply_t> geometry(
                xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr), &std::free);
            Reply<xcb_translate_coordinates_reply_t> origin(
                xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, window, m_desktop.root(), 0, 0), nullptr),
                &std::free);
            if (!geometry || !origin)
                return {};
            return QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
        }

        std::vector<QRect> viewablePanels() const
        {
            std::vector<QRect> panels;
            for (xcb_window_t window : windowsNamed("Gridlume Tiling Panel")) {
                if (isViewable(window))
                    panels.push_back(rootGeometry(window));
            }
            std::sort(panels.begin(), panels.end(), [](const QRect& a, const QRect& b) { return a.x() < b.x(); });
            return panels;
        }

        xcb_window_t previewWindow() const
        {
            const std::vector<xcb_window_t> windows = windowsNamed("Gridlume Preview");
            return windows.empty() ? xcb_window_t(XCB_WINDOW_NONE) : windows.front();
        }

        bool waitForPanels(const std::vector<QRect>& expected)
        {
            return m_desktop.waitUntil([&] { return viewablePanels() == expected; });
        }

        // Shows the panels and waits until they stand centred on both monitors.
        void showPanels()
        {
            pressShortcut();
            ASSERT_TRUE(m_desktop.waitUntil([&] {
                const std::vector<QRect> panels = viewablePanels();
                return panels.size() == 2 && isCentredPanel(panels[0], primaryVisible, scale().primaryRatio)
                    && isCentredPanel(panels[1], secondVisible, scale().secondRatio);
            })) << describe(viewablePanels());
        }

        static std::string describe(const std::vector<QRect>& rects)
        {
            std::string text = "panels:";
            for (const QRect& rect : rects)
                text += " " + describe(rect);
            return text;
        }

        static std::string describe(const QRect& rect)
        {
            return QStringLiteral("%1,%2 %3x%4")
                .arg(rect.x())
                .arg(rect.y())
                .arg(rect.width())
                .arg(rect.height())
                .toStdString();
        }

        // Waits until the xterm covers `block`, give or take the whole character cells it keeps
        // its size in (it is then shifted to lie inside the block).
        void expectXtermPlacedOn(const Rect& block)
        {
            const Size increment = m_desktop.resizeIncrementFromOutside(m_xtermWindow);
            auto placed = [&] {
                const auto frame = m_desktop.visibleFrameFromOutside(m_xtermWindow);
                return frame && std::abs(frame->minX() - block.minX()) <= increment.width
                    && std::abs(frame->minY() - block.minY()) <= increment.height
                    && std::abs(frame->width() - block.width()) <= increment.width
                    && std::abs(frame->height() - block.height()) <= increment.height;
            };
            EXPECT_TRUE(m_desktop.waitUntil(placed)) << [&] {
                const auto frame = m_desktop.visibleFrameFromOutside(m_xtermWindow);
                return frame
                    ? describe(QRect(int(frame->minX()), int(frame->minY()), int(frame->width()), int(frame->height())))
                    : std::string("xterm gone");
            }();
        }

        X11TestDesktop m_desktop;
        QTemporaryDir m_settings;
        std::unique_ptr<ChildProcess> m_xterm;
        xcb_window_t m_xtermWindow = XCB_WINDOW_NONE;
        std::unique_ptr<ChildProcess> m_host;
    };

    TEST_F(TilingPanelX11Test, PanelsAppearCentredOnEveryMonitorWhileTheXtermKeepsTheFocus)
    {
        showPanels();
        EXPECT_EQ(m_desktop.activeWindow(), m_xtermWindow);

        // Openbox keeps a window on every desktop through _NET_WM_DESKTOP alone and does not list
        // _NET_WM_STATE_STICKY among the states it manages; the panel asks for both.
        const xcb_atom_t above = m_desktop.atom("_NET_WM_STATE_ABOVE");
        for (xcb_window_t window : windowsNamed("Gridlume Tiling Panel")) {
            EXPECT_EQ(property(window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING), QByteArray("gridlume\0Gridlume\0", 18));
            const QByteArray desktop = property(window, m_desktop.atom("_NET_WM_DESKTOP"), XCB_ATOM_CARDINAL);
            ASSERT_EQ(desktop.size(), 4);
            EXPECT_EQ(*reinterpret_cast<const quint32*>(desktop.constData()), 0xFFFFFFFFu);
            // Above other windows, and out of task bars and pagers (Openbox keeps both states).
            const std::vector<xcb_atom_t> states = m_desktop.windowStates(window);
            for (xcb_atom_t state : { above, m_desktop.atom("_NET_WM_STATE_SKIP_TASKBAR"), m_desktop.atom("_NET_WM_STATE_SKIP_PAGER") })
                EXPECT_NE(std::find(states.begin(), states.end(), state), states.end());
        }
        EXPECT_EQ(property(previewWindow(), XCB_ATOM_WM_CLASS, XCB_ATOM_STRING), QByteArray("gridlume\0Gridlume\0", 18));

        // They stay on the screen when the user switches to another desktop.
        ASSERT_EQ(m_desktop.run(QStringLiteral("wmctrl"), { QStringLiteral("-s"), QStringLiteral("1") }).exitCode, 0);
        EXPECT_TRUE(m_desktop.waitUntil([&] {
            const QByteArray current = property(m_desktop.root(), m_desktop.atom("_NET_CURRENT_DESKTOP"), XCB_ATOM_CARDINAL);
            return current.size() == 4 && *reinterpret_cast<const quint32*>(current.constData()) == 1;
        }));
        EXPECT_EQ(viewablePanels(), std::vector<QRect>({ centredPanel(primaryVisible), centredPanel(secondVisible) }));
    }

    TEST_F(TilingPanelX11Test, ShortcutAgainHidesThePanels)
    {
        showPanels();
        pressShortcut();
        EXPECT_TRUE(waitForPanels({}));
        EXPECT_EQ(m_desktop.activeWindow(), m_xtermWindow);
    }

    class ScaledTilingPanelX11Test : public TilingPanelX11Test, public ::testing::WithParamInterface<DesktopScale> {
    protected:
        DesktopScale scale() const override { return GetParam(); }
    };

    TEST_P(ScaledTilingPanelX11Test, PointerOverATileShowsThePreviewOnThatBlockBelowThePanel)
    {
        showPanels();
        const std::vector<QRect> panels = viewablePanels();
        const xcb_window_t preview = previewWindow();
        ASSERT_NE(preview, XCB_WINDOW_NONE);

        moveTo(tileCentre(panels[0], 0, 0, scale().primaryRatio));
        const QRect primaryTopLeft(0, 0, 640, 512);
        EXPECT_TRUE(m_desktop.waitUntil([&] { return isViewable(preview) && rootGeometry(preview) == primaryTopLeft; }))
            << "preview at " << describe(rootGeometry(preview));

        moveTo(tileCentre(panels[1], 1, 1, scale().secondRatio));
        const QRect secondBottomRight(1792, 364, 512, 364);
        EXPECT_TRUE(m_desktop.waitUntil([&] {
            return isViewable(preview) && rootGeometry(preview) == secondBottomRight;
        })) << "preview at "
            << describe(rootGeometry(preview));

        // The preview lies below the panel it belongs to, although it covers it, also once the
        // window manager has handled the panel's raise.
        const std::vector<xcb_window_t> panelsAndPreview = windowsNamed("Gridlume Tiling Panel");
        auto stackIndex = [&](xcb_window_t window) {
            Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(m_desktop.connection(),
                                                   xcb_query_tree(m_desktop.connection(), m_desktop.root()), nullptr),
                &std::free);
            const xcb_window_t* children = tree ? xcb_query_tree_children(tree.get()) : nullptr;
            const int count = tree ? xcb_query_tree_children_length(tree.get()) : 0;
            for (int i = 0; i < count; ++i) {
                if (children[i] == window
                    || (windowsNamed("Gridlume Tiling Panel", children[i]).size() == 1
                        && windowsNamed("Gridlume Tiling Panel", children[i]).front() == window))
                    return i;
            }
            return -1;
        };
        for (xcb_window_t panel : panelsAndPreview) {
            if (rootGeometry(panel) != panels[1])
                continue;
            EXPECT_TRUE(m_desktop.waitUntil([&] { return stackIndex(preview) < stackIndex(panel); }))
                << "preview at " << stackIndex(preview) << ", panel at " << stackIndex(panel);
            // And it stays there.
            m_desktop.syncWithWindowManager();
            EXPECT_LT(stackIndex(preview), stackIndex(panel));
        }

        // Leaving the grid clears the preview.
        moveTo(QPoint(5, 5));
        EXPECT_TRUE(m_desktop.waitUntil([&] { return !isViewable(preview); }));
    }

    TEST_P(ScaledTilingPanelX11Test, DragAcrossTilesPlacesTheXterm)
    {
        showPanels();
        const QRect panel = viewablePanels()[0];
        moveTo(tileCentre(panel, 0, 0, scale().primaryRatio));
        run({ QStringLiteral("mousedown"), QStringLiteral("1") });
        moveTo(tileCentre(panel, 0, 1, scale().primaryRatio));
        run({ QStringLiteral("mouseup"), QStringLiteral("1") });

        // The top half of the primary monitor.
        expectXtermPlacedOn(Rect(0, 0, 1280, 512));
        // The panels stay open for the next placement.
        EXPECT_EQ(viewablePanels().size(), 2u);
    }

    TEST_P(ScaledTilingPanelX11Test, DragIntoTheOtherMonitorsPanelStaysWithTheGridItBeganIn)
    {
        showPanels();
        const std::vector<QRect> panels = viewablePanels();
        const xcb_window_t preview = previewWindow();
        moveTo(tileCentre(panels[0], 0, 0, scale().primaryRatio));
        run({ QStringLiteral("mousedown"), QStringLiteral("1") });
        moveTo(tileCentre(panels[1], 0, 0, scale().secondRatio));

        // The drag reaches past the right of its grid, above its rows: the whole top row.
        const QRect primaryTopHalf(0, 0, 1280, 512);
        EXPECT_TRUE(m_desktop.waitUntil([&] { return isViewable(preview) && rootGeometry(preview) == primaryTopHalf; }))
            << "preview at " << describe(rootGeometry(preview));
        run({ QStringLiteral("mouseup"), QStringLiteral("1") });
        expectXtermPlacedOn(Rect(0, 0, 1280, 512));
    }

    TEST_F(TilingPanelX11Test, EscapeTypedWhileTheXtermHasTheFocusClosesThePanels)
    {
        showPanels();
        ASSERT_EQ(m_desktop.activeWindow(), m_xtermWindow);
        run({ QStringLiteral("key"), QStringLiteral("Escape") });
        EXPECT_TRUE(waitForPanels({}));
        EXPECT_EQ(m_desktop.activeWindow(), m_xtermWindow);
    }

    TEST_F(TilingPanelX11Test, MonitorRemovedWhileShownRebuildsThePanels)
    {
        showPanels();
        ASSERT_EQ(m_desktop.run(QStringLiteral("xrandr"), { QStringLiteral("--delmonitor"), QStringLiteral("M2") }).exitCode,
            0);
        EXPECT_TRUE(waitForPanels({ centredPanel(primaryVisible) })) << "panels: " << viewablePanels().size();
    }

    INSTANTIATE_TEST_SUITE_P(Scales, ScaledTilingPanelX11Test,
        ::testing::Values(unscaled, DesktopScale { "XftDpi144", "Xft.dpi: 144\n", {}, 1.5, 1.5 },
            DesktopScale { "XftDpi192", "Xft.dpi: 192\n", {}, 2, 2 },
            DesktopScale { "primaryAt2xSecondAt1x", {}, QStringLiteral("M1=2;M2=1"), 2, 1 },
            DesktopScale { "primaryAt1xSecondAt1_5x", {}, QStringLiteral("M1=1;M2=1.5"), 1, 1.5 }),
        [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace gridlume::test
