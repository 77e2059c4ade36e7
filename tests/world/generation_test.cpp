#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "profile_fixture.h"
#include "support/fresh_registry.h"
#include "world/block_registry.h"
#include "world/city.h"
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
using worldtest::terrainProfile;

constexpr uint8_t waterId = 5;
constexpr uint8_t logId = 7;
constexpr uint8_t oakLeavesId = 8;
constexpr uint8_t goldId = 11;
constexpr uint8_t diamondId = 12;

int32_t chunkOf(int32_t v) {
    return voxel::floorDiv(v, 16);
}

uint8_t cellAt(const Chunk& chunk, int32_t x, int32_t y, int32_t z) {
    return chunk.get(static_cast<uint32_t>(x - 16 * chunk.cx), static_cast<uint32_t>(y),
                     static_cast<uint32_t>(z - 16 * chunk.cz));
}

// A column as one hex digit per cell, y 0 first.
std::string columnText(const Chunk& chunk, uint32_t lx, uint32_t lz) {
    std::string text;
    for (uint32_t y = 0; y < 128; ++y) text += "0123456789abcdef"[std::min<uint8_t>(chunk.get(lx, y, lz), 15)];
    return text;
}

class Generation : public testsupport::FreshRegistryTest {
   protected:
    static uint8_t addBlock(uint32_t id, const std::string& contentId) {
        voxel::BlockDef def = testsupport::namedBlock(contentId);
        def.solid = true;
        def.opaque = true;
        voxel::registerBlock(id, def);
        return static_cast<uint8_t>(id);
    }
};

// The expected columns were worked out independently from the formulas: layers, caves (the cave
// grid interpolated over x, then y, then z), the shaft, ores and water. Air ('0') fills each column up
// to 128.
TEST_F(Generation, GoldenColumnsOfTheTerrainPass) {
    struct Case {
        uint32_t seed;
        int32_t stage, cx, cz;
        uint32_t lx, lz;
        const char* column;
    };
    const Case cases[] = {
        {12345, 2, 0, 0, 3, 5, "63333333300033333333330003333333333333339a333330000000000033333339332221"},
        // This column lies in a shaft.
        {12345, 2, 2, -1, 8, 8, "6339333000933333333333333a33333333333333000033333a3333333330000333333333333332221"},
        // Bare mountain stone at 87.
        {12345, 2, -3, 4, 15, 0,
         "6333333333333333333333000000000000003333333a339333333333a3333333333333933330000033332223"},
        // A stage-4 ocean floor of sand under water up to 48.
        {12345, 4, -156, -102, 10, 6, "633333393333333b333333333333322245555555555555555"},
        {12345, 1, 1, -1, 1, 13, "63333c3333b333333a333333333333333333333333333332221"},
        // Stage 1 has its own heights and finds iron only below 52.
        {99, 1, -3, 2, 15, 8, "63333b3333333333333333333a333333333333339333333332221"},
    };
    for (const Case& c : cases) {
        const Chunk chunk = voxel::generateChunk(contextOf(c.seed, c.stage), c.cx, c.cz);
        std::string column = c.column;
        column.resize(128, '0');
        EXPECT_EQ(columnText(chunk, c.lx, c.lz), column) << c.cx << "," << c.cz << " " << c.lx << "," << c.lz;
    }
}

// Every cave and shaft cell below the surface layers of two whole chunks, counted the same way.
TEST_F(Generation, GoldenCaveCounts) {
    const GenerationContext context = contextOf(12345, 2);
    struct Case {
        int32_t cx, cz, carved;
    };
    for (const Case& c : {Case{0, 0, 3667}, Case{-1, 2, 6809}}) {
        const Chunk chunk = voxel::generateChunk(context, c.cx, c.cz);
        int32_t carved = 0;
        for (uint32_t lz = 0; lz < 16; ++lz) {
            for (uint32_t lx = 0; lx < 16; ++lx) {
                const int32_t h = voxel::surfaceHeight(context, 16 * c.cx + static_cast<int32_t>(lx),
                                                       16 * c.cz + static_cast<int32_t>(lz));
                for (int32_t y = 7; y < h - 4; ++y) carved += chunk.get(lx, static_cast<uint32_t>(y), lz) == voxel::airId;
            }
        }
        EXPECT_EQ(carved, c.carved) << c.cx << "," << c.cz;
    }
}

