// Limits of the generation rules outside the noise: profile ores, custom-biome plants and the
// entrance test of dungeons, each taken at its exact edge.
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

namespace {

using voxel::Chunk;
using voxel::GenerationContext;
using voxel::GenerationProfile;
using worldtest::contextOf;

constexpr uint8_t dirtId = 2;
constexpr uint8_t stoneId = 3;
constexpr uint8_t goldId = 11;
constexpr uint8_t diamondId = 12;

uint8_t cellAt(const Chunk& chunk, int32_t x, int32_t y, int32_t z) {
    return chunk.get(static_cast<uint32_t>(x - 16 * chunk.cx), static_cast<uint32_t>(y),
                     static_cast<uint32_t>(z - 16 * chunk.cz));
}

std::shared_ptr<GenerationProfile> withOres(std::vector<voxel::OreRule> ores) {
    auto profile = std::make_shared<GenerationProfile>();
    profile->ores = std::move(ores);
    return profile;
}

voxel::OreRule ore(uint8_t block, uint8_t replace, int32_t minY, int32_t maxY) {
    voxel::OreRule rule;
    rule.block = block;
    rule.replace = replace;
    rule.minY = minY;
    rule.maxY = maxY;
    rule.density = 1.0f;  // every cell the rule may touch
    return rule;
}

// The first rule whose block and height range fit takes the cell; outside every range, and in the
// three layers under the surface, the chunk stays as it is without ore rules.
TEST(ProfileOres, HeightRangeIsInclusiveAndTheFirstFittingRuleWins) {
    const auto ores = withOres({ore(goldId, stoneId, 20, 25), ore(diamondId, stoneId, 20, 30)});
    for (const auto& [cx, cz] : {std::pair{0, 0}, std::pair{-3, 4}}) {
        const Chunk plain = voxel::generateChunk(contextOf(12345, 3, std::make_shared<GenerationProfile>()), cx, cz);
        const Chunk rich = voxel::generateChunk(contextOf(12345, 3, ores), cx, cz);
        int32_t gold = 0, diamond = 0;
        for (uint32_t lz = 0; lz < 16; ++lz) {
            for (uint32_t lx = 0; lx < 16; ++lx) {
                for (uint32_t y = 0; y < 128; ++y) {
                    const uint8_t before = plain.get(lx, y, lz);
                    uint8_t expected = before;
                    if (before == stoneId && y >= 20 && y <= 25) expected = goldId;
                    if (before == stoneId && y >= 26 && y <= 30) expected = diamondId;
                    ASSERT_EQ(rich.get(lx, y, lz), expected) << lx << " " << y << " " << lz;
                    gold += expected == goldId && before == stoneId;
                    diamond += expected == diamondId && before == stoneId;
                }
            }
        }
        EXPECT_GT(gold, 500);
        EXPECT_GT(diamond, 500);
    }
}

// Dirt lies only in the three layers under the surface (h - 3 .. h - 1), where ore rules never
// reach; bare mountain stone at the surface is out of their reach too.
TEST(ProfileOres, NeverInTheLayersUnderTheSurface) {
    const auto dirtOre = withOres({ore(goldId, dirtId, 0, 127)});
    const auto stoneOre = withOres({ore(goldId, stoneId, 0, 127)});
    const GenerationContext plain = contextOf(12345, 3, std::make_shared<GenerationProfile>());
    const int32_t x = -33, z = 64;  // bare mountain stone on top at 87
    ASSERT_EQ(voxel::surfaceHeight(plain, x, z), 87);
    const Chunk bare = voxel::generateChunk(plain, -3, 4);
    ASSERT_EQ(cellAt(bare, x, 87, z), stoneId);
    ASSERT_EQ(cellAt(bare, x, 84, z), dirtId);
    const Chunk dirty = voxel::generateChunk(contextOf(12345, 3, dirtOre), -3, 4);
    EXPECT_EQ(dirty.cells, bare.cells);
    const Chunk stony = voxel::generateChunk(contextOf(12345, 3, stoneOre), -3, 4);
    EXPECT_EQ(cellAt(stony, x, 87, z), stoneId);
    EXPECT_EQ(cellAt(stony, x, 83, z), goldId) << "the first cell below the three layers";
}

class CustomPlants : public testsupport::FreshRegistryTest {
   protected:
    // Every column of the world in one custom biome without trees, growing the given plants.
    static GenerationContext meadow(std::vector<voxel::PlantRule> plants) {
        auto profile = std::make_shared<GenerationProfile>();
        voxel::BiomeRule biome;
        biome.id = "test:meadow";
        biome.chance = 1.0f;
        biome.treeDensity = 0.0f;
        biome.plants = std::move(plants);
        profile->biomes = {biome};
        return contextOf(12345, 3, profile);
    }

