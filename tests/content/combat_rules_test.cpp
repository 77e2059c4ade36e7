#include "content/combat_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <tuple>

#include "loader_fixture.h"

namespace {

using loadertest::LoaderTest;
using CombatRulesTest = LoaderTest;

TEST_F(CombatRulesTest, MissingFileGivesDefaultsAndAnEmptyErrorFile) {
    content::CombatRules rules = content::loadCombatRules(content());
    EXPECT_EQ(rules, content::CombatRules{});
    EXPECT_EQ(std::tie(rules.heavyCost, rules.maximum, rules.dodgeSpeed), std::tuple(24, 100, 12.0));
    EXPECT_EQ(errors("combat_errors.txt"), "");
}

TEST_F(CombatRulesTest, ValidFileReplacesTheValuesItNames) {
    write("combat_rules.json",
          R"({"heavy_multiplier": 2.5, "dodge_ticks": 6, "sprint_cost": 4.5, "melee_cost": "30",
              "maximum": 1000, "heavy_cost": 100, "guard_stun_ticks": 1, "block_cost": 20})");
    write("combat_errors.txt", "stale line\n");
    content::CombatRules rules = content::loadCombatRules(content());
    // The melee cost in a string is no number and keeps its default 12, as the quick windup keeps its 3.
    EXPECT_EQ(std::tie(rules.heavyMultiplier, rules.dodgeTicks, rules.sprintCost, rules.meleeCost, rules.maximum,
                       rules.heavyCost, rules.guardStunTicks, rules.blockCost, rules.quickWindupTicks),
              std::tuple(2.5, 6, 4.5, 12, 1000, 100, 1, 20.0, 3));
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

// Each setting at both bounds and just beyond each; the companions keep the cross checks satisfied.
TEST_F(CombatRulesTest, EverySettingAtItsBoundsFromBothSides) {
    const struct {
        const char* key;
        double min, max;
        bool integer;
        const char* companions;
    } settings[] = {
        {"heavy_cost", 1, 100, true, ""},
        {"quick_windup_ticks", 1, 20, true, R"("heavy_windup_ticks": 60, )"},
        {"heavy_windup_ticks", 2, 60, true, R"("quick_windup_ticks": 1, )"},
        {"quick_recovery_ticks", 2, 40, true, R"("heavy_recovery_ticks": 80, )"},
        {"heavy_recovery_ticks", 4, 80, true, R"("quick_recovery_ticks": 2, )"},
        {"heavy_multiplier", 1.1, 3.0, false, ""},
        {"maximum", 20, 1000, true, R"("heavy_cost": 20, "dodge_cost": 20, )"},
        {"regeneration", 1, 100, false, ""},
        {"regen_delay_ticks", 0, 200, true, ""},
        {"melee_cost", 1, 100, true, ""},
        {"bow_cost", 1, 100, true, ""},
        {"dodge_cost", 1, 100, true, ""},
        {"sprint_cost", 1, 100, false, ""},
        {"block_cost", 1, 20, false, ""},
        {"dodge_speed", 5, 20, false, ""},
        {"dodge_ticks", 2, 10, true, ""},
        {"guard_stun_ticks", 1, 100, true, ""},
    };
    for (const auto& s : settings) {
        // The nearest value outside a bound: the next whole number for whole-number settings.
        const auto beyond = [&](double bound, double direction) {
            return s.integer ? bound + direction : std::nextafter(bound, direction * HUGE_VAL);
        };
        for (const auto& [value, accepted] :
             {std::pair{s.min, true}, {beyond(s.min, -1), false}, {s.max, true}, {beyond(s.max, 1), false}}) {
            char number[40];
            std::snprintf(number, sizeof number, "%.17g", value);
            write("combat_rules.json",
                  std::string("{") + s.companions + "\"" + s.key + "\": " + number + "}");
            const content::CombatRules rules = content::loadCombatRules(content());
            EXPECT_EQ(errors("combat_errors.txt"),
                      accepted ? "" : std::string("Invalid combat setting: ") + s.key + "\n")
                << s.key << " " << number;
            EXPECT_EQ(rules == content::CombatRules{}, !accepted) << s.key << " " << number;
        }
    }
}

// The cross checks allow a cost equal to the maximum and a heavy move one tick longer than the quick one.
TEST_F(CombatRulesTest, CrossChecksAtTheirEdges) {
    write("combat_rules.json", R"({"maximum": 25, "quick_windup_ticks": 9, "quick_recovery_ticks": 17})");
    const content::CombatRules rules = content::loadCombatRules(content());
    EXPECT_EQ(errors("combat_errors.txt"), "");
    EXPECT_EQ(std::tie(rules.maximum, rules.quickWindupTicks, rules.quickRecoveryTicks),
              std::tuple(25, 9, 17));
    // The default heavy cost 24 passes a maximum of 24; the default dodge cost 25 does not.
    write("combat_rules.json", R"({"maximum": 24})");
    content::loadCombatRules(content());
    EXPECT_EQ(errors("combat_errors.txt"), "Combat action cost exceeds maximum\n");
}

}  // namespace
