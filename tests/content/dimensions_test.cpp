#include "content/dimensions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <system_error>
#include <tuple>

#include "content/json.h"
#include "loader_fixture.h"
#include "support/failure.h"

namespace {

using testsupport::failureOf;

const std::string generation = R"("generation": {"biomes": [{"id": "test:frost", "name": "Frost"}]})";

std::string dimension(const std::string& id, const std::string& extra = "") {
    return R"({"id": ")" + id + R"(", "name": "Realm", )" + generation + (extra.empty() ? "" : ", " + extra) +
           "}";
}

class DimensionsTest : public loadertest::LoaderTest {
   protected:
    std::string refusal(const std::string& text) {
        std::map<std::string, content::DimensionDef> dimensions;
        return failureOf<std::exception>(
            [&] { content::readDimension(content::parseJsonText(text), dimensions); });
    }
    std::string terrainRefusal(const std::string& text) {
        return failureOf<std::exception>([&] { content::readTerrain(content::parseJsonText(text)); });
    }
};

TEST_F(DimensionsTest, ReadsADimensionWithDefaults) {
    write("realms/frost.dimension.json", dimension("test:frost_realm", R"("day_cycle": true)"));
    write("realms/plain.dimension.json", dimension("test:plain", R"("day_cycle": 1, "seed_salt": "7")"));
    const auto dimensions = content::loadDimensions(content());
    ASSERT_EQ(dimensions.size(), 2u);
    const content::DimensionDef& frost = dimensions.at("test:frost_realm");
    EXPECT_EQ(std::tie(frost.name, frost.seed_salt, frost.day_cycle, frost.cold_interval_ticks, frost.cold_damage),
              std::tuple("Realm", 130u, true, 0, 1));
    EXPECT_FLOAT_EQ(frost.time, 0.76f);
    ASSERT_TRUE(frost.profile);
    ASSERT_EQ(frost.profile->biomes.size(), 1u);
    EXPECT_EQ(frost.profile->biomes[0].id, "test:frost");
    const content::DimensionDef& plain = dimensions.at("test:plain");
    EXPECT_EQ(std::tie(plain.day_cycle, plain.seed_salt), std::tuple(false, 130u));
    EXPECT_EQ(errors("dimension_errors.txt"), "");
}

TEST_F(DimensionsTest, ReadsEveryBoundedValue) {
    std::map<std::string, content::DimensionDef> dimensions;
    content::readDimension(
        content::parseJsonText(dimension("test:cold",
                                         R"("seed_salt": 4294967295, "time": 0, "cold_interval_ticks": 20,)"
                                         R"( "cold_damage": 10)")),
        dimensions);
    const content::DimensionDef& cold = dimensions.at("test:cold");
    EXPECT_EQ(std::tie(cold.seed_salt, cold.time, cold.cold_interval_ticks, cold.cold_damage),
              std::tuple(4294967295u, 0.0f, 20, 10));
    // A 79-byte id is the longest accepted.
    const std::string longest = "test:" + std::string(74, 'a');
    content::readDimension(content::parseJsonText(dimension(longest, R"("cold_interval_ticks": 72000)")),
                           dimensions);
    EXPECT_EQ(dimensions.at(longest).cold_interval_ticks, 72000);
}

TEST_F(DimensionsTest, EveryFaultOfADimensionHasItsMessage) {
    const std::string invalid = "Invalid dimension definition";
    const std::string noBiome = "Dimension requires generation and at least one biome";
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {dimension("core:overworld"), invalid},
        {dimension("test:a:b"), invalid},
        {dimension("test:Frost"), invalid},
        {dimension(":frost"), invalid},
        {dimension("frost:"), invalid},
        {dimension("frost"), invalid},
        {dimension("test:" + std::string(75, 'a')), invalid},
        {dimension("test:fr.ost"), invalid},
        {R"({"name": "Realm", )" + generation + "}", invalid},
        {R"({"id": "test:x", "name": "", )" + generation + "}", invalid},
        {R"({"id": "test:x", "name": ")" + std::string(113, 'n') + R"(", )" + generation + "}", invalid},
        {R"({"id": "test:x", "name": ")" + std::string(112, 'n') + R"(", )" + generation + "}", "(no failure)"},
        {dimension("test:x", R"("seed_salt": -1)"), invalid},
        {dimension("test:x", R"("seed_salt": 1.5)"), invalid},
        {dimension("test:x", R"("seed_salt": 4294967296)"), invalid},
        {dimension("test:x", R"("time": 1)"), invalid},
        {dimension("test:x", R"("time": -0.01)"), invalid},
        // Below 1 as a double, but a whole day once stored as a 32-bit float.
        {dimension("test:x", R"("time": 0.99999999)"), invalid},
        {dimension("test:x", R"("cold_interval_ticks": 19)"), "Cold interval must be at least 20 ticks"},
        {dimension("test:x", R"("cold_interval_ticks": 1)"), "Cold interval must be at least 20 ticks"},
        {dimension("test:x", R"("cold_interval_ticks": 72001)"), "cold interval outside range"},
        {dimension("test:x", R"("cold_interval_ticks": 20.5)"), "cold interval must be an integer"},
        {dimension("test:x", R"("cold_damage": 0)"), "cold damage outside range"},
        {dimension("test:x", R"("cold_damage": 11)"), "cold damage outside range"},
        {R"({"id": "test:x", "name": "Realm"})", noBiome},
        {R"({"id": "test:x", "name": "Realm", "generation": {"biomes": []}})", noBiome},
        {R"({"id": "test:x", "name": "Realm", "generation": {"biomes": {}}})", noBiome},
        {R"({"id": "test:x", "name": "Realm", "generation": [{"biomes": [1]}]})", noBiome},
        {R"({"id": "test:x", "name": "Realm", "generation": {"biomes": [{"id": "frost", "name": "F"}]}})",
         "Biome requires id and name"},
    };
    for (const auto& c : cases) EXPECT_EQ(refusal(c.text), c.message) << c.text;
}

