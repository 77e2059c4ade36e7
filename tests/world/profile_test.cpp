#include <gtest/gtest.h>

#include <string>

#include "content/dimensions.h"
#include "content/json.h"
#include "support/failure.h"
#include "support/fresh_registry.h"
#include "world/block_registry.h"
#include "world/generation_profile.h"

namespace {

using content::parseJsonText;

using testsupport::failureOf;

std::string biomeFailure(const std::string& text) {
    return failureOf<std::exception>([&] { voxel::loadBiomes(parseJsonText(text)); });
}

// A biome object with the given members after a valid id and name.
std::string biomeWith(const std::string& members) {
    return R"({"id": "test:frost", "name": "Frost")" + (members.empty() ? "" : ", " + members) + "}";
}

class Profile : public testsupport::FreshRegistryTest {
   protected:
    void SetUp() override {
        FreshRegistryTest::SetUp();
        add(13, "test:moss", true);
        add(14, "test:wand", false);
        add(15, "core:ash_ore", true);
    }

    static void add(uint32_t id, const std::string& contentId, bool isBlock) {
        voxel::BlockDef def = testsupport::namedBlock(contentId);
        def.isBlock = isBlock;
        def.solid = true;
        def.opaque = true;
        voxel::registerBlock(id, def);
    }
};

TEST_F(Profile, DefaultsOfTheRecords) {
    const voxel::GenerationProfile profile;
    EXPECT_EQ(profile.islandSpacing, 128);
    EXPECT_EQ(profile.islandRadius, 36);
    EXPECT_EQ(profile.islandMinY, 64);
    EXPECT_EQ(profile.islandMaxY, 92);
    EXPECT_EQ(profile.terrain, "normal");
    EXPECT_TRUE(profile.ores.empty() && profile.biomes.empty() && profile.structures.empty());
    EXPECT_TRUE(profile.generationText.empty());
}

TEST_F(Profile, BaseBiomeNames) {
    const std::pair<const char*, uint32_t> rows[] = {{"plains", 0}, {"forest", 1}, {"desert", 2},
                                                     {"mountains", 3}, {"ocean", 32}, {"swamp", 33}};
    for (const auto& [name, base] : rows) EXPECT_EQ(voxel::baseBiome(name), base) << name;
    for (const char* name : {"tundra", "Plains"}) {
        EXPECT_EQ(failureOf<std::exception>([&] { voxel::baseBiome(name); }), "Unknown base biome") << name;
    }
}

TEST_F(Profile, GenerationBlocks) {
    EXPECT_EQ(voxel::generationBlock("core:stone", false), 3);  // built-ins have no content id
    EXPECT_EQ(voxel::generationBlock("core:oak_log", false), 7);
    EXPECT_EQ(voxel::generationBlock("core:diamond_ore", false), 12);
    EXPECT_EQ(voxel::generationBlock("test:moss", false), 13);
    EXPECT_EQ(voxel::generationBlock("core:air", true), 0);
    EXPECT_EQ(failureOf<std::exception>([] { voxel::generationBlock("core:air", false); }),
              "Unknown world generation block: core:air");
    EXPECT_EQ(failureOf<std::exception>([] { voxel::generationBlock("test:wand", false); }),
              "World generation requires a block: test:wand");
    EXPECT_EQ(failureOf<std::exception>([] { voxel::generationBlock("stone", false); }),
              "Unknown world generation block: stone");
    EXPECT_EQ(failureOf<std::exception>([] { voxel::generationBlock("MISSING RESOURCE", false); }),
              "Unknown world generation block: MISSING RESOURCE");
}

TEST_F(Profile, FullBiome) {
    const voxel::BiomeRule rule = voxel::loadBiomes(parseJsonText(R"({
        "id": "test:frost", "name": "Frost", "base": "ocean",
        "temperature": [0.1, 0.4], "humidity": [0.5, 0.9], "chance": 0.75, "height_offset": -20,
        "surface": "test:moss", "soil": "core:stone",
        "trees": {"density": 0.5, "trunk": "core:dirt", "leaves": "core:stone", "min_height": 2, "max_height": 8},
        "plants": [{"id": "test:moss", "density": 0.5, "min_height": 2, "max_height": 4},
                   {"id": "core:sand", "density": 0.5}]})"));
    EXPECT_EQ(rule.id, "test:frost");
    EXPECT_EQ(rule.name, "Frost");
    EXPECT_EQ(rule.base, 32u);
    EXPECT_FLOAT_EQ(rule.temperatureMin, 0.1f);
    EXPECT_FLOAT_EQ(rule.temperatureMax, 0.4f);
    EXPECT_FLOAT_EQ(rule.humidityMin, 0.5f);
    EXPECT_FLOAT_EQ(rule.humidityMax, 0.9f);
    EXPECT_FLOAT_EQ(rule.chance, 0.75f);
    EXPECT_EQ(rule.heightOffset, -20);
    EXPECT_EQ(rule.surfaceBlock, 13);
    EXPECT_EQ(rule.soilBlock, 3);
    EXPECT_EQ(rule.logBlock, 2);
    EXPECT_EQ(rule.leavesBlock, 3);
    EXPECT_FLOAT_EQ(rule.treeDensity, 0.5f);
    EXPECT_EQ(rule.trunkMinHeight, 2);
    EXPECT_EQ(rule.trunkMaxHeight, 8);
    ASSERT_EQ(rule.plants.size(), 2u);
    EXPECT_EQ(rule.plants[0].block, 13);
    EXPECT_EQ(rule.plants[0].minHeight, 2);
    EXPECT_EQ(rule.plants[0].maxHeight, 4);
    EXPECT_EQ(rule.plants[1].block, 4);
    EXPECT_FLOAT_EQ(rule.plants[1].chance, 0.5f);
    EXPECT_EQ(rule.plants[1].minHeight, 1);
}

TEST_F(Profile, BiomeDefaults) {
    const voxel::BiomeRule rule = voxel::loadBiomes(parseJsonText(biomeWith("")));
    EXPECT_EQ(rule.base, 0u);
    EXPECT_EQ(rule.temperatureMin, 0.0f);
    EXPECT_EQ(rule.temperatureMax, 1.0f);
    EXPECT_EQ(rule.humidityMin, 0.0f);
    EXPECT_EQ(rule.humidityMax, 1.0f);
    EXPECT_FLOAT_EQ(rule.chance, 0.25f);
    EXPECT_EQ(rule.heightOffset, 0);
    EXPECT_EQ(rule.surfaceBlock, 1);
    EXPECT_EQ(rule.soilBlock, 2);
    EXPECT_EQ(rule.logBlock, 7);
    EXPECT_EQ(rule.leavesBlock, 8);
    EXPECT_FLOAT_EQ(rule.treeDensity, 0.1f);
    EXPECT_EQ(rule.trunkMinHeight, 4);
    EXPECT_EQ(rule.trunkMaxHeight, 6);
    EXPECT_TRUE(rule.plants.empty());
}

TEST_F(Profile, BiomeMessages) {
    const std::string seven = R"("plants": [{"id": "test:moss", "density": 0.1}, {"id": "test:moss", "density": 0.1},
        {"id": "test:moss", "density": 0.1}, {"id": "test:moss", "density": 0.1}, {"id": "test:moss", "density": 0.1},
        {"id": "test:moss", "density": 0.1}, {"id": "test:moss", "density": 0.1}])";
    const std::pair<std::string, const char*> rows[] = {
        {R"({"id": "frost", "name": "Frost"})", "Biome requires id and name"},
        {R"({"id": "test:frost"})", "Biome requires id and name"},
        {R"({"id": 5, "name": "Frost"})", "Biome requires id and name"},
        {biomeWith(R"("base": "tundra")"), "Unknown base biome"},
        {biomeWith(R"("temperature": [0.2])"), "Climate ranges require two values"},
        {biomeWith(R"("humidity": [0.2, 0.4, 0.6])"), "Climate ranges require two values"},
        {biomeWith(R"("humidity": [0.2, "high"])"), "Climate ranges require two values"},
        {biomeWith(R"("temperature": 0.5)"), "Climate ranges require two values"},
        {biomeWith(R"("temperature": [0.5, 0.5])"), "Invalid climate range"},
        {biomeWith(R"("humidity": [0.8, 0.2])"), "Invalid climate range"},
        {biomeWith(R"("temperature": [-0.1, 0.5])"), "temperature outside range"},
        {biomeWith(R"("humidity": [0.1, 1.5])"), "humidity outside range"},
        {biomeWith(R"("chance": 1.5)"), "chance outside range"},
        {biomeWith(R"("height_offset": 21)"), "height_offset outside range"},
        {biomeWith(R"("height_offset": 2.5)"), "height_offset must be an integer"},
        {biomeWith(R"("surface": "core:air")"), "Unknown world generation block: core:air"},
        {biomeWith(R"("soil": "test:wand")"), "World generation requires a block: test:wand"},
        {biomeWith(R"("trees": {"density": -0.5})"), "tree density outside range"},
        {biomeWith(R"("trees": {"trunk": "test:nothing"})"), "Unknown world generation block: test:nothing"},
        {biomeWith(R"("trees": {"trunk": "core:air"})"), "Unknown world generation block: core:air"},
        {biomeWith(R"("trees": {"leaves": "core:air"})"), "Unknown world generation block: core:air"},
        {biomeWith(R"("plants": [{"id": "core:air"}])"), "Unknown world generation block: core:air"},
        {biomeWith(R"("trees": {"min_height": 1})"), "tree height outside range"},
        {biomeWith(R"("trees": {"max_height": 9})"), "tree height outside range"},
        {biomeWith(R"("trees": {"min_height": 5, "max_height": 4})"), "Invalid tree height range"},
        {biomeWith(seven), "At most 6 plant rules are supported"},
        {biomeWith(R"("plants": [{"density": 0.1}])"), "Unknown world generation block: "},
        {biomeWith(R"("plants": [{"id": "test:wand"}])"), "World generation requires a block: test:wand"},
        {biomeWith(R"("plants": [{"id": "test:moss", "density": 2}])"), "plant density outside range"},
        {biomeWith(R"("plants": [{"id": "test:moss", "max_height": 5}])"), "plant height outside range"},
        {biomeWith(R"("plants": [{"id": "test:moss", "min_height": 3, "max_height": 2}])"),
         "Invalid plant height range"},
        {biomeWith(R"("plants": [{"id": "test:moss", "density": 0.4},
            {"id": "test:moss", "density": 0.4}, {"id": "test:moss", "density": 0.4}])"),
         "Combined plant density exceeds 100%"},
        {biomeWith(R"("plants": [{"id": "test:moss", "density": 0.5},
            {"id": "test:moss", "density": 0.5}])"),
         "(no failure)"},
    };
    for (const auto& [text, message] : rows) EXPECT_EQ(biomeFailure(text), message) << text;
}