TEST_F(Generation, SameContextGivesIdenticalChunksInAnyOrder) {
    addBlock(13, "core:tall_grass");
    addBlock(14, "core:chest");
    auto custom = std::make_shared<GenerationProfile>();
    voxel::BiomeRule glade;
    glade.id = "test:glade";
    glade.chance = 0.7f;
    glade.plants = {{13, 0.3f, 1, 2}};
    custom->biomes = {glade};
    const GenerationContext contexts[] = {
        contextOf(12345, 1), contextOf(12345, 2), contextOf(12345, 3, custom), contextOf(12345, 4),
        contextOf(7, 4, terrainProfile("ashen")), contextOf(7, 4, terrainProfile("frozen")),
        contextOf(7, 4, terrainProfile("sky"))};
    for (const GenerationContext& context : contexts) {
        std::vector<Chunk> forward;
        for (int32_t i = 0; i < 9; ++i) forward.push_back(voxel::generateChunk(context, i % 3 - 1, i / 3 - 1));
        for (int32_t i = 8; i >= 0; --i) {
            const Chunk again = voxel::generateChunk(context, i % 3 - 1, i / 3 - 1);
            EXPECT_EQ(again.cells, forward[static_cast<std::size_t>(i)].cells) << "chunk " << i;
        }
    }
}

TEST_F(Generation, StageOneHasNoWaterCavesOrTrees) {
    for (int32_t i = 0; i < 9; ++i) {
        const Chunk chunk = voxel::generateChunk(contextOf(12345, 1), i % 3, i / 3);
        for (uint32_t z = 0; z < 16; ++z) {
            for (uint32_t x = 0; x < 16; ++x) {
                uint32_t top = 127;
                while (chunk.get(x, top, z) == voxel::airId) --top;
                EXPECT_EQ(chunk.get(x, top, z), 1);  // grass, never a plant or a log
                for (uint32_t y = 0; y < top; ++y) {
                    ASSERT_NE(chunk.get(x, y, z), voxel::airId) << "cave at " << x << "," << y << "," << z;
                    ASSERT_NE(chunk.get(x, y, z), waterId);
                }
            }
        }
    }
}

TEST_F(Generation, StageTwoHasCavesAndRuinsButNoChests) {
    const uint8_t chest = addBlock(14, "core:chest");
    const GenerationContext two = contextOf(12345, 2);
    const GenerationContext four = contextOf(12345, 4);
    int32_t caves = 0;
    for (int32_t i = 0; i < 4; ++i) {
        const Chunk chunk = voxel::generateChunk(two, i, 0);
        for (uint32_t z = 0; z < 16; ++z) {
            for (uint32_t x = 0; x < 16; ++x) {
                for (uint32_t y = 7; y < 40; ++y) caves += chunk.get(x, y, z) == voxel::airId;
            }
        }
    }
    EXPECT_GT(caves, 0);
    // The first ruins present at both stages: walls at stage 2 and a chest only at stage 4.
    int32_t checked = 0;
    for (int32_t r = 0; r < 40 && checked == 0; ++r) {
        const voxel::RuinsSite atTwo = voxel::ruinsSite(two, r % 8, r / 8);
        const voxel::RuinsSite atFour = voxel::ruinsSite(four, r % 8, r / 8);
        if (!atTwo.present || !atFour.present) continue;
        const Chunk old = voxel::generateChunk(two, chunkOf(atTwo.x + 2), chunkOf(atTwo.z + 2));
        EXPECT_EQ(cellAt(old, atTwo.x + 2, atTwo.y, atTwo.z + 2), 3);  // the stone floor
        EXPECT_EQ(cellAt(old, atTwo.x + 2, atTwo.y + 1, atTwo.z + 2), voxel::airId);
        EXPECT_EQ(std::count(old.cells.begin(), old.cells.end(), chest), 0);
        const Chunk recent = voxel::generateChunk(four, chunkOf(atFour.x + 2), chunkOf(atFour.z + 2));
        EXPECT_EQ(cellAt(recent, atFour.x + 2, atFour.y + 1, atFour.z + 2), chest);
        EXPECT_EQ(voxel::chestLootAt(four, atFour.x + 2, atFour.y + 1, atFour.z + 2), "core:ruins");
        EXPECT_EQ(voxel::chestLootAt(four, atFour.x + 2, atFour.y + 2, atFour.z + 2), "");
        EXPECT_EQ(voxel::chestLootAt(contextOf(12345, 3), atFour.x + 2, atFour.y + 1, atFour.z + 2), "");
        ++checked;
    }
    EXPECT_EQ(checked, 1);
}

