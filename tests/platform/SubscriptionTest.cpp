#include "platform/Subscription.h"

#include <gtest/gtest.h>

using namespace gridlume;

TEST(Subscription, CancelsExactlyOnceWhateverEndsIt)
{
    int cancelled = 0;
    {
        Subscription a([&] { ++cancelled; });
        Subscription b = std::move(a);
        EXPECT_FALSE(a.isActive());
        EXPECT_TRUE(b.isActive());
        b.cancel();
        b.cancel();
        EXPECT_EQ(cancelled, 1);
    }
    EXPECT_EQ(cancelled, 1);

    {
        Subscription c([&] { ++cancelled; });
        c = Subscription([&] { cancelled += 10; });
        EXPECT_EQ(cancelled, 2); // assigning over a live subscription ends the old one
    }
    EXPECT_EQ(cancelled, 12);
}