TEST_F(DimensionsTest, FaultyFilesAreSkippedWithOneLineEach) {
    write("a.dimension.json", dimension("test:first"));
    write("b.dimension.json", dimension("core:overworld"));
    // A duplicate is found only after its generation object was read in full.
    write("c.dimension.json", R"({"id": "test:first", "name": "Again", "generation": {"biomes": [{}]}})");
    write("d.dimension.json", dimension("test:first"));
    write("e.dimension.json", "{");
    write("dimension.json", dimension("test:ignored"));
    write("f.dimension.json.bak", dimension("test:ignored_too"));
    testsupport::writeFile(content() / "dimension_errors.txt", "stale line\n");
    const auto dimensions = content::loadDimensions(content());
    ASSERT_EQ(dimensions.size(), 1u);
    EXPECT_EQ(dimensions.begin()->first, "test:first");
    const std::string log = errors("dimension_errors.txt");
    EXPECT_EQ(log.find("stale line"), std::string::npos);
    for (const std::string& line : {lineFor("b.dimension.json", "Invalid dimension definition"),
                                     lineFor("c.dimension.json", "Biome requires id and name"),
                                     lineFor("d.dimension.json", "Duplicate dimension ID"),
                                     (content() / "e.dimension.json").string() + ": "})
        EXPECT_NE(log.find(line), std::string::npos) << line;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 4);
}

TEST_F(DimensionsTest, TheNinthDimensionIsRefused) {
    for (int i = 1; i <= 9; ++i) {
        write("d" + std::to_string(i) + ".dimension.json", dimension("test:realm" + std::to_string(i)));
    }
    const auto dimensions = content::loadDimensions(content());
    EXPECT_EQ(dimensions.size(), 8u);
    EXPECT_EQ(dimensions.count("test:realm9"), 0u);
    EXPECT_EQ(errors("dimension_errors.txt"), lineFor("d9.dimension.json", "Invalid dimension definition"));
}

