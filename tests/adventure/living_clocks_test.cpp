#include "adventure/living_clocks.h"

#include <gtest/gtest.h>

namespace {

TEST(LivingClocks, AClockStartsAgainOnTheStepItReachesItsInterval) {
    const struct {
        int32_t interval, before, after;
    } cases[] = {
        {1200, 0, 1},
        {1200, 1198, 1199},
        {1200, 1199, 0},
        {1200, 479999, 0},  // saved under a longer interval than the rules now give
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.before << " of " << c.interval);
        content::LivingWorldRules rules;
        rules.raidTicks = rules.caravanTicks = rules.marketTicks = c.interval;
        LivingClocks clocks{c.before, c.before, c.before};
        adventure::stepLivingClocks(clocks, rules);
        EXPECT_EQ(clocks.raid, c.after);
        EXPECT_EQ(clocks.caravan, c.after);
        EXPECT_EQ(clocks.market, c.after);
    }
}

}  // namespace
