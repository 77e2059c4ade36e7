#include "content/living_world.h"

#include <gtest/gtest.h>

#include "content/adventure_text.h"
#include "content/json.h"
#include "loader_fixture.h"
#include "support/failure.h"

namespace {

using loadertest::LoaderTest;
using testsupport::failureOf;
using LivingWorldTest = LoaderTest;

std::string factions(int count) {
    std::string list;
    for (int i = 0; i < count; ++i) {
        list += std::string(i ? "," : "") + R"({"id": "test:f)" + std::to_string(i) + R"("})";
    }
    return list;
}

TEST_F(LivingWorldTest, WithoutTheFileTheLivingWorldIsOff) {
    content::LivingWorldRules rules = content::loadLivingWorld(content());
    EXPECT_FALSE(rules.enabled);
    EXPECT_EQ(rules.raidTicks, 12000);
    EXPECT_EQ(rules.securityDiscount, 10);
    EXPECT_FALSE(std::filesystem::exists(content() / "living_world_errors.txt"));

    write("living_world.json", "{}");
    rules = content::loadLivingWorld(content());
    EXPECT_TRUE(rules.enabled);
    EXPECT_EQ(rules.warningTicks, 200);
    EXPECT_EQ(rules.caravanTicks, 6000);
    EXPECT_EQ(rules.marketTicks, 1200);
    EXPECT_EQ(rules.stockCapacity, 64);
    EXPECT_TRUE(rules.factions.empty());
    EXPECT_TRUE(rules.territories.empty());

    write("living_world.json", R"({"enabled": "no"})");
    EXPECT_TRUE(content::loadLivingWorld(content()).enabled);
    write("living_world.json", R"({"enabled": false})");
    EXPECT_FALSE(content::loadLivingWorld(content()).enabled);
}

TEST_F(LivingWorldTest, ReadsSettingsFactionsAndTerritories) {
    write("living_world.json", R"({
        "raid_ticks": 1200, "warning_ticks": 1200, "caravan_ticks": 480000, "market_ticks": "5",
        "stock_capacity": 4096, "security_discount": 0,
        "factions": [{"id": "core:guild.North-1", "name": "Гильдия", "relation": -100}, {"id": "core:b"}],
        "territories": [{"structure": "core:mine", "kind": "mine", "name": "", "production_ticks": 20, "amount": 64},
                        {"structure": "core:fort", "kind": "outpost"}]})");
    content::LivingWorldRules rules = content::loadLivingWorld(content());
    EXPECT_EQ(rules.raidTicks, 1200);
    EXPECT_EQ(rules.warningTicks, 1200);
    EXPECT_EQ(rules.caravanTicks, 480000);
    EXPECT_EQ(rules.marketTicks, 1200);
    EXPECT_EQ(rules.stockCapacity, 4096);
    EXPECT_EQ(rules.securityDiscount, 0);
    ASSERT_EQ(rules.factions.size(), 2u);
    EXPECT_EQ(rules.factions[0].id, "core:guild.North-1");
    EXPECT_EQ(rules.factions[0].name, "Гильдия");
    EXPECT_EQ(rules.factions[0].relation, -100);
    EXPECT_EQ(rules.factions[1].name, "");
    EXPECT_EQ(rules.factions[1].relation, 0);
    ASSERT_EQ(rules.territories.size(), 2u);
    EXPECT_EQ(rules.territories[0].structure, "core:mine");
    EXPECT_EQ(rules.territories[0].kind, "mine");
    EXPECT_EQ(rules.territories[0].productionTicks, 20);
    EXPECT_EQ(rules.territories[0].amount, 64);
    EXPECT_EQ(rules.territories[1].kind, "outpost");
    EXPECT_EQ(rules.territories[1].productionTicks, 1200);
    EXPECT_EQ(rules.territories[1].amount, 1);
}

TEST_F(LivingWorldTest, EveryFaultEndsTheLoad) {
    const std::string longName(113, 'n');
    const struct {
        std::string json;
        const char* message;
    } cases[] = {
        {R"({"raid_ticks": 1199})", "Invalid adventure value: raid_ticks"},
        {R"({"raid_ticks": 1e12})", "Invalid adventure value: raid_ticks"},
        {R"({"security_discount": 2.5})", "Invalid adventure value: security_discount"},
        {R"({"factions": [)" + factions(9) + "]}", "Invalid living faction"},
        {R"({"factions": [{"id": "nocolon"}]})", "Invalid living faction"},
        {R"({"factions": [{"id": "core:a"}, {"id": "core:a"}]})", "Invalid living faction"},
        {R"({"factions": [{"id": "core:a b"}]})", "Invalid living faction"},
        {R"({"factions": [{"id": "core:a", "relation": 101}]})", "Invalid adventure value: relation"},
        {R"({"factions": [{"id": "core:a", "name": ")" + longName + R"("}]})",
         "Invalid adventure text: name"},
        {R"({"territories": [{"structure": "core:mine", "kind": "farm"}]})", "Invalid living territory"},
        {R"({"territories": [{"structure": "core:mine", "kind": "mine"}, {"structure": "core:mine", "kind": "outpost"}]})",
         "Invalid living territory"},
        {R"({"territories": [{"structure": "", "kind": "mine"}]})", "Invalid living territory"},
        {R"({"territories": [{"structure": "core:mine", "kind": "mine", "name": "a\nb"}]})",
         "Invalid adventure text: name"},
        {R"({"territories": [{"structure": "core:mine", "kind": "mine", "production_ticks": 19}]})",
         "Invalid adventure value: production_ticks"},
        {R"({"territories": [{"structure": "core:mine", "kind": "mine", "amount": 65}]})",
         "Invalid adventure value: amount"},
        {R"({"raid_ticks": 1200)", "Unexpected end of JSON"},
    };
    for (const auto& c : cases) {
        write("living_world.json", c.json);
        EXPECT_EQ(failureOf<std::exception>([&] { content::loadLivingWorld(content()); }), c.message)
            << c.json;
    }
}

TEST_F(LivingWorldTest, AtMostThirtyTwoTerritories) {
    std::string list;
    for (int i = 0; i < 33; ++i) {
        list += std::string(i ? "," : "") + R"({"structure": "test:s)" + std::to_string(i) +
                R"(", "kind": "mine"})";
    }
    write("living_world.json", R"({"factions": [)" + factions(8) + R"(], "territories": [)" + list + "]}");
    EXPECT_EQ(failureOf<std::exception>([&] { content::loadLivingWorld(content()); }),
              "Invalid living territory");
}

TEST(AdventureText, OneLineTextsUpToTheirLength) {
    content::Json object =
        content::parseJsonText(R"({"name": "abc", "tab": "a\tb", "cr": "a\rb", "number": 5})");
    EXPECT_EQ(adventure::readText(object, "name", "x", 3), "abc");
    EXPECT_EQ(adventure::readText(object, "number", "fallback", 112), "fallback");
    EXPECT_EQ(adventure::readText(object, "missing", "", 112), "");
    EXPECT_EQ(failureOf<std::exception>([&] { adventure::readText(object, "name", "", 2); }),
              "Invalid adventure text: name");
    EXPECT_EQ(failureOf<std::exception>([&] { adventure::readText(object, "tab", "", 112); }),
              "Invalid adventure text: tab");
    EXPECT_EQ(failureOf<std::exception>([&] { adventure::readText(object, "cr", "", 112); }),
              "Invalid adventure text: cr");
}

}  // namespace
