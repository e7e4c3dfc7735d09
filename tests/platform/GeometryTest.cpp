#include "platform/Geometry.h"
#include "platform/Screens.h"

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

// Two monitors side by side, the primary one left and taller: the second is raised by the
// difference in y up; the primary one on the right puts the other at negative x; a top bar's
// work area ends at the primary monitor's top.
TEST(Geometry, DesktopScreensAreFlippedAboutThePrimaryScreen)
{
    const Rect left(0, 0, 1280, 1024);
    const Rect right(1280, 0, 1024, 768);
    const auto frames = [](const QList<Screen>& screens) {
        QList<std::pair<Rect, Rect>> result;
        for (const Screen& screen : screens)
            result.append({ screen.frame, screen.visibleFrame });
        return result;
    };
    EXPECT_EQ(frames(windowSystemScreens({ { 1, left, Rect(0, 24, 1280, 1000), "A" }, { 2, right, right, "B" } })),
        (QList<std::pair<Rect, Rect>> { { Rect(0, 0, 1280, 1024), Rect(0, 0, 1280, 1000) },
            { Rect(1280, 256, 1024, 768), Rect(1280, 256, 1024, 768) } }));
    EXPECT_EQ(frames(windowSystemScreens({ { 2, right, right, "B" }, { 1, left, left, "A" } })),
        (QList<std::pair<Rect, Rect>> { { Rect(0, 0, 1024, 768), Rect(0, 0, 1024, 768) },
            { Rect(-1280, -256, 1280, 1024), Rect(-1280, -256, 1280, 1024) } }))
        << "primary on the right";
    EXPECT_TRUE(windowSystemScreens({}).isEmpty());
}

} // namespace
