#include "platform/Geometry.h"

#include <gtest/gtest.h>

using namespace gridlume;

namespace {

struct AccessorCase {
    const char* name;
    Rect rect;
    double minX, maxX, minY, maxY, width, height;
};

class RectAccessors : public ::testing::TestWithParam<AccessorCase> { };

TEST_P(RectAccessors, NormaliseNegativeSizes)
{
    const AccessorCase& c = GetParam();
    EXPECT_DOUBLE_EQ(c.rect.minX(), c.minX);
    EXPECT_DOUBLE_EQ(c.rect.maxX(), c.maxX);
    EXPECT_DOUBLE_EQ(c.rect.minY(), c.minY);
    EXPECT_DOUBLE_EQ(c.rect.maxY(), c.maxY);
    EXPECT_DOUBLE_EQ(c.rect.width(), c.width);
    EXPECT_DOUBLE_EQ(c.rect.height(), c.height);
}

INSTANTIATE_TEST_SUITE_P(Geometry, RectAccessors,
    ::testing::Values(AccessorCase { "positive", Rect(10, 20, 30, 40), 10, 40, 20, 60, 30, 40 },
        AccessorCase { "negativeWidth", Rect(10, 20, -30, 40), -20, 10, 20, 60, 30, 40 },
        AccessorCase { "negativeHeight", Rect(10, 20, 30, -40), 10, 40, -20, 20, 30, 40 },
        AccessorCase { "bothNegative", Rect(-5, -5, -10, -10), -15, -5, -15, -5, 10, 10 },
        AccessorCase { "fractional", Rect(0.5, 291.6666, 720.25, 291.6666), 0.5, 720.75, 291.6666, 583.3332, 720.25,
            291.6666 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Geometry, NullRectangleIsDistinctFromEmpty)
{
    EXPECT_TRUE(Rect::null().isNull());
    EXPECT_FALSE(Rect().isNull());
    EXPECT_FALSE(Rect::null() == Rect());
    EXPECT_TRUE(Rect::null() == Rect::null());
    EXPECT_TRUE(Rect::null().isEmpty());
}

struct IntersectCase {
    const char* name;
    Rect a, b;
    bool intersects;
    Rect common;
};

class RectIntersection : public ::testing::TestWithParam<IntersectCase> { };

TEST_P(RectIntersection, MatchesAreaOverlap)
{
    const IntersectCase& c = GetParam();
    EXPECT_EQ(c.a.intersects(c.b), c.intersects);
    EXPECT_EQ(c.b.intersects(c.a), c.intersects);
    EXPECT_EQ(c.a.intersected(c.b), c.common);
}

INSTANTIATE_TEST_SUITE_P(Geometry, RectIntersection,
    ::testing::Values(IntersectCase { "overlap", Rect(0, 0, 10, 10), Rect(5, 5, 10, 10), true, Rect(5, 5, 5, 5) },
        IntersectCase { "touchingEdges", Rect(0, 0, 10, 10), Rect(10, 0, 10, 10), false, Rect::null() },
        IntersectCase { "disjoint", Rect(0, 0, 10, 10), Rect(-30, -30, 5, 5), false, Rect::null() },
        IntersectCase { "negativeSize", Rect(10, 10, -10, -10), Rect(5, 5, 10, 10), true, Rect(5, 5, 5, 5) },
        IntersectCase { "withNull", Rect(0, 0, 10, 10), Rect::null(), false, Rect::null() },
        IntersectCase { "withEmpty", Rect(0, 0, 10, 10), Rect(5, 5, 0, 3), false, Rect::null() },
        IntersectCase { "contained", Rect(-1920, 0, 1920, 1080), Rect(-1000, 100, 10, 10), true,
            Rect(-1000, 100, 10, 10) }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
