#include "game/progression.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(Progression, SkillLevelsStepAtEachMultipleOfTheLevelCost) {
    struct Case {
        int32_t amount;
        uint32_t level;
    };
    const Case cases[] = {{399, 0}, {400, 1}, {799, 1}, {800, 2}, {620, 1}, {1820, 4}};
    for (const Case& c : cases) {
        Progression p;
        ASSERT_TRUE(adventure::addSkillExperience(p, 2, c.amount));
        EXPECT_EQ(p.skills[2], c.level) << c.amount;
        EXPECT_EQ(p.skillExperience[2], static_cast<uint32_t>(c.amount));
    }
}

TEST(Progression, RefusedSkillsAndAmountsChangeNothing) {
    Progression p;
    EXPECT_FALSE(adventure::addSkillExperience(p, -1, 500));
    EXPECT_FALSE(adventure::addSkillExperience(p, 4, 500));
    EXPECT_FALSE(adventure::addSkillExperience(p, 0, 0));
    EXPECT_FALSE(adventure::addSkillExperience(p, 0, -400));
    EXPECT_TRUE(adventure::addSkillExperience(p, 3, 1));
    EXPECT_EQ(p.skillExperience, (std::array<uint32_t, 4>{0, 0, 0, 1}));
}

TEST(Progression, ExperienceSaturatesAndTheHealthMaximumFollowsTheFirstSkill) {
    Progression p;
    p.skillExperience[0] = std::numeric_limits<uint32_t>::max() - 5;
    ASSERT_TRUE(adventure::addSkillExperience(p, 0, 100));
    EXPECT_EQ(p.skillExperience[0], std::numeric_limits<uint32_t>::max());
    EXPECT_EQ(adventure::maxHealth(p), 20 + 2 * 1000);  // capped level
    Progression q;
    adventure::addSkillExperience(q, 0, 620);
    EXPECT_EQ(adventure::maxHealth(q), 22);
}

}  // namespace
