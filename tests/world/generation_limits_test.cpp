// Limits of the generation rules outside the noise, each taken at its exact edge.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

#include "profile_fixture.h"
#include "support/fresh_registry.h"
#include "world/block_registry.h"
#include "world/features.h"
#include "world/generate.h"
#include "world/noise.h"
#include "world/structures.h"
#include "world/terrain_columns.h"

namespace {

using voxel::Chunk;
using voxel::GenerationContext;
using voxel::GenerationProfile;
using worldtest::contextOf;

constexpr uint8_t dirtId = 2, stoneId = 3, goldId = 11, diamondId = 12;

uint8_t cellAt(const Chunk& chunk, int32_t x, int32_t y, int32_t z) {
    return chunk.get(static_cast<uint32_t>(x - 16 * chunk.cx), static_cast<uint32_t>(y),
                     static_cast<uint32_t>(z - 16 * chunk.cz));
}

// Density 1: the rule takes every cell it may touch.
GenerationContext withOres(std::vector<voxel::OreRule> ores) {
    auto profile = std::make_shared<GenerationProfile>();
    profile->ores = std::move(ores);
    return contextOf(12345, 3, profile);
}

voxel::OreRule ore(uint8_t block, uint8_t replace, int32_t minY, int32_t maxY) {
    return {.block = block, .replace = replace, .minY = minY, .maxY = maxY, .density = 1.0f};
}

// Calls check(chunk, x, z) for every column of the given chunks.
template <class Check>
void forEachColumn(const GenerationContext& context,
                   std::initializer_list<std::pair<int32_t, int32_t>> chunks, Check check) {
    for (const auto& [cx, cz] : chunks) {
        const Chunk chunk = voxel::generateChunk(context, cx, cz);
        for (int32_t z = 16 * cz; z < 16 * cz + 16; ++z)
            for (int32_t x = 16 * cx; x < 16 * cx + 16; ++x) check(chunk, x, z);
    }
}

// The first rule whose block and height range fit takes the cell; outside every range the chunk
// stays as it is without ore rules.
TEST(ProfileOres, HeightRangeIsInclusiveAndTheFirstFittingRuleWins) {
    const GenerationContext rich = withOres({ore(goldId, stoneId, 20, 25), ore(diamondId, stoneId, 20, 30)});
    for (const auto& [cx, cz] : {std::pair{0, 0}, std::pair{-3, 4}}) {
        const Chunk plain = voxel::generateChunk(withOres({}), cx, cz);
        const Chunk chunk = voxel::generateChunk(rich, cx, cz);
        int32_t gold = 0, diamond = 0;
        for (uint32_t i = 0; i < 16 * 16 * 128; ++i) {
            const uint32_t lx = i % 16, lz = i / 16 % 16, y = i / 256;
            const uint8_t before = plain.get(lx, y, lz);
            const bool inRange = before == stoneId && y >= 20 && y <= 30;
            ASSERT_EQ(chunk.get(lx, y, lz), !inRange  ? before
                                            : y <= 25 ? goldId
                                                      : diamondId)
                << lx << " " << y << " " << lz;
            gold += inRange && y <= 25;
            diamond += inRange && y > 25;
        }
        EXPECT_GT(gold, 500);
        EXPECT_GT(diamond, 500);
    }
}

// Dirt lies only in the three layers under the surface (h - 3 .. h - 1), where ore rules never
// reach; bare mountain stone at the surface is out of their reach too.
TEST(ProfileOres, NeverInTheLayersUnderTheSurface) {
    const int32_t x = -33, z = 64;  // bare mountain stone on top at 87
    ASSERT_EQ(voxel::surfaceHeight(withOres({}), x, z), 87);
    const Chunk bare = voxel::generateChunk(withOres({}), -3, 4);
    ASSERT_EQ(cellAt(bare, x, 87, z), stoneId);
    ASSERT_EQ(cellAt(bare, x, 84, z), dirtId);
    EXPECT_EQ(voxel::generateChunk(withOres({ore(goldId, dirtId, 0, 127)}), -3, 4).cells, bare.cells);
    const Chunk stony = voxel::generateChunk(withOres({ore(goldId, stoneId, 0, 127)}), -3, 4);
    EXPECT_EQ(cellAt(stony, x, 87, z), stoneId);
    EXPECT_EQ(cellAt(stony, x, 83, z), goldId) << "the first cell below the three layers";
}

class CustomPlants : public testsupport::FreshRegistryTest {
   protected:
    // Every column of the world in one custom biome without trees, growing the given plants.
    static GenerationContext meadow(std::vector<voxel::PlantRule> plants) {
        auto profile = std::make_shared<GenerationProfile>();
        profile->biomes = {voxel::BiomeRule{}};
        profile->biomes[0].id = "test:meadow";
        profile->biomes[0].chance = 1.0f;
        profile->biomes[0].treeDensity = 0.0f;
        profile->biomes[0].plants = std::move(plants);
        return contextOf(12345, 3, profile);
    }

