#include "platform/x11/X11PropertyParsers.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace gridlume::x11 {
namespace {

    // Two monitors side by side in a 2304 × 1024 root: 1280 × 1024 at the left, 1024 × 768 at
    // the right, top-aligned (so the root's bottom edge is 256 below the right monitor's).
    constexpr qint64 kRootWidth = 2304;
    constexpr qint64 kRootHeight = 1024;
    const RootRect kLeft { 0, 0, 1280, 1024 };
    const RootRect kRight { 1280, 0, 1024, 768 };

    Strut strut(std::vector<quint32> partial)
    {
        return *parseStrut(partial, {}, kRootWidth, kRootHeight);
    }

    // What each desktop publishes with the two monitors above (struts alone shrink only the
    // monitors they overlap; the rest as read from the real window managers), and the visible
    // frames a user sees there.
    struct DesktopCase {
        const char* name;
        WorkAreaHints hints;
        RootRect expectedLeft;
        RootRect expectedRight;
    };

    WorkAreaHints hints(std::vector<Strut> struts, std::optional<RootRect> workArea = {}, std::vector<quint32> gtk = {},
        bool hasClientList = true)
    {
        return { kRootWidth, kRootHeight, std::move(gtk), hasClientList, std::move(struts), workArea };
    }

    TEST(X11PropertyParsers, VisibleFramesReconcileStrutsAndTheWorkArea)
    {
        const RootRect root { 0, 0, kRootWidth, kRootHeight };
        const DesktopCase cases[] = {
            { "top panel across both monitors", hints({ strut({ 0, 0, 30, 0, 0, 0, 0, 0, 0, 2303, 0, 0 }) }),
                { 0, 30, 1280, 994 }, { 1280, 30, 1024, 738 } },
            { "left dock", hints({ strut({ 48, 0, 0, 0, 0, 1023, 0, 0, 0, 0, 0, 0 }) }), { 48, 0, 1232, 1024 },
                kRight },
            { "right dock on the right monitor's upper half",
                hints({ strut({ 0, 64, 0, 0, 0, 0, 0, 383, 0, 0, 0, 0 }) }), kLeft, { 1280, 0, 960, 768 } },
            { "bottom strut below the right monitor overlaps only the left one",
                hints({ strut({ 0, 0, 0, 100, 0, 0, 0, 0, 0, 0, 0, 2303 }) }), { 0, 0, 1280, 924 }, kRight },
            { "two docks on one edge: the larger wins",
                hints({ strut({ 0, 0, 20, 0, 0, 0, 0, 0, 0, 2303, 0, 0 }),
                    strut({ 0, 0, 40, 0, 0, 0, 0, 0, 1280, 2303, 0, 0 }) }),
                { 0, 20, 1280, 1004 }, { 1280, 40, 1024, 728 } },
            { "IceWM, Fluxbox: their own taskbar, 26 pixels at the root's bottom, only in the work area",
                hints({}, RootRect { 0, 0, 2304, 998 }), { 0, 0, 1280, 998 }, kRight },
            { "xfwm4: a top panel's strut on the left monitor, also in the work area, spares the right one",
                hints({ strut({ 0, 0, 27, 0, 0, 0, 0, 0, 0, 1279, 0, 0 }) }, RootRect { 0, 27, 2304, 997 }),
                { 0, 27, 1280, 997 }, kRight },
            { "Openbox: a dock on the right monitor, measured from the root's bottom edge, cuts the one work area, "
              "not the left monitor",
                hints({ strut({ 0, 0, 0, 296, 0, 0, 0, 0, 0, 0, 1280, 2303 }) }, RootRect { 0, 0, 2304, 728 }), kLeft,
                { 1280, 0, 1024, 728 } },
            { "marco: per-monitor work areas win",
                hints({ strut({ 0, 0, 25, 0, 0, 0, 0, 0, 0, 1279, 0, 0 }) }, RootRect { 0, 25, 2304, 975 },
                    { 0, 25, 1280, 975, 1280, 0, 1024, 768 }),
                { 0, 25, 1280, 975 }, kRight },
            { "a taskbar of the window manager and a dock's strut on the same edge",
                hints({ strut({ 0, 0, 0, 296, 0, 0, 0, 0, 0, 0, 1280, 2303 }) }, RootRect { 0, 0, 2304, 698 }),
                { 0, 0, 1280, 994 }, { 1280, 0, 1024, 728 } },
            { "no client list: the work area's reservations are the window manager's",
                hints({}, RootRect { 0, 30, 2304, 994 }, {}, false), { 0, 30, 1280, 994 }, { 1280, 30, 1024, 738 } },
            { "a work area larger than the root reserves nothing", hints({}, RootRect { -50, -50, 5000, 5000 }), kLeft,
                kRight },
            { "a work area outside the root is ignored", hints({}, RootRect { 3000, 0, 100, 100 }), kLeft, kRight },
            { "a strut larger than the monitor leaves nothing",
                hints({ strut({ 0, 0, 0, 100000, 0, 0, 0, 0, 0, 0, 1280, 2303 }) }, root), kLeft,
                { 1280, 0, 1024, 0 } },
            { "a per-monitor work area on no monitor leaves the monitor whole",
                hints({}, root, { 5000, 0, 100, 100, 1280, 0, 1024, 700 }), kLeft, { 1280, 0, 1024, 700 } },
        };
        for (const DesktopCase& testCase : cases) {
            SCOPED_TRACE(testCase.name);
            EXPECT_EQ(visibleFrameOfMonitor(kLeft, testCase.hints), testCase.expectedLeft);
            EXPECT_EQ(visibleFrameOfMonitor(kRight, testCase.hints), testCase.expectedRight);
        }
    }

