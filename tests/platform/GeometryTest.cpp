#include "platform/Geometry.h"

#include <gtest/gtest.h>

using namespace gridlume;

namespace {

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
        IntersectCase { "negativeSize", Rect(10, 10, -10, -10), Rect(5, 5, 10, 10), true, Rect(5, 5, 5, 5) },
        IntersectCase { "withNull", Rect(0, 0, 10, 10), Rect::null(), false, Rect::null() },
        IntersectCase { "contained", Rect(-1920, 0, 1920, 1080), Rect(-1000, 100, 10, 10), true,
            Rect(-1000, 100, 10, 10) }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
