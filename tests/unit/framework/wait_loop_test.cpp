#include "framework/wait_loop.h"

#include <gtest/gtest.h>

namespace gr {
namespace {

TEST(SplashChange, FollowsTheOpenPromptCount) {
    struct Case {
        int32_t lastSeen, now;
        SplashChange change;
    };
    const Case cases[] = {
        {0, 0, SplashChange::None}, {0, 1, SplashChange::Hide}, {1, 0, SplashChange::Show},
        {1, 2, SplashChange::None}, {2, 0, SplashChange::Show}, {0, 2, SplashChange::None},
        {2, 1, SplashChange::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplashChangeFor(c.lastSeen, c.now), c.change) << c.lastSeen << " -> " << c.now;
}

}  // namespace
}  // namespace gr