    TEST(X11PropertyParsers, StrutPropertyChoice)
    {
        const std::vector<quint32> partial { 0, 0, 0, 40, 0, 0, 0, 0, 0, 0, 100, 199 };
        const std::vector<quint32> legacy { 0, 0, 0, 60 };
        EXPECT_EQ(parseStrut(partial, legacy, kRootWidth, kRootHeight)->bottom, 40) << "partial wins";
        // _NET_WM_STRUT alone covers the whole edge.
        const Strut fromLegacy = *parseStrut({}, legacy, kRootWidth, kRootHeight);
        EXPECT_EQ(fromLegacy.bottom, 60);
        EXPECT_EQ(fromLegacy.bottomStartX, 0);
        EXPECT_EQ(fromLegacy.bottomEndX, kRootWidth - 1);
        EXPECT_EQ(parseStrut(std::vector<quint32>(5, 1), {}, kRootWidth, kRootHeight), std::nullopt) << "short";
        EXPECT_EQ(parseStrut(std::vector<quint32>(12, 0), {}, kRootWidth, kRootHeight), std::nullopt) << "empty";
    }

    TEST(X11PropertyParsers, FrameExtentsConvertBetweenClientAndVisibleFrame)
    {
        struct Case {
            const char* name;
            FrameExtents decoration;
            FrameExtents shadow;
            RootRect client;
            RootRect visible;
        };
        const Case cases[] = {
            { "undecorated", {}, {}, { 10, 20, 300, 200 }, { 10, 20, 300, 200 } },
            { "server-side decoration", { 1, 1, 21, 5 }, {}, { 11, 41, 300, 200 }, { 10, 20, 302, 226 } },
            { "client-side shadow", {}, { 12, 12, 8, 16 }, { 10, 20, 300, 200 }, { 22, 28, 276, 176 } },
        };
        for (const Case& testCase : cases) {
            SCOPED_TRACE(testCase.name);
            EXPECT_EQ(visibleFrameOfClient(testCase.client, testCase.decoration, testCase.shadow), testCase.visible);
            EXPECT_EQ(clientOfVisibleFrame(testCase.visible, testCase.decoration, testCase.shadow), testCase.client);
        }
        EXPECT_EQ(parseFrameExtents(std::vector<quint32> { 1, 2, 3, 4 }), (FrameExtents { 1, 2, 3, 4 }));
        EXPECT_EQ(parseFrameExtents(std::vector<quint32> { 1, 2, 3 }), FrameExtents {});
        EXPECT_EQ(parseFrameExtents(std::vector<quint32> { 0xFFFFFFFF, 2, 3, 4 }), (FrameExtents { 0, 2, 3, 4 }));
    }

    TEST(X11PropertyParsers, WorkAreaSelection)
    {
        // _GTK_WORKAREAS_D0 lists one rectangle per monitor, in the window manager's order.
        const std::vector<quint32> perMonitor { 1280, 0, 1024, 728, 0, 32, 1280, 992 };
        EXPECT_EQ(workAreaForMonitor(kLeft, perMonitor), (RootRect { 0, 32, 1280, 992 }));
        EXPECT_EQ(workAreaForMonitor(kRight, perMonitor), (RootRect { 1280, 0, 1024, 728 }));
        EXPECT_EQ(workAreaForMonitor(kRight, std::vector<quint32> { 0, 0, 100, 100 }), std::nullopt);
        EXPECT_EQ(workAreaForMonitor(kRight, std::vector<quint32> { 1, 2, 3 }), std::nullopt);

        // _NET_WORKAREA: one rectangle per desktop.
        const std::vector<quint32> desktops { 0, 0, 2304, 1000, 0, 24, 2304, 1000 };
        EXPECT_EQ(desktopWorkArea(desktops, 1), (RootRect { 0, 24, 2304, 1000 }));
        EXPECT_EQ(desktopWorkArea(desktops, 2), std::nullopt);
        EXPECT_EQ(desktopWorkArea(desktops, 0)->intersected(kRight), (RootRect { 1280, 0, 1024, 768 }));
    }