TEST_F(Generation, RuinsGapAndCornerPosts) {
    const GenerationContext context = contextOf(12345, 4);
    voxel::RuinsSite site;
    for (int32_t r = 0; r < 40 && !site.present; ++r) site = voxel::ruinsSite(context, r % 8 - 4, r / 8 - 2);
    ASSERT_TRUE(site.present);
    const Chunk chunk = voxel::generateChunk(context, chunkOf(site.x - 4), chunkOf(site.z - 4));
    EXPECT_EQ(cellAt(chunk, site.x - 4, site.y + 1, site.z - 4), logId);
    EXPECT_EQ(cellAt(chunk, site.x - 4, site.y + 4, site.z - 4), voxel::airId);  // walls are 1..3 high
    const Chunk gapChunk = voxel::generateChunk(context, chunkOf(site.x), chunkOf(site.z - 4));
    EXPECT_EQ(cellAt(gapChunk, site.x, site.y + 1, site.z - 4), voxel::airId);
    EXPECT_TRUE(voxel::nearRuins(context, site.x + 8, site.z - 8));
    EXPECT_FALSE(voxel::nearRuins(context, site.x + 9, site.z));
}

// Columns whose plant draw asks for a flower, on grass of the grassy biomes.
std::vector<std::array<int32_t, 3>> flowerColumns(const GenerationContext& context, int32_t cx, int32_t cz) {
    std::vector<std::array<int32_t, 3>> columns;
    for (int32_t z = 16 * cz; z < 16 * cz + 16; ++z) {
        for (int32_t x = 16 * cx; x < 16 * cx + 16; ++x) {
            const voxel::ColumnInfo info = voxel::columnInfo(context, x, z);
            const bool grassy = info.biome == 0 || info.biome == 1 || info.biome == 33;
            if (!grassy || info.height < 49 || voxel::nearRuins(context, x, z)) continue;
            if (voxel::latticeUnit(x, z, context.seed + 401) > 0.965f) columns.push_back({x, info.height, z});
        }
    }
    return columns;
}

// Plains around (5433, 3103) at seed 12345.
TEST_F(Generation, FlowersFallBackToTallGrass) {
    const uint8_t grass = addBlock(13, "core:tall_grass");
    const GenerationContext context = contextOf(12345, 4);
    std::size_t seen = 0;
    int32_t flowerChunk = -1;
    for (int32_t cx = 336; cx < 346 && seen < 8; ++cx) {
        const Chunk chunk = voxel::generateChunk(context, cx, 193);
        for (const auto& c : flowerColumns(context, cx, 193)) {
            if (cellAt(chunk, c[0], c[1], c[2]) != 1 || cellAt(chunk, c[0], c[1] + 1, c[2]) == logId) continue;
            EXPECT_EQ(cellAt(chunk, c[0], c[1] + 1, c[2]), grass);
            flowerChunk = cx;
            ++seen;
        }
    }
    ASSERT_GT(seen, 0u);
    const uint8_t flower = addBlock(14, "core:flower");
    const Chunk chunk = voxel::generateChunk(context, flowerChunk, 193);
    for (const auto& c : flowerColumns(context, flowerChunk, 193)) {
        if (cellAt(chunk, c[0], c[1], c[2]) == 1 && cellAt(chunk, c[0], c[1] + 1, c[2]) != logId) {
            EXPECT_EQ(cellAt(chunk, c[0], c[1] + 1, c[2]), flower);
        }
    }
}