TEST_F(Profile, StructureSpacingMustFitTheOffsets) {
    const struct {
        bool city;
        uint32_t spacing;
        const char* message;
    } rows[] = {{false, 0, "Structure spacing must be at least 64"},
                {false, 63, "Structure spacing must be at least 64"},
                {false, 64, "(no failure)"},
                {true, 64, "City spacing must be at least 96"},
                {true, 95, "City spacing must be at least 96"},
                {true, 96, "(no failure)"}};
    for (const auto& row : rows) {
        voxel::StructureRule rule;
        rule.city = row.city;
        rule.spacing = row.spacing;
        EXPECT_EQ(failureOf<std::exception>([&] { voxel::checkStructureSpacing(rule); }), row.message)
            << row.city << " " << row.spacing;
    }
}

// A profile as the dimension reader makes it from a generation object.
std::shared_ptr<voxel::GenerationProfile> profileOf(const std::string& text) {
    return content::readTerrain(parseJsonText(text));
}

const std::string fortress =
    R"({"id": "core:ash_fortress", "name": "Ash fortress", "spacing": 128, "chance": 0.5,
        "parts": [{"from": [0, 0, 0], "to": [2, 2, 2], "block": "core:stone"}],
        "spawns": ["core:basalt_golem", "core:fortress_warden"]})";
