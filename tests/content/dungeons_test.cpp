#include "content/dungeons.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "content/json.h"
#include "loader_fixture.h"
#include "support/failure.h"

namespace {

using testsupport::failureOf;

constexpr uint8_t chestId = 40;

class DungeonsTest : public loadertest::LoaderTest {
   protected:
    void SetUp() override {
        LoaderTest::SetUp();
        loadertest::addResource(chestId, "core:chest", true, true, false);
    }

    // A valid structure with members replaced or added by extra (a JSON member list).
    static content::Json structure(const std::string& extra) {
        content::Json object = content::parseJsonText(
            R"({"id": "test:tower", "name": "Tower",)"
            R"( "parts": [{"from": [0, 0, 0], "to": [3, 5, 3], "block": "core:stone"}]})");
        for (auto& [key, value] : content::parseJsonText("{" + extra + "}").members)
            object.members[key] = value;
        return object;
    }
    static std::string refusal(const std::string& extra) {
        return failureOf<std::exception>([&] { content::loadDungeons(structure(extra)); });
    }
};

const std::string cuboid = R"({"from": [0, 0, 0], "to": [1, 1, 1], "block": "core:stone"})";
const std::string chest = R"({"x": 0, "y": 1, "z": 0, "loot": "core:ruins"})";

std::string repeated(const std::string& item, int count) {
    std::string list;
    for (int i = 0; i < count; ++i) list += (i ? "," : "") + item;
    return list;
}

TEST_F(DungeonsTest, ReadsEveryPartOfAStructure) {
    const voxel::StructureRule rule = content::loadDungeons(content::parseJsonText(R"({
        "id": "test:crypt", "name": "Crypt", "dungeon": true, "spacing": 320, "chance": 0.25,
        "entrance_x": -4, "entrance_z": 6, "biomes": ["core:plains", "test:frost"],
        "parts": [{"from": [-5, -6, -5], "to": [5, 0, 5], "block": "core:air"},
                  {"from": [-5, -7, -5], "to": [5, -6, 5], "block": "test:farmland"}],
        "loot_chests": [{"x": 2, "y": -5, "z": -3, "loot": "core:crypt"},
                        {"x": 0, "y": -5, "z": 0, "block": "test:farmland", "loot": "core:bones"}],
        "traps": [{"x": 1, "y": -5, "z": 1, "kind": "arrow"}],
        "spawns": ["core:skeleton", {"mob": "core:boar", "x": 1, "y": -5, "z": 2, "count": 3}]})"));
    EXPECT_EQ(std::tie(rule.id, rule.name, rule.dungeon, rule.city, rule.spacing, rule.entranceX, rule.entranceZ),
              std::tuple("test:crypt", "Crypt", true, false, 320u, -4, 6));
    EXPECT_FLOAT_EQ(rule.chance, 0.25f);
    EXPECT_EQ(rule.biomes, (std::vector<std::string>{"core:plains", "test:frost"}));
    ASSERT_EQ(rule.parts.size(), 2u);
    EXPECT_EQ(std::tie(rule.parts[0].block, rule.parts[0].fromY), std::tuple(0, -6));
    EXPECT_EQ(std::tie(rule.parts[1].block, rule.parts[1].toX), std::tuple(loadertest::farmland, 5));
    ASSERT_EQ(rule.loot_chests.size(), 2u);
    const voxel::LootChest& first = rule.loot_chests[0];
    EXPECT_EQ(std::tie(first.block, first.x, first.y, first.lootTable), std::tuple(chestId, 2, -5, "core:crypt"));
    EXPECT_EQ(rule.loot_chests[1].block, loadertest::farmland);
    ASSERT_EQ(rule.traps.size(), 1u);
    EXPECT_EQ(rule.traps[0].kind, "arrow");
    ASSERT_EQ(rule.spawns.size(), 2u);
    EXPECT_EQ(std::tie(rule.spawns[0].mob, rule.spawns[0].count), std::tuple("core:skeleton", 1));
    EXPECT_EQ(std::tie(rule.spawns[1].mob, rule.spawns[1].z, rule.spawns[1].count), std::tuple("core:boar", 2, 3));
}

TEST_F(DungeonsTest, DefaultsAndCities) {
    const voxel::StructureRule plain = content::loadDungeons(structure(""));
    EXPECT_EQ(std::tie(plain.spacing, plain.parts[0].block), std::tuple(256u, 3));
    EXPECT_FLOAT_EQ(plain.chance, 0.5f);
    EXPECT_TRUE(plain.biomes.empty() && plain.spawns.empty());
    // A city is drawn by the city builder: it needs no cuboids, and its region is larger.
    const voxel::StructureRule city =
        content::loadDungeons(content::parseJsonText(R"({"id": "core:city", "name": "City", "city": true})"));
    EXPECT_EQ(std::tie(city.city, city.spacing), std::tuple(true, 384u));
    EXPECT_TRUE(city.parts.empty());
    EXPECT_EQ(content::loadDungeons(structure(R"("spacing": 64)")).spacing, 64u);
    EXPECT_EQ(content::loadDungeons(structure(R"("city": true, "spacing": 96)")).spacing, 96u);
    // A flag that is not a boolean reads as false.
    EXPECT_FALSE(content::loadDungeons(structure(R"("city": "yes")")).city);
}

// Every bound taken on its last accepted value and on the first refused one, spacing from every side.
TEST_F(DungeonsTest, EachLimitAtItsEdgeFromBothSides) {
    const std::string spawn = R"("core:boar")";
    const struct {
        std::string extra;
        std::string message;  // empty when the structure loads
    } rows[] = {
        {R"("name": ")" + std::string(112, 'n') + "\"", ""},
        {R"("name": ")" + std::string(113, 'n') + "\"", "Structure requires id and name"},
        {R"("entrance_x": 32, "entrance_z": -32)", ""},
        {R"("entrance_x": -33)", "entrance x outside range"},
        {R"("entrance_z": 33)", "entrance z outside range"},
        {R"("spacing": 4096)", ""},
        {R"("spacing": 4097)", "structure spacing outside range"},
        {R"("spacing": 64)", ""},
        {R"("spacing": 63)", "Structure spacing must be at least 64"},
        {R"("spacing": 0)", "Structure spacing must be at least 64"},
        {R"("spacing": -1)", "structure spacing outside range"},
        {R"("spacing": 100.5)", "structure spacing must be an integer"},
        {R"("city": true, "spacing": 95)", "City spacing must be at least 96"},
        {R"("city": true, "spacing": 0)", "City spacing must be at least 96"},
        {R"("chance": 0, "spacing": 65)", ""},
        {R"("chance": 1)", ""},
        {R"("chance": -0.001)", "structure chance outside range"},
        {R"("parts": [)" + repeated(cuboid, 128) + "]", ""},
        {R"("parts": [{"from": [-32, -64, -32], "to": [32, 64, 32], "block": "core:stone"}])", ""},
        {R"("parts": [{"from": [-33, 0, 0], "to": [1, 1, 1], "block": "core:stone"}])", "Invalid structure cuboid"},
        {R"("parts": [{"from": [0, 0, 0], "to": [1, 65, 1], "block": "core:stone"}])", "Invalid structure cuboid"},
        {R"("parts": [{"from": [0, 0, -33], "to": [1, 1, 1], "block": "core:stone"}])", "Invalid structure cuboid"},
        {R"("parts": [{"from": [0, 0, 0], "to": [1, 1, 33], "block": "core:stone"}])", "Invalid structure cuboid"},
        {R"("parts": [{"from": [0, 1, 0], "to": [1, 1, 1], "block": "core:stone"}])", "Invalid structure cuboid"},
        {R"("parts": [{"from": [0, 0, 1], "to": [1, 1, 1], "block": "core:stone"}])", "Invalid structure cuboid"},
        {R"("loot_chests": [)" + repeated(chest, 16) + "]", ""},
        {R"("loot_chests": [{"x": 32, "y": -64, "z": -32, "loot": "core:ruins"}])", ""},
        {R"("loot_chests": [{"x": 33, "y": 0, "z": 0, "loot": "core:ruins"}])", "loot chest x outside range"},
        {R"("loot_chests": [{"x": 0, "y": -65, "z": 0, "loot": "core:ruins"}])", "loot chest y outside range"},
        {R"("loot_chests": [{"x": 0, "y": 0, "z": -33, "loot": "core:ruins"}])", "loot chest z outside range"},
        {R"("traps": [)" + repeated(R"({"kind": "arrow"})", 32) + "]", ""},
        {R"("traps": [)" + repeated(R"({"kind": "arrow"})", 33) + "]", "Structure traps must be a list of at most 32"},
        {R"("spawns": [)" + repeated(spawn, 16) + "]", ""},
        {R"("spawns": [)" + repeated(spawn, 17) + "]", "Structure spawns must be a list of at most 16"},
        {R"("spawns": [{"mob": "core:boar", "count": 16}])", ""},
        {R"("spawns": [{"mob": "core:boar", "count": 17}])", "spawn count outside range"},
        {R"("biomes": [)" + repeated(R"("core:plains")", 32) + "]", ""},
        {R"("biomes": [)" + repeated(R"("core:plains")", 33) + "]", "Structure biomes must be biome ids"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(refusal(row.extra), row.message.empty() ? "(no failure)" : row.message) << row.extra;
}

TEST_F(DungeonsTest, EveryFaultHasItsMessage) {
    const struct {
        std::string extra;
        std::string message;
    } cases[] = {
        {R"("id": "tower")", "Structure requires id and name"},
        {R"("id": 5)", "Structure requires id and name"},
        {R"("name": "")", "Structure requires id and name"},
        {R"("chance": 1.5)", "structure chance outside range"},
        {R"("entrance_x": 33)", "entrance x outside range"},
        {R"("entrance_z": 0.5)", "entrance z must be an integer"},
        {R"("biomes": "core:plains")", "Structure biomes must be biome ids"},
        {R"("biomes": [3])", "Structure biomes must be biome ids"},
        {R"("parts": [])", "Structure requires 1..128 cuboids"},
        {R"("parts": {})", "Structure requires 1..128 cuboids"},
        {R"("parts": [)" + repeated(cuboid, 129) + "]", "Structure requires 1..128 cuboids"},
        {R"("parts": [{"from": [0, 0], "to": [1, 1, 1]}])", "Structure cuboid requires from and to"},
        {R"("parts": [{"from": [0, 0, 0]}])", "Structure cuboid requires from and to"},
        {R"("parts": [{"from": [0, 0.5, 0], "to": [1, 1, 1]}])", "Structure cuboid requires from and to"},
        {R"("parts": [{"from": [0, 0, 0], "to": [0, 1, 1]}])", "Invalid structure cuboid"},
        {R"("parts": [{"from": [0, 0, 0], "to": [33, 1, 1]}])", "Invalid structure cuboid"},
        {R"("parts": [{"from": [0, -65, 0], "to": [1, 1, 1]}])", "Invalid structure cuboid"},
        {R"("parts": [{"from": [0, 0, 0], "to": [1, 1, 1], "block": "test:none"}])",
         "Unknown world generation block: test:none"},
        {R"("parts": [{"from": [0, 0, 0], "to": [1, 1, 1], "block": "test:stick"}])",
         "World generation requires a block: test:stick"},
        {R"("parts": [{"from": [0, 0, 0], "to": [1, 1, 1]}])", "Unknown world generation block: "},
        {R"("loot_chests": [{"x": 0, "y": 1, "z": 0}])", "Loot chest requires a loot table"},
        {R"("loot_chests": [{"x": 0, "y": 65, "z": 0, "loot": "core:ruins"}])", "loot chest y outside range"},
        {R"("loot_chests": [{"x": 0, "y": 1, "z": 0, "block": "core:air", "loot": "core:ruins"}])",
         "Unknown world generation block: core:air"},
        {R"("loot_chests": [)" + repeated(chest, 17) + "]",
         "Structure loot chests must be a list of at most 16"},
        {R"("traps": [{"x": 0, "y": 0, "z": 0}])", "Structure trap requires a kind"},
        {R"("traps": [{"x": -33, "kind": "arrow"}])", "trap x outside range"},
        {R"("spawns": ["boar"])", "Invalid structure spawn"},
        {R"("spawns": [{"x": 1}])", "Invalid structure spawn"},
        {R"("spawns": [{"mob": "core:boar", "count": 0}])", "spawn count outside range"},
        {R"("spawns": "core:boar")", "Structure spawns must be a list of at most 16"},
    };
    for (const auto& c : cases) EXPECT_EQ(refusal(c.extra), c.message) << c.extra;
    EXPECT_EQ(failureOf<std::exception>([] { content::loadDungeons(content::parseJsonText("[]")); }),
              "Structure requires id and name");
}

}  // namespace
