#include "platform/QtScreenSpace.h"

#include <gtest/gtest.h>

using namespace gridlume;

namespace {

using QtScreen = QtScreenSpace::QtScreen;

struct Desktop {
    QList<Screen> screens;
    QList<QtScreen> qtScreens;

    QtScreenSpace space() const { return QtScreenSpace(screens, qtScreens); }
};

// "DP-1", the primary, 1920 × 1200 at native (0, 0); "HDMI-1" 1280 × 1024 at native (1920, 0),
// top edges aligned. Qt keeps each screen's native top-left corner as its logical one.
Desktop sideBySide(double primaryRatio, double secondRatio)
{
    return { { Screen { 1, Rect(0, 0, 1920, 1200), Rect(0, 0, 1920, 1200), "DP-1" },
                 Screen { 2, Rect(1920, 176, 1280, 1024), Rect(1920, 176, 1280, 1024), "HDMI-1" } },
        { QtScreen { "DP-1", { 0, 0 }, primaryRatio }, QtScreen { "HDMI-1", { 1920, 0 }, secondRatio } } };
}

// The same monitors with the second to the left of the primary: the primary is not at the
// desktop's origin, and the second has negative coordinates in the window-system space.
Desktop primaryOnTheRight(double ratio)
{
    return { { Screen { 1, Rect(0, 0, 1920, 1200), Rect(0, 0, 1920, 1200), "DP-1" },
                 Screen { 2, Rect(-1280, 176, 1280, 1024), Rect(-1280, 176, 1280, 1024), "HDMI-1" } },
        { QtScreen { "DP-1", { 1280, 0 }, ratio }, QtScreen { "HDMI-1", { 0, 0 }, ratio } } };
}

// Screens Qt knows by other names (the offscreen platform): Qt's primary screen decides.
Desktop screensQtDoesNotName(double ratio)
{
    Desktop desktop = sideBySide(ratio, ratio);
    desktop.qtScreens = { QtScreen { "offscreen", { 0, 0 }, ratio } };
    return desktop;
}

struct RectCase {
    const char* name;
    Desktop desktop;
    Rect frame; // window-system space
    QRect native;
    QRect logical;
};

class QtScreenSpaceRectTest : public ::testing::TestWithParam<RectCase> { };

TEST_P(QtScreenSpaceRectTest, ConvertsOnTheScreenThatHoldsTheFrame)
{
    const RectCase& c = GetParam();
    const QtScreenSpace space = c.desktop.space();
    EXPECT_EQ(space.nativePixelRect(c.frame), c.native);
    EXPECT_EQ(space.logicalRect(c.frame), c.logical);
}

INSTANTIATE_TEST_SUITE_P(Frames, QtScreenSpaceRectTest,
    ::testing::Values(RectCase { "wholePrimaryAt2x", sideBySide(2, 2), Rect(0, 0, 1920, 1200), QRect(0, 0, 1920, 1200),
            QRect(0, 0, 960, 600) },
        RectCase { "secondAt1xBesidePrimaryAt2x", sideBySide(2, 1), Rect(1920, 176, 1280, 1024),
            QRect(1920, 0, 1280, 1024), QRect(1920, 0, 1280, 1024) },
        RectCase { "secondAt2xBesidePrimaryAt1x", sideBySide(1, 2), Rect(2560, 176, 640, 512),
            QRect(2560, 512, 640, 512), QRect(2240, 256, 320, 256) },
        // 426.67 logical pixels: the nearest logical edges Qt can place, on device pixels 2559 and
        // 3200; the exact frame is the native one.
        RectCase { "rightHalfOfSecondAt1_5x", sideBySide(1.5, 1.5), Rect(2560, 176, 640, 1024),
            QRect(2560, 0, 640, 1024), QRect(2346, 0, 427, 682) },
        RectCase { "middleThirdOfSecondAt1_5x", sideBySide(1.5, 1.5), Rect(1920 + 1280 / 3.0, 176, 1280 / 3.0, 1024),
            QRect(2347, 0, 426, 1024), QRect(2204, 0, 284, 682) },
        RectCase { "secondLeftOfThePrimaryAt2x", primaryOnTheRight(2), Rect(-1280, 176, 1280, 1024),
            QRect(0, 0, 1280, 1024), QRect(0, 0, 640, 512) },
        RectCase { "screensQtDoesNotNameAt2x", screensQtDoesNotName(2), Rect(1920, 176, 1280, 1024),
            QRect(1920, 0, 1280, 1024), QRect(1920, 0, 640, 512) }),
    [](const auto& info) { return std::string(info.param.name); });

// Neighbouring tiles of a 3 × 3 grid (fractional sizes on both monitors) share their edges after
// rounding, in device pixels and in Qt's logical pixels, at every ratio.
class QtScreenSpaceEdgeTest : public ::testing::TestWithParam<std::pair<double, double>> { };

TEST_P(QtScreenSpaceEdgeTest, NeighbouringTilesShareTheirEdges)
{
    const Desktop desktop = sideBySide(GetParam().first, GetParam().second);
    const QtScreenSpace space = desktop.space();
    for (const Screen& screen : desktop.screens) {
        const double width = screen.visibleFrame.width() / 3;
        const double height = screen.visibleFrame.height() / 3;
        auto tile = [&](int row, int column) {
            return Rect(
                screen.visibleFrame.minX() + column * width, screen.visibleFrame.minY() + row * height, width, height);
        };
        for (const auto toPixels : { &QtScreenSpace::nativePixelRect, &QtScreenSpace::logicalRect }) {
            const auto convert = [&](const Rect& frame) { return (space.*toPixels)(frame); };
            for (int i = 0; i < 3; ++i) {
                for (int j = 0; j < 2; ++j) {
                    const QRect left = convert(tile(i, j));
                    const QRect right = convert(tile(i, j + 1));
                    EXPECT_EQ(left.x() + left.width(), right.x()) << qPrintable(screen.name) << " row " << i;
                    // Rows grow upwards in the window-system space and downwards on the screen.
                    const QRect below = convert(tile(j, i));
                    const QRect above = convert(tile(j + 1, i));
                    EXPECT_EQ(above.y() + above.height(), below.y()) << qPrintable(screen.name) << " column " << i;
                }
            }
            // The outer tiles reach the screen's edges.
            const QRect whole = convert(screen.frame);
            EXPECT_EQ(convert(tile(2, 0)).topLeft(), whole.topLeft()) << qPrintable(screen.name);
            const QRect last = convert(tile(0, 2));
            EXPECT_EQ(last.x() + last.width(), whole.x() + whole.width()) << qPrintable(screen.name);
            EXPECT_EQ(last.y() + last.height(), whole.y() + whole.height()) << qPrintable(screen.name);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Ratios, QtScreenSpaceEdgeTest,
    ::testing::Values(
        std::pair(1.5, 1.5), std::pair(2.0, 1.0), std::pair(1.0, 1.5)));

struct CentringCase {
    const char* name;
    Desktop desktop;
    Rect area;
    QPoint logicalTopLeft; // of a 304 × 326 window
};

class QtScreenSpaceCentringTest : public ::testing::TestWithParam<CentringCase> { };

TEST_P(QtScreenSpaceCentringTest, CentresTheWindowAtTheScreensRatio)
{
    const CentringCase& c = GetParam();
    EXPECT_EQ(c.desktop.space().centredTopLeft(c.area, QSize(304, 326)), c.logicalTopLeft);
}

INSTANTIATE_TEST_SUITE_P(Panels, QtScreenSpaceCentringTest,
    ::testing::Values(
        // Device pixels (656, 274) and (2256, 186): 608 × 652 windows.
        CentringCase { "primaryAt2x", sideBySide(2, 2), Rect(0, 0, 1920, 1200), { 328, 137 } },
        // Device pixels (2408, 349) beside a primary at 2x.
        CentringCase { "secondAt1xBesidePrimaryAt2x", sideBySide(2, 1), Rect(1920, 176, 1280, 1024), { 2408, 349 } },
        // Device pixels (2332, 268) lie between Qt's logical pixels; the nearest is (2331, 267).
        CentringCase { "secondAt1_5x", sideBySide(1.5, 1.5), Rect(1920, 176, 1280, 1024), { 2194, 178 } },
        // A visible frame below a 40-pixel bar: centred on what is left.
        CentringCase { "belowABarAt2x", sideBySide(2, 2), Rect(0, 0, 1920, 1160), { 328, 147 } }),
    [](const auto& info) { return std::string(info.param.name); });

struct PointCase {
    const char* name;
    Desktop desktop;
    QPointF logical;
    std::optional<Point> frame;
    QString screen;
};

class QtScreenSpacePointTest : public ::testing::TestWithParam<PointCase> { };

TEST_P(QtScreenSpacePointTest, FindsTheScreenAndTheFramePointOfALogicalPoint)
{
    const PointCase& c = GetParam();
    const QtScreenSpace space = c.desktop.space();
    EXPECT_EQ(space.framePoint(c.logical), c.frame);
    const std::optional<Screen> screen = space.screenAt(c.logical);
    EXPECT_EQ(screen ? screen->name : QString(), c.screen);
}

INSTANTIATE_TEST_SUITE_P(Pointer, QtScreenSpacePointTest,
    ::testing::Values(PointCase { "primaryAt2x", sideBySide(2, 2), { 100, 50 }, Point { 200, 1100 }, "DP-1" },
        // The top row of pixels belongs to the screen, although its frame excludes its top edge.
        PointCase { "topRowOfSecondAt2x", sideBySide(2, 2), { 1930, 0 }, Point { 1940, 1200 }, "HDMI-1" },
        // Between the primary's logical right edge (960) and the second's left edge (1920).
        PointCase { "gapBetweenScreensAt2x", sideBySide(2, 2), { 1000, 10 }, std::nullopt, QString() },
        PointCase { "secondAt2xBesidePrimaryAt1x", sideBySide(1, 2), { 2000, 100 }, Point { 2080, 1000 }, "HDMI-1" },
        PointCase { "secondLeftOfThePrimaryAt2x", primaryOnTheRight(2), { 10, 10 }, Point { -1260, 1180 }, "HDMI-1" }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
