#include "game/progression.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using adventure::kMaxLevel;

// Experience from level 1 to the top: the sum of level x 40 + 60 over levels 1..49.
constexpr uint32_t kToTheTop = 51940;

TEST(Progression, TheLevelRisesExactlyWhenItsCostIsPaid) {
    struct Case {
        uint32_t amount;
        uint32_t level, experience;
    };
    const Case cases[] = {
        {99, 1, 99},                        // one short of level 2
        {100, 2, 0},                        // level 1 costs 100
        {239, 2, 139},                      // level 2 costs 140
        {240, 3, 0},
        {kToTheTop - 1, 49, 2019},          // level 49 costs 2020
        {kToTheTop, kMaxLevel, 0},
        {kToTheTop + 5000, kMaxLevel, 5000},  // the top level keeps what it earns
    };
    for (const Case& c : cases) {
        Progression p;
        EXPECT_EQ(adventure::addExperience(p, static_cast<int32_t>(c.amount)), c.level - 1) << c.amount;
        EXPECT_EQ(p.level, c.level) << c.amount;
        EXPECT_EQ(p.experience, c.experience) << c.amount;
        EXPECT_EQ(adventure::totalExperience(p), c.amount);
    }
}

TEST(Progression, ExperienceAddsUpAcrossCallsAndRefusesNothingToAdd) {
    Progression p;
    EXPECT_EQ(adventure::addExperience(p, 60), 0u);
    EXPECT_EQ(adventure::addExperience(p, 0), 0u);
    EXPECT_EQ(adventure::addExperience(p, -500), 0u);
    EXPECT_EQ(p.experience, 60u);
    EXPECT_EQ(adventure::addExperience(p, 40), 1u);
    EXPECT_EQ(p.level, 2u);

    Progression top{kMaxLevel, std::numeric_limits<uint32_t>::max() - 5, {}, {}};
    EXPECT_EQ(adventure::addExperience(top, 100), 0u);
    EXPECT_EQ(top.experience, std::numeric_limits<uint32_t>::max()) << "saturates at the top level";
}

TEST(Progression, SkillLevelsStepEvery400UpToLevel20) {
    struct Case {
        int32_t amount;
        uint32_t level, progress;
    };
    const Case cases[] = {{399, 0, 399}, {400, 1, 0},   {799, 1, 399},  {800, 2, 0},
                          {7999, 19, 399}, {8000, 20, 400}, {8400, 20, 400}, {1'000'000, 20, 400}};
    for (const Case& c : cases) {
        Progression p;
        ASSERT_TRUE(adventure::addSkillExperience(p, 2, c.amount));
        EXPECT_EQ(p.skills[2], c.level) << c.amount;
        EXPECT_EQ(p.skillExperience[2], static_cast<uint32_t>(c.amount));
        EXPECT_EQ(adventure::skillLevelProgress(p.skillExperience[2]), c.progress) << c.amount;
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

TEST(Progression, SkillExperienceSaturatesAndTheHealthMaximumFollowsTheFirstSkill) {
    Progression p;
    p.skillExperience[0] = std::numeric_limits<uint32_t>::max() - 5;
    ASSERT_TRUE(adventure::addSkillExperience(p, 0, 100));
    EXPECT_EQ(p.skillExperience[0], std::numeric_limits<uint32_t>::max());
    EXPECT_EQ(adventure::maxHealth(p), 20 + 2 * 20);  // the top skill level
    Progression q;
    adventure::addSkillExperience(q, 0, 620);
    EXPECT_EQ(adventure::maxHealth(q), 22);
}

}  // namespace