    // The plant's cells above the surface of column (x, z): its height, or -1 when another block
    // interrupts it.
    static int32_t plantHeight(const Chunk& chunk, int32_t x, int32_t h, int32_t z, uint8_t block) {
        int32_t n = 0;
        while (h + 1 + n < 128 && cellAt(chunk, x, h + 1 + n, z) == block) ++n;
        return n;
    }
};

// Height n = min(max, min + trunc((max - min + 1) u)), u from the column's hash; plants need a
// surface of at least 49. Chunks (-13, -38) and (-14, -38) hold a shore at heights 48 and 49.
TEST_F(CustomPlants, HeightsBetweenTheirLimitsAndOnlyFromHeight49) {
    struct Row {
        int32_t minHeight, maxHeight;
    };
    const Row rows[] = {{1, 1}, {3, 3}, {2, 4}, {3, 2}, {1, 6}};
    for (const Row& row : rows) {
        const GenerationContext context = meadow({{goldId, 1.0f, row.minHeight, row.maxHeight}});
        int32_t at48 = 0, at49 = 0, tallest = 0, shortest = 128;
        for (const auto& [cx, cz] : {std::pair{-13, -38}, std::pair{-14, -38}, std::pair{2, 0}}) {
            const Chunk chunk = voxel::generateChunk(context, cx, cz);
            for (int32_t z = 16 * cz; z < 16 * cz + 16; ++z) {
                for (int32_t x = 16 * cx; x < 16 * cx + 16; ++x) {
                    const int32_t h = voxel::surfaceHeight(context, x, z);
                    const bool grows = h >= 49 && cellAt(chunk, x, h, z) != voxel::airId && !voxel::nearRuins(context, x, z);
                    const float u = voxel::latticeUnit(x, z, context.seed + 403);
                    const int32_t span = row.maxHeight - row.minHeight + 1;
                    const int32_t n = std::min(row.maxHeight, row.minHeight + static_cast<int32_t>(static_cast<float>(span) * u));
                    EXPECT_EQ(plantHeight(chunk, x, h, z, goldId), grows ? n : 0) << x << " " << z << " h " << h;
                    at48 += h == 48;
                    at49 += h == 49 && grows;
                    if (grows) {
                        tallest = std::max(tallest, n);
                        shortest = std::min(shortest, n);
                    }
                }
            }
        }
        EXPECT_GT(at48, 0) << "the chunks must hold the edge on both sides";
        EXPECT_GT(at49, 0);
        EXPECT_EQ(tallest, row.maxHeight) << "the cap, and reached";
        EXPECT_EQ(shortest, std::min(row.minHeight, row.maxHeight));
    }
}

// The plant whose running sum of chances first exceeds the column's draw grows; when the chances
// never pass the draw, nothing does.
TEST_F(CustomPlants, RunningSumOfChancesChoosesThePlant) {
    const GenerationContext split = meadow({{goldId, 0.0f, 1, 1}, {diamondId, 0.5f, 1, 1}, {goldId, 0.25f, 2, 2}});
    const Chunk chunk = voxel::generateChunk(split, 2, 0);
    int32_t none = 0, first = 0, second = 0;
    for (int32_t z = 0; z < 16; ++z) {
        for (int32_t x = 32; x < 48; ++x) {
            const int32_t h = voxel::surfaceHeight(split, x, z);
            if (h < 49 || cellAt(chunk, x, h, z) == voxel::airId || voxel::nearRuins(split, x, z)) continue;
            const float u = voxel::latticeUnit(x, z, split.seed + 401);
            if (u < 0.5f) {
                EXPECT_EQ(plantHeight(chunk, x, h, z, diamondId), 1) << x << " " << z;
                ++first;
            } else if (u < 0.75f) {
                EXPECT_EQ(plantHeight(chunk, x, h, z, goldId), 2) << x << " " << z;
                ++second;
            } else {
                EXPECT_EQ(cellAt(chunk, x, h + 1, z), voxel::airId) << x << " " << z;
                ++none;
            }
        }
    }
    EXPECT_GT(first, 0);
    EXPECT_GT(second, 0);
    EXPECT_GT(none, 0);
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
    voxel::StructureCuboid marker;
    marker.fromY = 1;
    marker.toX = 1;
    marker.toY = 2;
    marker.toZ = 1;
    marker.block = diamondId;
    rule.parts = {marker};
    return rule;
}

// The largest height difference between the origin and the nine columns around the entrance.
int32_t entranceStep(const GenerationContext& context, const voxel::StructureRule& rule, int32_t x, int32_t y,
                     int32_t z) {
    int32_t step = 0;
    for (const int32_t dz : {-4, 0, 4}) {
        for (const int32_t dx : {-4, 0, 4}) {
            const int32_t ground = voxel::surfaceHeight(context, x + rule.entranceX + dx, z + rule.entranceZ + dz);
            step = std::max(step, std::abs(ground - y));
        }
    }
    return step;
}

// Present exactly where every entrance column lies within 1 of the origin's height (and that
// height is 49..88); the scan must meet steps of 1 and 2 for the edge to count.
TEST(DungeonEntrance, EveryColumnWithinOneOfTheOrigin) {
    const voxel::StructureRule rule = crypt(6, -5);
    auto profile = std::make_shared<GenerationProfile>();
    profile->structures = {rule};
    const GenerationContext context = contextOf(12345, 3, profile);
    int32_t present = 0, stepOne = 0, stepTwo = 0;
    for (int32_t gz = -6; gz <= 6; ++gz) {
        for (int32_t gx = -20; gx <= 20; ++gx) {
            const int32_t x = 64 * gx + 32, z = 64 * gz + 32;
            const int32_t y = voxel::surfaceHeight(context, x, z);
            if (y < 49 || y > 88) continue;
            const int32_t step = entranceStep(context, rule, x, y, z);
            const voxel::SiteRecord site = voxel::structureAt(context, rule, gx, gz);
            EXPECT_EQ(site.present, step <= 1) << gx << " " << gz << " step " << step;
            present += site.present;
            stepOne += step == 1;
            stepTwo += step == 2;
        }
    }
    EXPECT_GT(present, 0);
    EXPECT_GT(stepOne, 0);
    EXPECT_GT(stepTwo, 0);
}

// Generation places the dungeon where the site is present and leaves the cell alone elsewhere.
TEST(DungeonEntrance, GeneratedOnlyWhereTheSiteIsPresent) {
    const voxel::StructureRule rule = crypt(0, 0);
    auto profile = std::make_shared<GenerationProfile>();
    profile->structures = {rule};
    const GenerationContext context = contextOf(12345, 3, profile);
    int32_t placed = 0, refused = 0;
    for (int32_t gx = 0; gx < 12 && (placed == 0 || refused == 0); ++gx) {
        const int32_t x = 64 * gx + 32, z = 32;
        const int32_t y = voxel::surfaceHeight(context, x, z);
        if (y < 49 || y > 88) continue;
        const bool present = voxel::structureAt(context, rule, gx, 0).present;
        const Chunk chunk = voxel::generateChunk(context, voxel::floorDiv(x, 16), voxel::floorDiv(z, 16));
        EXPECT_EQ(cellAt(chunk, x, y + 1, z) == diamondId, present) << gx;
        placed += present;
        refused += !present;
    }
    EXPECT_GT(placed, 0);
    EXPECT_GT(refused, 0);
}

// Desert columns whose plant draw passes 0.984 grow a cactus of 2 + trunc(2 u) blocks; chunks
// (34, -40) and (35, -40) hold cacti of both heights.
TEST_F(CustomPlants, CactiOfTwoOrThreeBlocksInTheDesert) {
    const uint8_t cactus = 13;
    voxel::registerBlock(cactus, testsupport::namedBlock("core:cactus"));
    const GenerationContext context = contextOf(12345, 4);
    int32_t seen[4] = {0, 0, 0, 0};
    for (const auto& [cx, cz] : {std::pair{34, -40}, std::pair{35, -40}}) {
        const Chunk chunk = voxel::generateChunk(context, cx, cz);
        for (int32_t z = 16 * cz; z < 16 * cz + 16; ++z) {
            for (int32_t x = 16 * cx; x < 16 * cx + 16; ++x) {
                const voxel::ColumnInfo info = voxel::columnInfo(context, x, z);
                const bool grows = info.biome == voxel::desertBiome && info.height >= 49 &&
                                   !voxel::nearRuins(context, x, z) && voxel::latticeUnit(x, z, context.seed + 401) > 0.984f;
                const int32_t n = grows ? 2 + static_cast<int32_t>(2.0f * voxel::latticeUnit(x, z, context.seed + 403)) : 0;
                EXPECT_EQ(plantHeight(chunk, x, info.height, z, cactus), n) << x << " " << z;
                ++seen[std::min(n, 3)];
            }
        }
    }
    EXPECT_GT(seen[2], 0);
    EXPECT_GT(seen[3], 0);
}

// A structure with a biome list stands only where its origin's biome is listed.
TEST(StructureBiomes, OnlyOnTheListedBiomes) {
    auto profile = std::make_shared<GenerationProfile>();
    voxel::StructureRule rule = crypt(0, 0);
    rule.dungeon = false;
    rule.spawns.clear();
    rule.biomes = {"core:forest", "core:desert"};
    profile->structures = {rule};
    const GenerationContext context = contextOf(12345, 3, profile);
    int32_t placed = 0, otherBiome = 0;
    for (int32_t gx = -12; gx < 12; ++gx) {
        const int32_t x = 64 * gx + 32, z = 32;
        const int32_t y = voxel::surfaceHeight(context, x, z);
        if (y < 49) continue;
        const std::string biome = voxel::biomeId(context, x, z);
        const bool listed = biome == "core:forest" || biome == "core:desert";
        const Chunk chunk = voxel::generateChunk(context, voxel::floorDiv(x, 16), voxel::floorDiv(z, 16));
        EXPECT_EQ(cellAt(chunk, x, y + 1, z) == diamondId, listed) << gx << " " << biome;
        placed += listed;
        otherBiome += !listed;
    }
    EXPECT_GT(placed, 0);
    EXPECT_GT(otherBiome, 0);
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
    auto profile = std::make_shared<GenerationProfile>();
    profile->structures = {outpost, camp};
    const GenerationContext context = contextOf(12345, 3, profile);
    bool edgeBelow = false, edgeAt = false;
    for (int32_t gz = -4; gz <= 4; ++gz) {
        for (int32_t g = 20; g <= 36; ++g) {
            const int32_t x = 64 * g + 32, z = 64 * gz + 32;
            const int32_t y = voxel::surfaceHeight(context, x, z);
            const voxel::SiteRecord other = voxel::structureAt(context, camp, g, gz);
            if (y < 49 || y > 88 || !other.present) continue;
            ASSERT_EQ(other.x - x, g);
            ASSERT_EQ(other.z - z, gz);
            EXPECT_EQ(voxel::structureAt(context, outpost, g, gz).present, g >= 28) << g << " " << gz;
            edgeBelow |= g == 27;
            edgeAt |= g == 28;
        }
    }
    EXPECT_TRUE(edgeBelow);
    EXPECT_TRUE(edgeAt);
}

}  // namespace