// A missing Content folder is no empty one to this loader: it ends the load as a file in its place does.
TEST_F(DimensionsTest, AContentFolderThatCannotBeWalkedEndsTheLoad) {
    testsupport::writeFile(content() / "file", "");
    const struct {
        std::filesystem::path dir;
        std::errc code;
    } cases[] = {{content() / "missing", std::errc::no_such_file_or_directory},
                 {content() / "file", std::errc::not_a_directory}};
    for (const auto& c : cases) {
        try {
            content::loadDimensions(c.dir);
            ADD_FAILURE() << c.dir << " loaded";
        } catch (const std::filesystem::filesystem_error& failure) {
            EXPECT_EQ(failure.code(), c.code) << c.dir;
            EXPECT_EQ(failure.path1(), c.dir);
            EXPECT_NE(std::string(failure.what())
                          .find("recursive_directory_iterator::recursive_directory_iterator"),
                      std::string::npos);
        }
    }
}

TEST_F(DimensionsTest, TerrainReadsIslandsOresBiomesAndStructures) {
    const content::Json g = content::parseJsonText(R"({"terrain": "sky", "island_spacing": 160,
        "island_radius": 40, "island_min_y": 70, "island_max_y": 100,
        "ores": [{"id": "test:farmland", "min_y": 5, "max_y": 40, "density": 0.5, "seed_salt": 9},
                 {"id": "core:stone", "replace": "test:farmland"}],
        "biomes": [{"id": "test:a", "name": "A"}, {"id": "test:b", "name": "B"}],
        "structures": [{"id": "test:city", "name": "City", "city": true}]})");
    const auto profile = content::readTerrain(g);
    EXPECT_EQ(std::tie(profile->terrain, profile->islandSpacing, profile->islandRadius, profile->islandMinY,
                       profile->islandMaxY),
              std::tuple("sky", 160, 40, 70, 100));
    ASSERT_EQ(profile->ores.size(), 2u);
    const voxel::OreRule &first = profile->ores[0], &second = profile->ores[1];
    // core:stone (3) is replaced when "replace" is absent.
    EXPECT_EQ(std::tie(first.block, first.replace, first.minY, first.maxY, first.seedSalt),
              std::tuple(loadertest::farmland, 3, 5, 40, 9u));
    EXPECT_FLOAT_EQ(first.density, 0.5f);
    EXPECT_EQ(std::tie(second.block, second.replace, second.minY, second.maxY, second.seedSalt),
              std::tuple(3, loadertest::farmland, 1, 70, 131u));
    EXPECT_FLOAT_EQ(second.density, 0.01f);
    ASSERT_EQ(profile->biomes.size(), 2u);
    EXPECT_EQ(profile->biomes[1].id, "test:b");
    ASSERT_EQ(profile->structures.size(), 1u);
    EXPECT_TRUE(profile->structures[0].city);
    EXPECT_EQ(profile->generationText, content::writeJson(g));
}

TEST_F(DimensionsTest, TerrainDefaults) {
    const auto profile = content::readTerrain(content::parseJsonText(R"({"terrain": 3, "ores": {}})"));
    EXPECT_EQ(std::tie(profile->terrain, profile->islandSpacing, profile->islandRadius, profile->islandMinY,
                       profile->islandMaxY),
              std::tuple("normal", 128, 36, 64, 92));
    EXPECT_TRUE(profile->ores.empty() && profile->biomes.empty() && profile->structures.empty());
    EXPECT_EQ(profile->generationText, R"({"ores":{},"terrain":3})");
}