TEST_F(Generation, FrozenSeaSurface) {
    const GenerationContext context = contextOf(12345, 4, terrainProfile("frozen"));
    const int32_t x = -2486;  // an ocean column, floor at 32
    const int32_t z = -1626;
    ASSERT_LT(voxel::surfaceHeight(context, x, z), 47);
    const Chunk open = voxel::generateChunk(context, chunkOf(x), chunkOf(z));
    EXPECT_EQ(cellAt(open, x, 48, z), voxel::airId);
    EXPECT_EQ(cellAt(open, x, 47, z), waterId);
    const uint8_t ice = addBlock(13, "core:frost_ice");
    const Chunk frozen = voxel::generateChunk(context, chunkOf(x), chunkOf(z));
    EXPECT_EQ(cellAt(frozen, x, 48, z), ice);
    EXPECT_EQ(cellAt(frozen, x, 47, z), waterId);
}

// A custom biome of the cooler half whose trees all grow, with gold-ore leaves; elsewhere the
// built-in biomes with their oak trees.
std::shared_ptr<GenerationProfile> coolGrove() {
    auto profile = std::make_shared<GenerationProfile>();
    voxel::BiomeRule grove;
    grove.id = "test:grove";
    grove.chance = 1.0f;
    grove.temperatureMax = 0.5f;
    grove.treeDensity = 1.0f;
    grove.leavesBlock = goldId;
    profile->biomes = {grove};
    return profile;
}

TEST_F(Generation, TreesAcrossABiomeBorderFollowTheirTrunkColumn) {
    const GenerationContext context = contextOf(4242, 3, coolGrove());
    struct Case {
        int32_t x, z, top;  // the trunk column, its last log two blocks west of a chunk border
        int32_t trunkBiome, borderBiome;
        uint8_t leaves;
    };
    const Case cases[] = {{398, -260, 61, voxel::forestBiome, 4, oakLeavesId}, {-417, 319, 64, 4, voxel::plainsBiome, goldId}};
    for (const Case& c : cases) {
        const int32_t border = 16 * (chunkOf(c.x) + 1);
        ASSERT_EQ(voxel::biomeIndex(context, c.x, c.z), c.trunkBiome);
        ASSERT_EQ(voxel::biomeIndex(context, border, c.z), c.borderBiome);
        ASSERT_LT(voxel::surfaceHeight(context, border, c.z), c.top);
        const Chunk west = voxel::generateChunk(context, chunkOf(c.x), chunkOf(c.z));
        EXPECT_EQ(cellAt(west, c.x, c.top, c.z), logId);
        EXPECT_EQ(cellAt(west, c.x, c.top + 1, c.z), c.leaves);
        // The layer level with the trunk's top reaches two blocks: over the border, whose own biome
        // would grow other leaves or none.
        const Chunk east = voxel::generateChunk(context, chunkOf(border), chunkOf(c.z));
        EXPECT_EQ(cellAt(east, border, c.top, c.z), c.leaves);
    }
}

voxel::StructureRule marker(const std::string& id) {
    voxel::StructureRule rule;
    rule.id = id;
    rule.name = id;
    rule.spacing = 64;
    rule.chance = 1.0f;
    voxel::StructureCuboid post;
    post.fromY = 1;
    post.toX = 1;
    post.toY = 3;
    post.toZ = 1;
    post.block = diamondId;
    rule.parts = {post};
    rule.loot_chests = {{1, 1, 0, 13, "test:hut_loot"}};
    return rule;
}