const std::string ashOre = R"({"id": "core:ash_ore", "replace": "core:stone"})";

const voxel::StructureRule* structureNamed(const voxel::GenerationProfile& profile, const std::string& id) {
    for (const voxel::StructureRule& rule : profile.structures) {
        if (rule.id == id) return &rule;
    }
    return nullptr;
}

TEST_F(Profile, AshenDefaultsAddTheFortressAndTheOre) {
    const auto stored = profileOf(R"({"terrain": "ashen", "biomes": [], "structures": {}})");
    const auto current = profileOf(R"({"terrain": "ashen", "structures": [)" + fortress + R"(], "ores": [)" + ashOre + "]}");
    const auto merged = voxel::ashenDefaults(*stored, *current);
    EXPECT_EQ(merged->terrain, "ashen");
    ASSERT_EQ(merged->structures.size(), 1u);
    EXPECT_EQ(merged->structures[0].spawns.size(), 2u);
    ASSERT_EQ(merged->ores.size(), 1u);
    EXPECT_EQ(merged->ores[0].block, 15);
    // Applied again, nothing is added twice.
    const auto again = voxel::ashenDefaults(*merged, *current);
    EXPECT_EQ(again->structures.size(), 1u);
    EXPECT_EQ(again->ores.size(), 1u);
}

