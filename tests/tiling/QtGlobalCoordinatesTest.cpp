#include "tiling/QtGlobalCoordinates.h"

#include <gtest/gtest.h>

using namespace gridlume;

namespace {

struct ConversionCase {
    const char* name;
    Rect frame; // window-system space
    Rect primaryScreenFrame;
    QPointF primaryScreenTopLeft; // where Qt has the primary screen
    QRectF expected; // Qt global space
};

class QtGlobalRectTest : public ::testing::TestWithParam<ConversionCase> { };

TEST_P(QtGlobalRectTest, MirrorsAboutThePrimaryScreensTopEdge)
{
    const ConversionCase& c = GetParam();
    EXPECT_EQ(qtGlobalRect(c.frame, c.primaryScreenFrame, c.primaryScreenTopLeft), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Screens, QtGlobalRectTest,
    ::testing::Values(
        ConversionCase { "wholePrimaryScreen", Rect(0, 0, 1440, 900), Rect(0, 0, 1440, 900), { 0, 0 },
            QRectF(0, 0, 1440, 900) },
        // A 25-point bar at the top of the primary screen.
        ConversionCase { "visibleFrameBelowABar", Rect(0, 0, 1440, 875), Rect(0, 0, 1440, 900), { 0, 0 },
            QRectF(0, 25, 1440, 875) },
        ConversionCase { "panelCentredOnThePrimary", Rect(568, 274.5, 304, 326), Rect(0, 0, 1440, 900), { 0, 0 },
            QRectF(568, 299.5, 304, 326) },
        // A taller screen to the right, top edges aligned: its bottom lies below the primary's.
        ConversionCase { "tallerScreenToTheRight", Rect(1440, -180, 1920, 1080), Rect(0, 0, 1440, 900), { 0, 0 },
            QRectF(1440, 0, 1920, 1080) },
        ConversionCase { "screenToTheLeft", Rect(-1920, 0, 1920, 900), Rect(0, 0, 1440, 900), { 0, 0 },
            QRectF(-1920, 0, 1920, 900) },
        ConversionCase { "screenAbove", Rect(0, 900, 1440, 900), Rect(0, 0, 1440, 900), { 0, 0 },
            QRectF(0, -900, 1440, 900) },
        // On X11 the primary monitor need not sit at the root window's origin.
        ConversionCase { "primaryRightOfTheRootOrigin", Rect(-1280, 0, 1280, 1024), Rect(0, 0, 1024, 768),
            { 1280, 0 }, QRectF(0, -256, 1280, 1024) },
        ConversionCase { "fractionalTile", Rect(0, 291.6666666666667, 480, 291.6666666666667), Rect(0, 0, 1440, 900),
            { 0, 0 }, QRectF(0, 316.66666666666663, 480, 291.6666666666667) }),
    [](const auto& info) { return std::string(info.param.name); });

struct RoundingCase {
    const char* name;
    QRectF rect;
    QRect expected;
};

class PixelAlignedRectTest : public ::testing::TestWithParam<RoundingCase> { };

TEST_P(PixelAlignedRectTest, RoundsEachEdge)
{
    EXPECT_EQ(pixelAlignedRect(GetParam().rect), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Edges, PixelAlignedRectTest,
    ::testing::Values(RoundingCase { "whole", QRectF(10, 20, 30, 40), QRect(10, 20, 30, 40) },
        // Three rows of 291.67 share their edges after rounding: 25…317, 317…608, 608…900.
        RoundingCase { "firstThird", QRectF(0, 25, 480, 291.6666666666667), QRect(0, 25, 480, 292) },
        RoundingCase { "middleThird", QRectF(0, 316.6666666666667, 480, 291.6666666666667), QRect(0, 317, 480, 291) },
        RoundingCase { "lastThird", QRectF(0, 608.3333333333334, 480, 291.6666666666667), QRect(0, 608, 480, 292) },
        RoundingCase { "negative", QRectF(-100.4, -50.6, 10, 10), QRect(-100, -51, 10, 10) }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