// Where a structure of spacing 64 and chance 1 has its origin: the middle of its cell.
TEST_F(Generation, ProfileStructuresAndTheirChests) {
    addBlock(13, "test:chest");
    auto profile = std::make_shared<GenerationProfile>();
    profile->structures = {marker("test:hut")};
    const GenerationContext three = contextOf(12345, 3, profile);
    int32_t placed = 0;
    for (int32_t g = 0; g < 12 && placed < 2; ++g) {
        const int32_t ox = 64 * g + 32;
        const int32_t oz = 32;
        const int32_t oy = voxel::surfaceHeight(three, ox, oz);
        const Chunk chunk = voxel::generateChunk(three, chunkOf(ox), chunkOf(oz));
        if (oy < 49) {
            EXPECT_NE(cellAt(chunk, ox, oy + 1, oz), diamondId);
            continue;
        }
        EXPECT_EQ(cellAt(chunk, ox, oy + 1, oz), diamondId);
        EXPECT_EQ(cellAt(chunk, ox, oy + 2, oz), diamondId);
        EXPECT_EQ(cellAt(chunk, ox + 1, oy + 1, oz), 13);
        EXPECT_EQ(voxel::chestLootAt(three, ox + 1, oy + 1, oz), "test:hut_loot");
        EXPECT_EQ(voxel::chestLootAt(three, ox, oy + 1, oz), "");
        EXPECT_EQ(voxel::chestLootAt(contextOf(12345, 2, profile), ox + 1, oy + 1, oz), "");
        const Chunk older = voxel::generateChunk(contextOf(12345, 2, profile), chunkOf(ox), chunkOf(oz));
        EXPECT_NE(cellAt(older, ox, oy + 1, oz), diamondId);
        ++placed;
    }
    EXPECT_EQ(placed, 2);
}

TEST_F(Generation, InhabitedStructuresKeepAwayFromCities) {
    addBlock(13, "test:chest");
    voxel::StructureRule city;
    city.id = "test:town";
    city.city = true;
    city.spacing = 96;
    city.chance = 1.0f;
    voxel::StructureRule inhabited = marker("test:camp");
    inhabited.spawns = {{"test:guard", 0, 1, 0, 1}};
    auto quiet = std::make_shared<GenerationProfile>();
    quiet->structures = {city, marker("test:camp")};
    auto guarded = std::make_shared<GenerationProfile>();
    guarded->structures = {city, inhabited};
    const GenerationContext withoutSpawns = contextOf(12345, 4, quiet);
    const GenerationContext withSpawns = contextOf(12345, 4, guarded);
    int32_t checked = 0;
    for (int32_t g = 0; g < 64 && checked == 0; ++g) {
        const int32_t gx = g % 8;
        const int32_t gz = g / 8;
        const int32_t ox = 64 * gx + 32;
        const int32_t oz = 64 * gz + 32;
        const int32_t oy = voxel::surfaceHeight(withSpawns, ox, oz);
        bool cityNear = false;
        for (const voxel::CitySite& site : voxel::nearbyCitySites(withSpawns, ox, oz, 72)) {
            cityNear = cityNear || (std::abs(site.x - ox) < 64 && std::abs(site.z - oz) < 64);
        }
        if (!cityNear || oy < 49 || oy > 88) continue;
        EXPECT_FALSE(voxel::structureAt(withSpawns, guarded->structures[1], gx, gz).present);
        EXPECT_TRUE(voxel::generatedStructureSite(withoutSpawns, quiet->structures[1], gx, gz).present);
        EXPECT_FALSE(voxel::generatedStructureSite(withSpawns, guarded->structures[1], gx, gz).present);
        // The chest of the placed, uninhabited camp has loot; the inhabited camp was never placed.
        EXPECT_EQ(voxel::chestLootAt(withoutSpawns, ox + 1, oy + 1, oz), "test:hut_loot");
        EXPECT_EQ(voxel::chestLootAt(withSpawns, ox + 1, oy + 1, oz), "");
        ++checked;
    }
    EXPECT_EQ(checked, 1);
    EXPECT_FALSE(voxel::structureAt(withSpawns, city, 0, 0).present);
}