TEST_F(Profile, AshenDefaultsGiveAStoredFortressItsResidents) {
    const auto stored = profileOf(R"({"structures": [{"id": "core:ash_fortress", "name": "Old fortress",
        "spacing": 200, "chance": 0.25, "parts": [{"from": [0, 0, 0], "to": [1, 1, 1], "block": "core:dirt"}]}]})");
    const auto current = profileOf(R"({"structures": [)" + fortress + "]}");
    const auto merged = voxel::ashenDefaults(*stored, *current);
    const voxel::StructureRule* rule = structureNamed(*merged, "core:ash_fortress");
    ASSERT_NE(rule, nullptr);
    EXPECT_EQ(rule->name, "Old fortress");  // the world keeps its own fortress
    EXPECT_EQ(rule->spacing, 200u);
    ASSERT_EQ(rule->spawns.size(), 2u);
    EXPECT_EQ(rule->spawns[1].mob, "core:fortress_warden");
}

TEST_F(Profile, GenerationSectionsTakeCityAndResidentsFromTheContent) {
    const auto stored = profileOf(R"({"structures": [
        {"id": "test:town", "name": "Old town", "spacing": 400, "chance": 0.5,
         "parts": [{"from": [0, 0, 0], "to": [1, 1, 1], "block": "core:stone"}]},
        {"id": "test:hut", "name": "Hut", "spacing": 64, "chance": 0.5, "spawns": ["test:hermit"],
         "parts": [{"from": [0, 0, 0], "to": [1, 1, 1], "block": "core:dirt"}]},
        {"id": "test:well", "name": "Well", "spacing": 64, "chance": 0.5,
         "parts": [{"from": [0, 0, 0], "to": [1, 1, 1], "block": "core:stone"}]}]})");
    const auto current = profileOf(R"({"structures": [
        {"id": "test:town", "name": "New town", "spacing": 500, "chance": 0.5, "city": true,
         "spawns": ["test:mayor"]},
        {"id": "test:hut", "name": "Hut", "spacing": 64, "chance": 0.5,
         "parts": [{"from": [0, 0, 0], "to": [1, 1, 1], "block": "core:dirt"}]}]})");
    const auto merged = voxel::readGenerationSections(*stored, *current);
    ASSERT_EQ(merged->structures.size(), 3u);
    const voxel::StructureRule& town = merged->structures[0];
    EXPECT_TRUE(town.city);
    EXPECT_EQ(town.name, "Old town");
    EXPECT_EQ(town.spacing, 400u);
    ASSERT_EQ(town.spawns.size(), 1u);
    EXPECT_EQ(town.spawns[0].mob, "test:mayor");
    EXPECT_TRUE(merged->structures[1].spawns.empty());  // the content's hut has no residents any more
    EXPECT_EQ(merged->structures[2].id, "test:well");
}

}  // namespace