    // The number of cells of `block` stacked on the surface h of column (x, z).
    static int32_t plantHeight(const Chunk& chunk, int32_t x, int32_t h, int32_t z, uint8_t block) {
        int32_t n = 0;
        while (h + 1 + n < 128 && cellAt(chunk, x, h + 1 + n, z) == block) ++n;
        return n;
    }

    static bool grows(const GenerationContext& context, const Chunk& chunk, int32_t x, int32_t h, int32_t z) {
        return h >= 49 && cellAt(chunk, x, h, z) != voxel::airId && !voxel::nearRuins(context, x, z);
    }
};

// Height n = min(max, min + trunc((max - min + 1) u)), u from the column's hash; plants need a
// surface of at least 49. Chunks (-13, -38) and (-14, -38) hold a shore at heights 48 and 49.
TEST_F(CustomPlants, HeightsBetweenTheirLimitsAndOnlyFromHeight49) {
    for (const auto& [low, high] : {std::pair{1, 1}, {3, 3}, {2, 4}, {3, 2}, {1, 6}}) {
        const GenerationContext context = meadow({{goldId, 1.0f, low, high}});
        int32_t at48 = 0, at49 = 0, tallest = 0, shortest = 128;
        forEachColumn(
            context, {{-13, -38}, {-14, -38}, {2, 0}}, [&](const Chunk& chunk, int32_t x, int32_t z) {
                const int32_t h = voxel::surfaceHeight(context, x, z);
                const bool grown = grows(context, chunk, x, h, z);
                const float u = voxel::latticeUnit(x, z, context.seed + 403);
                const int32_t n =
                    std::min(high, low + static_cast<int32_t>(static_cast<float>(high - low + 1) * u));
                EXPECT_EQ(plantHeight(chunk, x, h, z, goldId), grown ? n : 0) << x << " " << z << " h " << h;
                at48 += h == 48;
                at49 += h == 49 && grown;
                tallest = grown ? std::max(tallest, n) : tallest;
                shortest = grown ? std::min(shortest, n) : shortest;
            });
        EXPECT_GT(at48, 0) << "the chunks must hold the edge on both sides";
        EXPECT_GT(at49, 0);
        EXPECT_EQ(tallest, high) << "the cap, and reached";
        EXPECT_EQ(shortest, std::min(low, high));
    }
}

// The plant whose running sum of chances first exceeds the column's draw grows; when the chances
// never pass the draw, nothing does.
TEST_F(CustomPlants, RunningSumOfChancesChoosesThePlant) {
    const GenerationContext split =
        meadow({{goldId, 0.0f, 1, 1}, {diamondId, 0.5f, 1, 1}, {goldId, 0.25f, 2, 2}});
    int32_t seen[3] = {0, 0, 0};
    forEachColumn(split, {{2, 0}}, [&](const Chunk& chunk, int32_t x, int32_t z) {
        const int32_t h = voxel::surfaceHeight(split, x, z);
        if (!grows(split, chunk, x, h, z)) return;
        const float u = voxel::latticeUnit(x, z, split.seed + 401);
        const int32_t which = u < 0.5f ? 0 : u < 0.75f ? 1 : 2;
        const int32_t expected[3] = {plantHeight(chunk, x, h, z, diamondId),
                                     plantHeight(chunk, x, h, z, goldId),
                                     cellAt(chunk, x, h + 1, z) == voxel::airId};
        EXPECT_EQ(expected[which], which == 1 ? 2 : 1) << x << " " << z;
        ++seen[which];
    });
    EXPECT_GT(seen[0], 0);
    EXPECT_GT(seen[1], 0);
    EXPECT_GT(seen[2], 0);
}

// Desert columns whose plant draw passes 0.984 grow a cactus of 2 + trunc(2 u) blocks; chunks
// (34, -40) and (35, -40) hold cacti of both heights.
TEST_F(CustomPlants, CactiOfTwoOrThreeBlocksInTheDesert) {
    const uint8_t cactus = 13;
    voxel::registerBlock(cactus, testsupport::namedBlock("core:cactus"));
    const GenerationContext context = contextOf(12345, 4);
    int32_t seen[4] = {0, 0, 0, 0};
    forEachColumn(context, {{34, -40}, {35, -40}}, [&](const Chunk& chunk, int32_t x, int32_t z) {
        const voxel::ColumnInfo info = voxel::columnInfo(context, x, z);
        const bool grown = info.biome == voxel::desertBiome && info.height >= 49 &&
                           !voxel::nearRuins(context, x, z) &&
                           voxel::latticeUnit(x, z, context.seed + 401) > 0.984f;
        const int32_t n =
            grown ? 2 + static_cast<int32_t>(2.0f * voxel::latticeUnit(x, z, context.seed + 403)) : 0;
        EXPECT_EQ(plantHeight(chunk, x, info.height, z, cactus), n) << x << " " << z;
        ++seen[std::min(n, 3)];
    });
    EXPECT_GT(seen[2], 0);
    EXPECT_GT(seen[3], 0);
}

// A dungeon of spacing 64 and chance 1 has its origin in the middle of every cell, so the entrance
// test alone decides where one stands.
voxel::StructureRule crypt(int32_t entranceX, int32_t entranceZ) {
    voxel::StructureRule rule;
    rule.id = "test:crypt";
    rule.name = "Crypt";
    rule.dungeon = true;
    rule.spacing = 64;
    rule.chance = 1.0f;
    rule.entranceX = entranceX;
    rule.entranceZ = entranceZ;
    rule.spawns = {voxel::StructureSpawn{}};
    rule.parts = {{.fromY = 1, .toX = 1, .toY = 2, .toZ = 1, .block = diamondId}};
    return rule;
}

GenerationContext withStructures(std::vector<voxel::StructureRule> rules) {
    auto profile = std::make_shared<GenerationProfile>();
    profile->structures = std::move(rules);
    return contextOf(12345, 3, profile);
}

// The largest height difference between the origin and the nine columns around the entrance.
int32_t entranceStep(const GenerationContext& context, const voxel::StructureRule& rule, int32_t x, int32_t y,
                     int32_t z) {
    int32_t step = 0;
    for (const int32_t dz : {-4, 0, 4})
        for (const int32_t dx : {-4, 0, 4})
            step = std::max(step, std::abs(voxel::surfaceHeight(context, x + rule.entranceX + dx,
                                                                z + rule.entranceZ + dz) -
                                           y));
    return step;
}

// Calls check(gx, gz, x, y, z) at the centre (x, z) of every cell of spacing 64 in the given ranges
// whose surface y lies in 49..maxY.
template <class Check>
void forEachSite(const GenerationContext& context, std::pair<int32_t, int32_t> gxs,
                 std::pair<int32_t, int32_t> gzs, int32_t maxY, Check check) {
    for (int32_t gz = gzs.first; gz <= gzs.second; ++gz)
        for (int32_t gx = gxs.first; gx <= gxs.second; ++gx) {
            const int32_t x = 64 * gx + 32, z = 64 * gz + 32, y = voxel::surfaceHeight(context, x, z);
            if (y >= 49 && y <= maxY) check(gx, gz, x, y, z);
        }
}

// Present exactly where every entrance column lies within 1 of the origin's height (and that
// height is 49..88); the scan must meet steps of 1 and 2 for the edge to count.
TEST(DungeonEntrance, EveryColumnWithinOneOfTheOrigin) {
    const voxel::StructureRule rule = crypt(6, -5);
    const GenerationContext context = withStructures({rule});
    int32_t present = 0, stepOne = 0, stepTwo = 0;
    forEachSite(context, {-20, 20}, {-6, 6}, 88,
                [&](int32_t gx, int32_t gz, int32_t x, int32_t y, int32_t z) {
                    const int32_t step = entranceStep(context, rule, x, y, z);
                    const bool site = voxel::structureAt(context, rule, gx, gz).present;
                    EXPECT_EQ(site, step <= 1) << gx << " " << gz << " step " << step;
                    present += site;
                    stepOne += step == 1;
                    stepTwo += step == 2;
                });
    EXPECT_GT(present, 0);
    EXPECT_GT(stepOne, 0);
    EXPECT_GT(stepTwo, 0);
}

// Generation places the marker at the origin of cell (gx, 0), surface 49..maxY, exactly where
// `stands` says; the scan must meet both outcomes.
template <class Stands>
void expectMarkerWhere(const GenerationContext& context, std::pair<int32_t, int32_t> gxs, int32_t maxY,
                       Stands stands) {
    int32_t placed = 0, refused = 0;
    forEachSite(context, gxs, {0, 0}, maxY, [&](int32_t gx, int32_t, int32_t x, int32_t y, int32_t z) {
        const bool present = stands(gx, x, z);
        const Chunk chunk = voxel::generateChunk(context, voxel::floorDiv(x, 16), voxel::floorDiv(z, 16));
        EXPECT_EQ(cellAt(chunk, x, y + 1, z) == diamondId, present) << gx;
        placed += present;
        refused += !present;
    });
    EXPECT_GT(placed, 0);
    EXPECT_GT(refused, 0);
}

TEST(DungeonEntrance, GeneratedOnlyWhereTheSiteIsPresent) {
    const voxel::StructureRule rule = crypt(0, 0);
    const GenerationContext context = withStructures({rule});
    expectMarkerWhere(context, {0, 11}, 88, [&](int32_t gx, int32_t, int32_t) {
        return voxel::structureAt(context, rule, gx, 0).present;
    });
}

// A structure with a biome list stands only where its origin's biome is listed.
TEST(StructureBiomes, OnlyOnTheListedBiomes) {
    voxel::StructureRule rule = crypt(0, 0);
    rule.dungeon = false;
    rule.spawns.clear();
    rule.biomes = {"core:forest", "core:desert"};
    const GenerationContext context = withStructures({rule});
    expectMarkerWhere(context, {-12, 11}, 127, [&](int32_t, int32_t x, int32_t z) {
        const std::string biome = voxel::biomeId(context, x, z);
        return biome == "core:forest" || biome == "core:desert";
    });
}

// A road outpost keeps 28 blocks from other inhabited structures on both axes. With spacing 64 its
// origins lie at 64 g + 32; a camp of spacing 65 has its own at 65 g + 32, so in cell g the two stand
// g blocks apart in x and gz in z (for g <= 36 no other camp comes closer than 29).
TEST(OutpostSpacing, TwentyEightBlocksFromAnotherInhabitedStructure) {
    voxel::StructureRule outpost = crypt(0, 0);
    outpost.id = "core:road_outpost";
    outpost.dungeon = false;
    voxel::StructureRule camp = outpost;
    camp.id = "test:camp";
    camp.spacing = 65;
    const GenerationContext context = withStructures({outpost, camp});
    bool edgeBelow = false, edgeAt = false;
    forEachSite(context, {20, 36}, {-4, 4}, 88, [&](int32_t g, int32_t gz, int32_t x, int32_t, int32_t z) {
        const voxel::SiteRecord other = voxel::structureAt(context, camp, g, gz);
        if (!other.present) return;
        EXPECT_EQ(other.x - x, g);
        EXPECT_EQ(other.z - z, gz);
        EXPECT_EQ(voxel::structureAt(context, outpost, g, gz).present, g >= 28) << g << " " << gz;
        edgeBelow |= g == 27;
        edgeAt |= g == 28;
    });
    EXPECT_TRUE(edgeBelow);
    EXPECT_TRUE(edgeAt);
}

}  // namespace
