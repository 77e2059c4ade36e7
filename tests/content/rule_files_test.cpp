#include "content/rule_files.h"

#include <gtest/gtest.h>

#include <tuple>

#include "loader_fixture.h"

namespace {

using loadertest::LoaderTest;
using RuleFilesTest = LoaderTest;

content::RpgRules rpg(std::int32_t hostile, std::int32_t passive, std::int32_t region, std::int32_t biome) {
    return content::RpgRules{hostile, passive, region, biome};
}

TEST_F(RuleFilesTest, RpgRulesDefaultToTheBuiltInRewards) {
    EXPECT_EQ(content::loadRpgRules(content()), rpg(25, 5, 12, 25));
    EXPECT_EQ(errors("rpg_errors.txt"), "");
    write("rpg_rules.json", R"({"biome_xp": 40, "region_xp": "7"})");
    EXPECT_EQ(content::loadRpgRules(content()), rpg(25, 5, 12, 40));
    write("rpg_rules.json", R"({"hostile_xp": 0, "passive_xp": 10000, "region_xp": 1, "biome_xp": 2})");
    EXPECT_EQ(content::loadRpgRules(content()), rpg(0, 10000, 1, 2));
    EXPECT_EQ(errors("rpg_errors.txt"), "");
}

TEST_F(RuleFilesTest, OneBadRewardBringsBackAllDefaults) {
    const struct {
        const char* json;
        const char* line;
    } cases[] = {
        {R"({"hostile_xp": 30, "passive_xp": 10001})", "RPG reward must be an integer in 0..10000"},
        {R"({"hostile_xp": 30, "biome_xp": 2.5})", "RPG reward must be an integer in 0..10000"},
        {R"({"region_xp": -1})", "RPG reward must be an integer in 0..10000"},
        {R"({"hostile_xp": 30)", "Unexpected end of JSON"},
    };
    for (const auto& c : cases) {
        write("rpg_rules.json", c.json);
        EXPECT_EQ(content::loadRpgRules(content()), rpg(25, 5, 12, 25)) << c.json;
        EXPECT_EQ(errors("rpg_errors.txt"), std::string(c.line) + "\n") << c.json;
    }
}

TEST_F(RuleFilesTest, FurnaceRulesKeepEveryGoodEntry) {
    write("furnace_rules.json", R"({
        "recipes": [
            {"input": "core:iron_ore", "result": "test:stick", "ticks": 200},
            {"input": "core:iron_ore", "result": "test:seeds", "ticks": 100},
            {"input": "core:sand", "result": "core:bedrock", "ticks": 100},
            {"input": "core:gold_ore", "result": "test:stick", "ticks": 72001},
            {"input": "test:none", "result": "test:stick", "ticks": 1},
            {"input": "core:coal_ore", "result": "test:seeds"},
            {"input": "core:sand", "result": "test:seeds", "ticks": 72000}
        ],
        "fuels": [
            {"id": "test:stick", "ticks": 0},
            {"id": "core:oak_log", "ticks": 300},
            {"id": "core:oak_log", "ticks": 100},
            {"id": "test:stick", "ticks": 1}
        ]})");
    content::FurnaceRules rules = content::loadFurnaceRules(content());
    ASSERT_EQ(rules.recipes.size(), 2u);
    const content::SmeltingRecipe &iron = rules.recipes[0], &sand = rules.recipes[1];
    EXPECT_EQ(std::tie(iron.input, iron.result, iron.ticks), std::tuple(10, loadertest::stick, 200));
    EXPECT_EQ(std::tie(sand.input, sand.result, sand.ticks), std::tuple(4, loadertest::seeds, 72000));
    EXPECT_EQ(rules.fuels, (std::map<std::uint8_t, std::int32_t>{{7, 300}, {loadertest::stick, 1}}));
    const std::string invalid = "Invalid or duplicate smelting recipe\n", ticks = "ticks must be an integer 1..72000\n";
    EXPECT_EQ(errors("furnace_errors.txt"), invalid + invalid + ticks +
                                                "Unknown or unavailable resource: test:none\n" + ticks + ticks +
                                                "Duplicate fuel\n");
}

TEST_F(RuleFilesTest, MissingOrBrokenRuleFilesGiveEmptyRulesAndOneLine) {
    EXPECT_TRUE(content::loadFurnaceRules(content()).recipes.empty());
    EXPECT_EQ(errors("furnace_errors.txt"),
              "Cannot open " + (content() / "furnace_rules.json").string() + "\n");
    EXPECT_TRUE(content::loadFoodRules(content()).empty());
    EXPECT_EQ(errors("food_errors.txt"), "Cannot open " + (content() / "food_rules.json").string() + "\n");
    write("furnace_rules.json", R"({"fuels": [{"id": "test:stick", "ticks": 1}] x})");
    EXPECT_TRUE(content::loadFurnaceRules(content()).fuels.empty());
    EXPECT_EQ(errors("furnace_errors.txt"), "Expected comma in object\n");
}

TEST_F(RuleFilesTest, FoodRulesKeepEveryGoodEntry) {
    write("food_rules.json", R"({"foods": [
        {"id": "test:seeds", "nutrition": 20},
        {"id": "test:stick", "nutrition": 21},
        {"id": "test:seeds", "nutrition": 2},
        {"id": "test:flask", "nutrition": 0.5},
        {"id": "test:none", "nutrition": 1},
        {"id": "test:tonic"},
        "core:stone",
        {"id": "core:grass", "nutrition": 1}
    ]})");
    EXPECT_EQ(content::loadFoodRules(content()), (content::FoodRules{{1, 1}, {loadertest::seeds, 20}}));
    const std::string invalid = "Invalid or duplicate food (nutrition must be 1..20)\n";
    EXPECT_EQ(errors("food_errors.txt"), invalid + invalid + invalid + "Unknown or unavailable resource: test:none\n" +
                                             invalid + "Unknown or unavailable resource: \n");
}

}  // namespace
