#include "content/combat_rules.h"

#include <gtest/gtest.h>

#include "loader_fixture.h"

namespace {

using loadertest::LoaderTest;
using CombatRulesTest = LoaderTest;

TEST_F(CombatRulesTest, MissingFileGivesDefaultsAndAnEmptyErrorFile) {
    content::CombatRules rules = content::loadCombatRules(content());
    EXPECT_EQ(rules, content::CombatRules{});
    EXPECT_EQ(rules.heavyCost, 24);
    EXPECT_EQ(rules.maximum, 100);
    EXPECT_DOUBLE_EQ(rules.dodgeSpeed, 12.0);
    EXPECT_EQ(errors("combat_errors.txt"), "");
}

TEST_F(CombatRulesTest, ValidFileReplacesTheValuesItNames) {
    write("combat_rules.json",
          R"({"heavy_multiplier": 2.5, "dodge_ticks": 6, "sprint_cost": 4.5, "melee_cost": "30",
              "maximum": 1000, "heavy_cost": 100, "guard_stun_ticks": 1, "block_cost": 20})");
    write("combat_errors.txt", "stale line\n");
    content::CombatRules rules = content::loadCombatRules(content());
    EXPECT_DOUBLE_EQ(rules.heavyMultiplier, 2.5);
    EXPECT_EQ(rules.dodgeTicks, 6);
    EXPECT_DOUBLE_EQ(rules.sprintCost, 4.5);
    EXPECT_EQ(rules.meleeCost, 12) << "a string is no number and keeps the default";
    EXPECT_EQ(rules.maximum, 1000);
    EXPECT_EQ(rules.heavyCost, 100);
    EXPECT_EQ(rules.guardStunTicks, 1);
    EXPECT_DOUBLE_EQ(rules.blockCost, 20.0);
    EXPECT_EQ(rules.quickWindupTicks, 3);
    EXPECT_EQ(errors("combat_errors.txt"), "") << "the error file is emptied at every load";
}

TEST_F(CombatRulesTest, AnyFaultWritesItsMessageAloneAndRestoresEveryDefault) {
    const struct {
        const char* json;
        const char* line;
    } cases[] = {
        {R"({"quick_windup_ticks": 10, "heavy_windup_ticks": 10})", "Invalid heavy attack timing/cost"},
        {R"({"quick_recovery_ticks": 18})", "Invalid heavy attack timing/cost"},
        // The heavy attack is checked before the action costs: the default heavy cost 24 already
        // exceeds a maximum of 20.
        {R"({"maximum": 20})", "Invalid heavy attack timing/cost"},
        {R"({"maximum": 20, "heavy_cost": 20})", "Combat action cost exceeds maximum"},
        // The maximum read before the fault is dropped with it.
        {R"({"maximum": 30, "melee_cost": 31})", "Combat action cost exceeds maximum"},
        {R"({"dodge_ticks": 4.5})", "Invalid combat setting: dodge_ticks"},
        {R"({"heavy_multiplier": 1.0, "dodge_ticks": 11})", "Invalid combat setting: heavy_multiplier"},
        {R"({"guard_stun_ticks": 0, "heavy_cost": 0})", "Invalid combat setting: heavy_cost"},
        {R"({"heavy_cost": 1e300})", "Invalid combat setting: heavy_cost"},
        {R"({"heavy_cost": 30,})", "Expected JSON string"},
        {"", "Expected JSON value"},
    };
    for (const auto& c : cases) {
        write("combat_rules.json", c.json);
        content::CombatRules rules = content::loadCombatRules(content());
        EXPECT_EQ(rules, content::CombatRules{}) << c.json;
        EXPECT_EQ(errors("combat_errors.txt"), std::string(c.line) + "\n") << c.json;
    }
}

}  // namespace
