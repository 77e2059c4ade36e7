#include "content/living_world.h"

#include <gtest/gtest.h>

#include <tuple>

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
    EXPECT_EQ(std::tie(rules.enabled, rules.raidTicks, rules.securityDiscount), std::tuple(false, 12000, 10));
    EXPECT_FALSE(std::filesystem::exists(content() / "living_world_errors.txt"));

    write("living_world.json", "{}");
    rules = content::loadLivingWorld(content());
    EXPECT_EQ(std::tie(rules.enabled, rules.warningTicks, rules.caravanTicks, rules.marketTicks, rules.stockCapacity),
              std::tuple(true, 200, 6000, 1200, 64));
    EXPECT_TRUE(rules.factions.empty() && rules.territories.empty());

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
    EXPECT_EQ(std::tie(rules.raidTicks, rules.warningTicks, rules.caravanTicks, rules.marketTicks,
                       rules.stockCapacity, rules.securityDiscount),
              std::tuple(1200, 1200, 480000, 1200, 4096, 0));
    ASSERT_EQ(rules.factions.size(), 2u);
    const content::LivingFaction &guild = rules.factions[0], &other = rules.factions[1];
    EXPECT_EQ(std::tie(guild.id, guild.name, guild.relation), std::tuple("core:guild.North-1", "Гильдия", -100));
    EXPECT_EQ(std::tie(other.name, other.relation), std::tuple("", 0));
    ASSERT_EQ(rules.territories.size(), 2u);
    const content::LivingTerritory &mine = rules.territories[0], &fort = rules.territories[1];
    EXPECT_EQ(std::tie(mine.structure, mine.kind, mine.productionTicks, mine.amount),
              std::tuple("core:mine", "mine", 20, 64));
    EXPECT_EQ(std::tie(fort.kind, fort.productionTicks, fort.amount), std::tuple("outpost", 1200, 1));
}

TEST_F(LivingWorldTest, EveryFaultEndsTheLoad) {
    const std::string mine = R"({"territories": [{"structure": "core:mine", "kind": "mine")";
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
        {R"({"factions": [{"id": "core:a", "name": ")" + std::string(113, 'n') + R"("}]})",
         "Invalid adventure text: name"},
        {R"({"territories": [{"structure": "core:mine", "kind": "farm"}]})", "Invalid living territory"},
        {mine + R"(}, {"structure": "core:mine", "kind": "outpost"}]})", "Invalid living territory"},
        {R"({"territories": [{"structure": "", "kind": "mine"}]})", "Invalid living territory"},
        {mine + R"(, "name": "a\nb"}]})", "Invalid adventure text: name"},
        {mine + R"(, "production_ticks": 19}]})", "Invalid adventure value: production_ticks"},
        {mine + R"(, "amount": 65}]})", "Invalid adventure value: amount"},
        {R"({"raid_ticks": 1200)", "Unexpected end of JSON"},
    };
    for (const auto& c : cases) {
        write("living_world.json", c.json);
        EXPECT_EQ(failureOf<std::exception>([&] { content::loadLivingWorld(content()); }), c.message)
            << c.json;
    }
}

// Every number, count and length of the file at its limit and one past it.
TEST_F(LivingWorldTest, EachLimitFromBothSides) {
    const auto territories = [](int count, const std::string& extra = "") {
        std::string list;
        for (int i = 0; i < count; ++i) {
            list += std::string(i ? "," : "") + R"({"structure": "test:s)" + std::to_string(i) +
                    R"(", "kind": "mine")" + extra + "}";
        }
        return R"("territories": [)" + list + "]";
    };
    const auto name = [](std::size_t bytes) { return R"(, "name": ")" + std::string(bytes, 'n') + "\""; };
    const std::string id100 = "test:" + std::string(95, 'i');
    std::vector<std::pair<std::string, std::string>> cases = {
        {R"({"factions": [)" + factions(8) + "]}", ""},
        {R"({"factions": [)" + factions(9) + "]}", "Invalid living faction"},
        {R"({"factions": [{"id": ")" + id100 + R"("}]})", ""},
        {R"({"factions": [{"id": ")" + id100 + R"(i"}]})", "Invalid living faction"},
        {R"({"factions": [{"id": "core:a")" + name(112) + "}]}", ""},
        {"{" + territories(32, name(112)) + "}", ""},
        {R"({"factions": [)" + factions(8) + "], " + territories(33) + "}", "Invalid living territory"},
        {"{" + territories(1, name(113)) + "}", "Invalid adventure text: name"},
        {R"({"territories": [{"structure": ")" + id100 + R"(", "kind": "mine"}]})", ""},
        {R"({"territories": [{"structure": ")" + id100 + R"(i", "kind": "mine"}]})",
         "Invalid living territory"},
    };
    const std::string faction = R"({"factions": [{"id": "core:a", )";
    const std::string territory = R"({"territories": [{"structure": "core:m", "kind": "mine", )";
    const struct {
        const char* key;
        int min, max;
        std::string prefix, suffix;  // around the member
    } values[] = {
        {"raid_ticks", 1200, 480000, "{", "}"},   {"warning_ticks", 100, 1200, "{", "}"},
        {"caravan_ticks", 400, 480000, "{", "}"}, {"market_ticks", 200, 48000, "{", "}"},
        {"stock_capacity", 1, 4096, "{", "}"},    {"security_discount", 0, 50, "{", "}"},
        {"relation", -100, 100, faction, "}]}"},  {"production_ticks", 20, 48000, territory, "}]}"},
        {"amount", 1, 64, territory, "}]}"},
    };
    for (const auto& v : values) {
        for (const auto& [value, accepted] :
             {std::pair{v.min, true}, {v.min - 1, false}, {v.max, true}, {v.max + 1, false}}) {
            cases.push_back({v.prefix + "\"" + v.key + "\": " + std::to_string(value) + v.suffix,
                             accepted ? "" : std::string("Invalid adventure value: ") + v.key});
        }
    }
    for (const auto& [json, message] : cases) {
        write("living_world.json", json);
        EXPECT_EQ(failureOf<std::exception>([&] { content::loadLivingWorld(content()); }),
                  message.empty() ? "(no failure)" : message)
            << json.substr(0, 100);
    }
}

TEST(AdventureText, OneLineTextsUpToTheirLength) {
    content::Json object =
        content::parseJsonText(R"({"name": "abc", "tab": "a\tb", "cr": "a\rb", "number": 5})");
    EXPECT_EQ(adventure::readText(object, "name", "x", 3), "abc");
    EXPECT_EQ(adventure::readText(object, "number", "fallback", 112), "fallback");
    EXPECT_EQ(adventure::readText(object, "missing", "", 112), "");
    for (const auto& [key, length] : {std::pair{"name", 2}, {"tab", 112}, {"cr", 112}}) {
        EXPECT_EQ(failureOf<std::exception>([&] { adventure::readText(object, key, "", length); }),
                  std::string("Invalid adventure text: ") + key);
    }
}

}  // namespace
