#include "content/worldgen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "content/json.h"
#include "loader_fixture.h"

namespace {

using WorldgenTest = loadertest::LoaderTest;

std::string biome(const std::string& id, const std::string& extra = "") {
    return R"({"id": ")" + id + R"(", "name": "Biome")" + (extra.empty() ? "" : ", " + extra) + "}";
}

std::string structure(const std::string& id, const std::string& extra = "") {
    return R"({"id": ")" + id + R"(", "name": "Tower", "spacing": 128,)" +
           R"( "parts": [{"from": [0, 0, 0], "to": [2, 4, 2], "block": "core:stone"}])" +
           (extra.empty() ? "" : ", " + extra) + "}";
}

std::string padded(int i) {
    return (i < 10 ? "0" : "") + std::to_string(i);
}

TEST_F(WorldgenTest, NoFilesGiveAnEmptyProfileWithItsText) {
    const auto profile = content::loadWorldgen(content());
    ASSERT_TRUE(profile);
    EXPECT_EQ(std::tie(profile->terrain, profile->islandSpacing), std::tuple("normal", 128));
    EXPECT_TRUE(profile->ores.empty() && profile->biomes.empty() && profile->structures.empty());
    EXPECT_EQ(profile->generationText, R"({"biomes":[],"structures":[]})");
    EXPECT_EQ(errors("worldgen_errors.txt"), "");
}

TEST_F(WorldgenTest, GathersBiomesAndStructuresInPathOrder) {
    write("b/tower.structure.json", structure("test:tower"));
    write("a/frost.biome.json", biome("test:frost", R"("base": "mountains")"));
    write("a/city.structure.json", R"({"id": "test:city", "name": "City", "city": true, "chance": 0.3})");
    write("c/dunes.biome.json", biome("test:dunes"));
    write("c/notes.json", biome("test:ignored"));
    write("c/.biome.json", biome("test:short_name"));
    const auto profile = content::loadWorldgen(content());
    ASSERT_EQ(profile->biomes.size(), 3u);
    const std::vector<voxel::BiomeRule>& biomes = profile->biomes;
    EXPECT_EQ(std::tie(biomes[0].id, biomes[0].base, biomes[1].id, biomes[2].id),
              std::tuple("test:frost", 3u, "test:short_name", "test:dunes"));
    ASSERT_EQ(profile->structures.size(), 2u);
    const voxel::StructureRule &city = profile->structures[0], &tower = profile->structures[1];
    EXPECT_EQ(std::tie(city.id, city.city, tower.id, tower.spacing), std::tuple("test:city", true, "test:tower", 128u));
    // The text holds every accepted file's whole value, in load order.
    const content::Json text = content::parseJsonText(profile->generationText);
    ASSERT_EQ(text.members.size(), 2u);
    EXPECT_EQ(content::Json::find(text, "biomes").items.size(), 3u);
    EXPECT_EQ(content::Json::find(content::Json::find(text, "structures").items[0], "chance").number, 0.3);
    EXPECT_EQ(errors("worldgen_errors.txt"), "");
}

TEST_F(WorldgenTest, DimensionOnlyFilesAreLeftToTheirDimension) {
    write("a.structure.json", structure("test:crypt", R"("dimension_only": true)"));
    write("b.biome.json", biome("test:ash", R"("dimension_only": true, "base": "lava")"));
    write("c.structure.json", structure("test:hut", R"("dimension_only": "yes")"));
    const auto profile = content::loadWorldgen(content());
    EXPECT_TRUE(profile->biomes.empty());
    ASSERT_EQ(profile->structures.size(), 1u);
    EXPECT_EQ(profile->structures[0].id, "test:hut");
    EXPECT_EQ(errors("worldgen_errors.txt"), "");
}

TEST_F(WorldgenTest, TheFileNameDecidesTheKind) {
    // A structure object in a biome file is read by the biome reader.
    write("a.biome.json", R"({"id": "test:tower", "parts": []})");
    write("b.biome.json", structure("test:tower2"));
    write("c.structure.json", biome("test:frost"));
    const auto profile = content::loadWorldgen(content());
    ASSERT_EQ(profile->biomes.size(), 1u);
    EXPECT_EQ(profile->biomes[0].id, "test:tower2");
    EXPECT_TRUE(profile->structures.empty());
    EXPECT_EQ(errors("worldgen_errors.txt"),
              lineFor("a.biome.json", "Biome requires id and name") +
                  lineFor("c.structure.json", "Structure requires 1..128 cuboids"));
}

TEST_F(WorldgenTest, FaultyFilesAreSkippedWithOneLineEach) {
    write("a.biome.json", biome("test:frost"));
    write("b.biome.json", biome("test:frost"));
    write("c.structure.json", R"({"id": "test:tower", "name": "Tower", "spacing": 32, "parts": []})");
    write("d.structure.json", structure("test:tower"));
    write("e.structure.json", structure("test:tower"));
    write("f.structure.json", "[1,");
    testsupport::writeFile(content() / "worldgen_errors.txt", "old\n");
    const auto profile = content::loadWorldgen(content());
    EXPECT_EQ(profile->biomes.size(), 1u);
    ASSERT_EQ(profile->structures.size(), 1u);
    const std::string log = errors("worldgen_errors.txt");
    EXPECT_EQ(log.rfind(lineFor("b.biome.json", "Duplicate biome or limit of 28 exceeded") +
                            lineFor("c.structure.json", "Structure spacing must be at least 64") +
                            lineFor("e.structure.json", "Duplicate structure or limit of 64 exceeded"),
                        0),
              0u)
        << log;
    EXPECT_NE(log.find((content() / "f.structure.json").string() + ": "), std::string::npos);
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 4);
}

TEST_F(WorldgenTest, LimitsCountOnlyAcceptedFiles) {
    write("00bad.biome.json", biome("frost"));  // refused: takes no place among the 28
    for (int i = 0; i < 29; ++i) write("b" + padded(i) + ".biome.json", biome("test:b" + std::to_string(i)));
    for (int i = 0; i < 65; ++i) {
        write("s" + padded(i) + ".structure.json", structure("test:s" + std::to_string(i)));
    }
    const auto profile = content::loadWorldgen(content());
    EXPECT_EQ(profile->biomes.size(), 28u);
    EXPECT_EQ(profile->structures.size(), 64u);
    EXPECT_EQ(errors("worldgen_errors.txt"),
              lineFor("00bad.biome.json", "Biome requires id and name") +
                  lineFor("b28.biome.json", "Duplicate biome or limit of 28 exceeded") +
                  lineFor("s64.structure.json", "Duplicate structure or limit of 64 exceeded"));
}

}  // namespace