    TEST(X11PropertyParsers, WmClassSplitsTwoStringsWhateverTheTerminators)
    {
        struct Case {
            QByteArray value;
            const char* instanceName;
            const char* className;
        };
        const Case cases[] = {
            { QByteArray("xterm\0XTerm\0", 12), "xterm", "XTerm" },
            { QByteArray("a\0b", 3), "a", "b" },
            { QByteArray("a\0b\0trailing\0", 13), "a", "b" },
            { QByteArray("\0Class\0", 7), "", "Class" },
            { QByteArray("one\0", 4), "one", "" },
            // Four bytes and no terminator: xcb_icccm_get_wm_class_from_reply() points the class
            // one past the end of the reply, and reading it overran the heap.
            { QByteArray("abcd"), "abcd", "" },
            { QByteArray(), "", "" },
        };
        for (const Case& testCase : cases) {
            SCOPED_TRACE(testCase.value.toHex().constData());
            const WmClass wmClass = parseWmClass(testCase.value);
            EXPECT_EQ(wmClass.instanceName, QString::fromUtf8(testCase.instanceName));
            EXPECT_EQ(wmClass.className, QString::fromUtf8(testCase.className));
        }
    }

    TEST(X11PropertyParsers, ProcessIdRejectsWhatPidTCannotHold)
    {
        const std::pair<std::vector<quint32>, pid_t> cases[] = {
            { { 4242 }, 4242 },
            { { 4242, 7 }, 4242 },
            { {}, 0 },
            { { 0 }, 0 },
            { { quint32(INT_MAX) }, INT_MAX },
            { { quint32(INT_MAX) + 1 }, 0 },
        };
        for (const auto& [values, pid] : cases)
            EXPECT_EQ(parseProcessId(values), pid) << (values.empty() ? 0 : values.front());
    }

    // A _NET_WM_ICON value: for each icon its width, height and pixels; an icon whose pixels are
    // `truncatedBy` items short ends the property early.
    struct IconSpec {
        quint32 width;
        quint32 height;
        std::size_t truncatedBy = 0;
    };

    std::vector<quint32> iconProperty(const std::vector<IconSpec>& icons)
    {
        std::vector<quint32> values;
        for (const IconSpec& icon : icons) {
            values.push_back(icon.width);
            values.push_back(icon.height);
            // Each pixel says which icon it belongs to and where, to check the views.
            const std::size_t count = std::size_t(icon.width) * icon.height - icon.truncatedBy;
            for (std::size_t i = 0; i < count; ++i)
                values.push_back(quint32(icon.width << 16 | (i & 0xFFFF)));
        }
        return values;
    }

    TEST(X11PropertyParsers, WindowIconsAreCappedAndChosenWithinTheBudget)
    {
        struct Case {
            const char* name;
            std::vector<IconSpec> icons;
            std::size_t budget;
            std::vector<std::pair<quint32, quint32>> chosen;
        };
        const std::size_t all = kWindowIconPixelBudget;
        const Case cases[] = {
            { "the usual sizes all fit, largest first",
                { { 16, 16 }, { 32, 32 }, { 48, 48 }, { 64, 64 }, { 128, 128 }, { 256, 256 } }, all,
                { { 256, 256 }, { 128, 128 }, { 64, 64 }, { 48, 48 }, { 32, 32 }, { 16, 16 } } },
            { "a size claimed in a small property", { { 65535, 65535, 65535ull * 65535 - 14 } }, all, {} },
            { "a wide icon over the cap", { { 257, 1 }, { 1, 257 }, { 16, 16 } }, all, { { 16, 16 } } },
            { "empty icons are stepped over", { { 0, 0 }, { 0, 5 }, { 2, 2 } }, all, { { 2, 2 } } },
            { "a truncated icon is left out", { { 16, 16 }, { 32, 32, 1 } }, all, { { 16, 16 } } },
            { "one icon per size, the first", { { 16, 16 }, { 16, 16 } }, all, { { 16, 16 } } },
            { "too large for the budget: smaller ones instead", { { 128, 128 }, { 64, 64 }, { 32, 32 }, { 16, 16 } },
                64 * 64 + 16 * 16, { { 64, 64 }, { 16, 16 } } },
            { "nothing fits", { { 16, 16 } }, 255, {} },
        };
        for (const Case& testCase : cases) {
            SCOPED_TRACE(testCase.name);
            const std::vector<quint32> values = iconProperty(testCase.icons);
            const std::vector<WindowIconImage> icons = parseWindowIcons(values, testCase.budget);
            std::vector<std::pair<quint32, quint32>> sizes;
            for (const WindowIconImage& icon : icons) {
                sizes.emplace_back(icon.width, icon.height);
                ASSERT_EQ(icon.argb.size(), std::size_t(icon.width) * icon.height);
                EXPECT_EQ(icon.argb.front(), icon.width << 16);
                EXPECT_EQ(icon.argb.back(), icon.width << 16 | ((icon.argb.size() - 1) & 0xFFFF));
            }
            EXPECT_EQ(sizes, testCase.chosen);
        }
        std::vector<IconSpec> forty;
        for (quint32 side = 1; side <= 40; ++side)
            forty.push_back({ side, 1 });
        EXPECT_EQ(parseWindowIcons(iconProperty(forty)).size(), kMaxWindowIcons) << "at most sixteen";
    }

} // namespace
} // namespace gridlume::x11