TEST_F(DimensionsTest, EveryFaultOfTerrainHasItsMessage) {
    // A list of `count` elements, the i-th made by `element`.
    const auto list = [](int count, const auto& element) {
        std::string text;
        for (int i = 0; i < count; ++i) text += std::string(i ? "," : "") + element(std::to_string(i));
        return text;
    };
    const auto ore = [](const std::string&) { return std::string(R"({"id": "test:farmland"})"); };
    const auto biome = [](const std::string& i) { return R"({"id": "test:b)" + i + R"(", "name": "B"})"; };
    const auto structure = [](const std::string& i) {
        return R"({"id": "test:s)" + i +
               R"(", "name": "S", "parts": [{"from": [0, 0, 0], "to": [1, 1, 1], "block": "core:stone"}]})";
    };
    const std::string accepted = "(no failure)";
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {R"({"terrain": "lava"})", "Unknown dimension terrain"},
        {R"({"island_spacing": 95})", "island spacing outside range"},
        {R"({"island_spacing": 193})", "island spacing outside range"},
        {R"({"island_radius": 30.5})", "island radius must be an integer"},
        {R"({"island_min_y": 55})", "island min height outside range"},
        {R"({"island_max_y": 105})", "island max height outside range"},
        {R"({"island_min_y": 90, "island_max_y": 80})", "Invalid island dimensions"},
        {R"({"island_radius": 48, "island_spacing": 96})", "Invalid island dimensions"},
        {R"({"ores": [)" + list(17, ore) + "]}", "At most 16 ore rules"},
        {R"({"ores": [)" + list(16, ore) + "]}", accepted},
        {R"({"ores": [{"id": "test:fog"}]})", "Ore must replace solid rock"},
        {R"({"ores": [{"id": "test:farmland", "replace": "test:fog"}]})", "Ore must replace solid rock"},
        {R"({"ores": [{"id": "test:nothing"}]})", "Unknown world generation block: test:nothing"},
        {R"({"ores": [{}]})", "Unknown world generation block: "},
        {R"({"ores": [{"id": "test:stick"}]})", "World generation requires a block: test:stick"},
        {R"({"ores": [{"id": "test:farmland", "min_y": 0}]})", "ore min y outside range"},
        {R"({"ores": [{"id": "test:farmland", "max_y": 125}]})", "ore max y outside range"},
        {R"({"ores": [{"id": "test:farmland", "min_y": 124, "max_y": 124}]})", accepted},
        {R"({"ores": [{"id": "test:farmland", "min_y": 1, "max_y": 1}]})", accepted},
        {R"({"ores": [{"id": "test:farmland", "min_y": 30, "max_y": 20}]})", "Invalid ore height range"},
        {R"({"ores": [{"id": "test:farmland", "density": 1.5}]})", "ore density outside range"},
        {R"({"ores": [{"id": "test:farmland", "seed_salt": 1000001}]})", "ore seed salt outside range"},
        {R"({"ores": [{"id": "test:farmland", "seed_salt": 2.5}]})", "ore seed salt must be an integer"},
        {R"({"biomes": [{"id": "test:a", "name": "A"}, {"id": "test:a", "name": "A2"}]})",
         "Duplicate biome ID or more than 28 custom biomes"},
        {R"({"biomes": [)" + list(29, biome) + "]}", "Duplicate biome ID or more than 28 custom biomes"},
        {R"({"biomes": [)" + list(28, biome) + "]}", accepted},
        {R"({"biomes": [{"id": "test:a", "name": "A", "temperature": [0.2]}]})",
         "Climate ranges require two values"},
        {R"({"structures": [{"id": "test:c", "name": "C", "city": true},)"
         R"( {"id": "test:c", "name": "C2", "city": true}]})",
         "Duplicate structure ID or more than 64 structures"},
        {R"({"structures": [)" + list(65, structure) + "]}",
         "Duplicate structure ID or more than 64 structures"},
        {R"({"structures": [)" + list(64, structure) + "]}", accepted},
        {R"({"structures": [{"id": "test:c", "name": "C", "city": true, "spacing": 64}]})",
         "City spacing must be at least 96"},
    };
    for (const auto& c : cases) EXPECT_EQ(terrainRefusal(c.text), c.message) << c.text.substr(0, 120);
}

}  // namespace
