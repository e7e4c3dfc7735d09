#include "placement/FrameGeometry.h"
#include "placement/WindowPlacementRegion.h"

#include <gtest/gtest.h>

using namespace gridlume;

namespace {

WindowPlacementRegion region(qint64 rows, qint64 columns, WindowPlacementTile leftTop, WindowPlacementTile bottomRight)
{
    return WindowPlacementRegion { rows, columns, leftTop, bottomRight };
}

struct RegionCase {
    const char* name;
    Rect visibleFrame;
    WindowPlacementRegion region;
    Rect expected;
    PlacementGaps gaps {};
};

class RegionToFrame : public ::testing::TestWithParam<RegionCase> { };

TEST_P(RegionToFrame, CoversExactlyTheBlock)
{
    const Rect frame = GetParam().region.appKitFrame(GetParam().visibleFrame, GetParam().gaps);
    const Rect& expected = GetParam().expected;
    EXPECT_NEAR(frame.origin.x, expected.origin.x, 1e-9) << "x";
    EXPECT_NEAR(frame.origin.y, expected.origin.y, 1e-9) << "y";
    EXPECT_NEAR(frame.size.width, expected.size.width, 1e-9) << "width";
    EXPECT_NEAR(frame.size.height, expected.size.height, 1e-9) << "height";
}

const Rect laptop(0, 0, 1440, 875);
constexpr double third = 875.0 / 3.0;

INSTANTIATE_TEST_SUITE_P(PlacementGeometry, RegionToFrame,
    ::testing::Values(
        RegionCase { "topLeftOf2x2", laptop, region(2, 2, { 0, 0 }, { 0, 0 }), Rect(0, 437.5, 720, 437.5) },
        RegionCase { "bottomRightOf2x2", laptop, region(2, 2, { 1, 1 }, { 1, 1 }), Rect(720, 0, 720, 437.5) },
        RegionCase { "wholeGridIsTheVisibleFrame", laptop, region(2, 2, { 0, 0 }, { 1, 1 }), laptop },
        RegionCase { "middleRowOf3x3IsNotRounded", laptop, region(3, 3, { 1, 0 }, { 1, 2 }),
            Rect(0, third, 1440, third) },
        RegionCase { "leftScreenWithNegativeOrigin", Rect(-1920, 0, 1920, 1080), region(2, 2, { 0, 1 }, { 1, 1 }),
            Rect(-960, 0, 960, 1080) },
        RegionCase { "dockRaisesTheBottom", Rect(0, 70, 1440, 805), region(2, 4, { 1, 0 }, { 1, 3 }),
            Rect(0, 70, 1440, 402.5) },
        RegionCase { "blockSpanningRowsAndColumns", Rect(0, 0, 800, 800), region(8, 8, { 2, 3 }, { 5, 4 }),
            Rect(300, 200, 200, 400) },
        // Half a gap off every inner edge, the margin off every outer one.
        RegionCase { "leftHalfWithGaps", Rect(0, 0, 1920, 1080), region(1, 2, { 0, 0 }, { 0, 0 }),
            Rect(16, 16, 939, 1048), { 10, 16 } },
        RegionCase { "rightHalfWithGaps", Rect(0, 0, 1920, 1080), region(1, 2, { 0, 1 }, { 0, 1 }),
            Rect(965, 16, 939, 1048), { 10, 16 } },
        RegionCase { "middleOf3x3HasOnlyInnerEdges", Rect(0, 0, 900, 900), region(3, 3, { 1, 1 }, { 1, 1 }),
            Rect(305, 305, 290, 290), { 10, 20 } },
        RegionCase { "gapWithoutMargin", laptop, region(2, 2, { 0, 0 }, { 0, 0 }), Rect(0, 441.5, 716, 433.5),
            { 8, 0 } },
        RegionCase { "wholeGridKeepsOnlyTheMargin", laptop, region(2, 2, { 0, 0 }, { 1, 1 }),
            Rect(16, 16, 1408, 843), { 10, 16 } },
        RegionCase { "oddGapSplitsInHalves", Rect(-1920, 0, 1920, 1080), region(1, 2, { 0, 1 }, { 0, 1 }),
            Rect(-957.5, 0, 957.5, 1080), { 5, 0 } },
        RegionCase { "noRoomLeftIsEmptyNotNegative", Rect(0, 0, 80, 80), region(8, 8, { 0, 0 }, { 0, 0 }),
            Rect(64, 102, 0, 0), { 64, 64 } }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PlacementGeometry, NeighbouringBlocksAreExactlyOneGapApart)
{
    const Rect visible(13.25, 7.5, 1917.3, 1043.9);
    for (const PlacementGaps gaps : { PlacementGaps {}, PlacementGaps { 10, 16 }, PlacementGaps { 7, 3 } }) {
        for (qint64 n = 2; n <= 8; ++n) {
            for (qint64 i = 0; i + 1 < n; ++i) {
                const Rect left = region(n, n, { 0, 0 }, { 0, i }).appKitFrame(visible, gaps);
                const Rect right = region(n, n, { 0, i + 1 }, { 0, n - 1 }).appKitFrame(visible, gaps);
                EXPECT_NEAR(right.minX() - left.maxX(), gaps.tileGap, 1e-9) << n << ' ' << i;
                EXPECT_NEAR(left.minX() - visible.minX(), gaps.screenMargin, 1e-9);
                EXPECT_NEAR(visible.maxX() - right.maxX(), gaps.screenMargin, 1e-9);
                const Rect upper = region(n, n, { 0, 0 }, { i, 0 }).appKitFrame(visible, gaps);
                const Rect lower = region(n, n, { i + 1, 0 }, { n - 1, 0 }).appKitFrame(visible, gaps);
                EXPECT_NEAR(upper.minY() - lower.maxY(), gaps.tileGap, 1e-9) << n << ' ' << i;
            }
        }
    }
}

TEST(PlacementGeometry, FlipMirrorsAboutThePrimaryScreenTop)
{
    const Rect primary(0, 0, 1440, 900);
    const Rect appKit(0, 437.5, 720, 437.5);
    const Rect accessibility = flippedFrame(appKit, primary);
    EXPECT_EQ(accessibility, Rect(0, 25, 720, 437.5));
    EXPECT_EQ(flippedFrame(accessibility, primary), appKit);

    // Screens left of or below the primary keep their negative coordinates; x never changes.
    EXPECT_EQ(flippedFrame(Rect(-1920, -200, 100, 100), primary), Rect(-1920, 1000, 100, 100));
    // A negative size comes back normalised.
    EXPECT_EQ(flippedFrame(Rect(100, 100, -50, -50), primary), Rect(50, 800, 50, 50));
    EXPECT_TRUE(flippedFrame(Rect::null(), primary).isNull());
}

struct ConstrainCase {
    const char* name;
    Rect bounds;
    Rect frame;
    Point expectedOrigin;
};

class ConstrainedFrame : public ::testing::TestWithParam<ConstrainCase> { };

TEST_P(ConstrainedFrame, MovesInsideAndKeepsTheSize)
{
    const Rect result = constrainedFrame(GetParam().bounds, GetParam().frame);
    EXPECT_EQ(result.origin, GetParam().expectedOrigin);
    EXPECT_EQ(result.size, GetParam().frame.standardized().size);
}

INSTANTIATE_TEST_SUITE_P(PlacementGeometry, ConstrainedFrame,
    ::testing::Values(ConstrainCase { "overhangingRightAndBottom", laptop, Rect(1300, -50, 600, 400), { 840, 0 } },
        ConstrainCase { "alreadyInside", laptop, Rect(10, 20, 600, 400), { 10, 20 } },
        ConstrainCase { "widerThanBoundsGoesLeft", laptop, Rect(300, 100, 1600, 400), { 0, 100 } },
        ConstrainCase { "tallerThanBoundsGoesToTheBottom", laptop, Rect(10, 500, 400, 1000), { 10, 0 } },
        ConstrainCase { "largerBothWays", Rect(-1920, 40, 1920, 1000), Rect(-100, 900, 2000, 1200), { -1920, 40 } },
        ConstrainCase { "exactFit", laptop, Rect(5, 5, 1440, 875), { 0, 0 } }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