TEST_F(Generation, CitiesAreBuiltIntoTheirChunks) {
    voxel::StructureRule city;
    city.id = "test:town";
    city.city = true;
    city.spacing = 256;
    city.chance = 1.0f;
    auto profile = std::make_shared<GenerationProfile>();
    profile->structures = {city};
    const GenerationContext context = contextOf(12345, 4, profile);
    voxel::CitySite site;
    for (int32_t g = 0; g < 36 && !site.present; ++g) site = voxel::citySite(context, g % 6 - 3, g / 6 - 3);
    ASSERT_TRUE(site.present);
    const Chunk chunk = voxel::generateChunk(context, chunkOf(site.x), chunkOf(site.z));
    for (int32_t y = site.y + 1; y <= site.y + 3; ++y) EXPECT_EQ(cellAt(chunk, site.x, y, site.z), 3);
    EXPECT_EQ(cellAt(chunk, site.x, site.y + 4, site.z), waterId);
    // Below stage 3 there are no cities.
    const Chunk older = voxel::generateChunk(contextOf(12345, 2, profile), chunkOf(site.x), chunkOf(site.z));
    EXPECT_NE(cellAt(older, site.x, site.y + 4, site.z), waterId);
}

TEST_F(Generation, SkyIslandsWithTheirUpdraft) {
    const uint8_t updraft = addBlock(13, "core:sky_updraft");
    const GenerationContext context = contextOf(12345, 4, terrainProfile("sky"));
    // Island (0, 0) spans 46..66 at its centre (8, 8); its updraft column is (38, 8), top 65.
    const Chunk centre = voxel::generateChunk(context, 0, 0);
    const std::pair<int32_t, int> column[] = {{66, 1}, {65, 2}, {64, 2}, {63, 3}, {46, 3}, {47, 3}, {48, 3},
                                              {45, voxel::airId}, {67, voxel::airId}};
    for (const auto& [y, block] : column) EXPECT_EQ(cellAt(centre, 8, y, 8), block) << y;
    const Chunk east = voxel::generateChunk(context, 2, 0);
    EXPECT_EQ(cellAt(east, 38, 65, 8), 1);
    EXPECT_EQ(cellAt(east, 38, 66, 8), updraft);
    // Open sky between the islands.
    const Chunk gap = voxel::generateChunk(context, 4, 4);
    EXPECT_EQ(cellAt(gap, 64, 60, 64), voxel::airId);
    EXPECT_EQ(std::count(gap.cells.begin(), gap.cells.end(), waterId), 0);
}

TEST_F(Generation, SkyTreesGrowOnlyInCustomBiomes) {
    auto profile = terrainProfile("sky");
    voxel::BiomeRule grove;
    grove.id = "test:grove";
    grove.chance = 1.0f;
    grove.treeDensity = 1.0f;
    grove.trunkMinHeight = 4;
    grove.leavesBlock = diamondId;
    profile->biomes = {grove};
    const GenerationContext context = contextOf(12345, 4, profile);
    ASSERT_EQ(voxel::biomeIndex(context, 4, 4), 4);
    const int32_t top = voxel::skyIsland(context, 4, 4).top;
    ASSERT_GT(top, 0);
    // The tree of grid cell (0, 0) stands at (4, 4): a trunk of the rule's least height under a
    // diamond of leaves.
    const Chunk chunk = voxel::generateChunk(context, 0, 0);
    const int32_t cells[][4] = {{4, 1, 4, logId}, {4, 2, 4, logId}, {4, 3, 4, logId}, {4, 4, 4, logId},
                                {4, 5, 4, diamondId}, {6, 2, 4, diamondId}, {5, 5, 3, diamondId},
                                {6, 2, 6, voxel::airId}, {4, 6, 4, voxel::airId}};
    for (const auto& [x, dy, z, block] : cells) EXPECT_EQ(cellAt(chunk, x, top + dy, z), block) << x << " " << dy;
    // Without the custom biome the island is bare.
    const Chunk bare = voxel::generateChunk(contextOf(12345, 4, terrainProfile("sky")), 0, 0);
    EXPECT_EQ(cellAt(bare, 4, top + 1, 4), voxel::airId);
}

}  // namespace
