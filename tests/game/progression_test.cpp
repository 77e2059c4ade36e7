#include "game/progression.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <set>
#include <string>


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

TEST(Progression, NothingToAddIsRefusedAndTheTopLevelSaturates) {
    Progression p;
    EXPECT_EQ(adventure::addExperience(p, 0) + adventure::addExperience(p, -500), 0u);
    EXPECT_EQ(p.experience, 0u);
    Progression top{kMaxLevel, std::numeric_limits<uint32_t>::max() - 5, {}, {}};
    EXPECT_EQ(adventure::addExperience(top, 100), 0u);
    EXPECT_EQ(top.experience, std::numeric_limits<uint32_t>::max());
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

namespace {

TEST(Exploration, RegionsAre128BlocksOnASide) {
    const struct {
        int32_t x;
        int32_t region;
    } rows[] = {{0, 0}, {127, 0}, {128, 1}, {-1, -1}, {-128, -1}, {-129, -2}, {INT32_MIN, -16777216}};
    for (const auto& row : rows) {
        EXPECT_EQ(adventure::regionOf(row.x, 5).first, row.region) << row.x;
        EXPECT_EQ(adventure::regionOf(5, row.x).second, row.region) << row.x;
    }
}

TEST(Exploration, EachRegionAndBiomePaysOnce) {
    const content::RpgRules rewards{25, 5, 12, 30};
    Progression p;
    const struct {
        ExploredRegion region;
        const char* biome;
        int32_t reward;
    } steps[] = {
        {{"core:overworld", 0, 0}, "plains", 42},  // both new
        {{"core:overworld", 0, 0}, "plains", 0},
        {{"core:overworld", 1, 0}, "plains", 12},  // a new region of a known biome
        {{"core:overworld", 1, 0}, "forest", 30},
        {{"core:ash", 0, 0}, "plains", 12},        // the same square of another dimension
        {{"core:ash", 0, 0}, "", 0},               // no biome, nothing recorded
        {{"", 5, 5}, "desert", 30},                // no dimension: only the biome
    };
    for (const auto& step : steps)
        EXPECT_EQ(adventure::noteExplored(p, step.region, step.biome, rewards), step.reward)
            << std::get<0>(step.region) << " " << std::get<1>(step.region) << " " << step.biome;
    EXPECT_EQ(p.exploredRegions.size(), 3u);
    EXPECT_EQ(p.discoveredBiomes, (std::set<std::string>{"desert", "forest", "plains"}));
}

TEST(Exploration, TheRecordStopsGrowingAtItsLimits) {
    const content::RpgRules rewards{25, 5, 12, 30};
    Progression p;
    for (int32_t k = 0; k + 1 < static_cast<int32_t>(adventure::kMaxExploredRegions); ++k)
        p.exploredRegions.emplace("d:x", k, 0);
    for (uint32_t k = 0; k + 1 < adventure::kMaxDiscoveredBiomes; ++k) p.discoveredBiomes.insert("b" + std::to_string(k));
    EXPECT_EQ(adventure::noteExplored(p, {"d:x", -1, 0}, "last", rewards), 42) << "the last that fit";
    EXPECT_EQ(adventure::noteExplored(p, {"d:x", -2, 0}, "over", rewards), 0);
    EXPECT_EQ(p.exploredRegions.size(), adventure::kMaxExploredRegions);
    EXPECT_EQ(p.discoveredBiomes.size(), adventure::kMaxDiscoveredBiomes);
    const std::string longest(adventure::kMaxExplorationIdLength, 'b');
    Progression q;
    EXPECT_EQ(adventure::noteExplored(q, {longest, 0, 0}, longest, rewards), 42);
    EXPECT_EQ(adventure::noteExplored(q, {longest + "b", 0, 0}, longest + "b", rewards), 0) << "an over-long id";
}

}  // namespace
