// Golden values below were worked out independently of this code, from the formulas with every f32
// operation rounded in turn, so they pin the arithmetic bit for bit.
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <set>

#include "profile_fixture.h"
#include "world/terrain_columns.h"

namespace {

using voxel::BiomeRule;
using voxel::GenerationContext;
using voxel::GenerationProfile;
using worldtest::contextOf;
using worldtest::terrainProfile;

BiomeRule biome(const std::string& id, uint32_t base, float chance, int32_t offset) {
    BiomeRule rule;
    rule.id = id;
    rule.name = id;
    rule.base = base;
    rule.chance = chance;
    rule.heightOffset = offset;
    return rule;
}

// Five custom biomes with every base kind: a temperate glade, a reef (ocean), a dry mesa, a bog
// (swamp) and cold peaks.
std::shared_ptr<GenerationProfile> customProfile() {
    auto profile = std::make_shared<GenerationProfile>();
    BiomeRule glade = biome("test:glade", 1, 0.6f, 5);
    glade.temperatureMin = 0.3f;
    glade.temperatureMax = 0.7f;
    BiomeRule mesa = biome("test:mesa", 2, 0.7f, 8);
    mesa.humidityMax = 0.5f;
    BiomeRule bog = biome("test:bog", 33, 0.5f, -2);
    bog.humidityMin = 0.4f;
    BiomeRule peaks = biome("test:peaks", 3, 0.9f, 0);
    peaks.temperatureMax = 0.45f;
    profile->biomes = {glade, biome("test:reef", 32, 0.8f, -3), mesa, bog, peaks};
    return profile;
}

struct Column {
    int32_t x, z, biome, height;
    const char* id = nullptr;  // the biome's id, where it is checked
};

void expectColumns(const GenerationContext& context, std::initializer_list<Column> columns) {
    for (const Column& c : columns) {
        EXPECT_EQ(voxel::biomeIndex(context, c.x, c.z), c.biome) << c.x << "," << c.z;
        EXPECT_EQ(voxel::surfaceHeight(context, c.x, c.z), c.height) << c.x << "," << c.z;
        if (c.id != nullptr) {
            EXPECT_EQ(voxel::biomeId(context, c.x, c.z), c.id) << c.x << "," << c.z;
        }
    }
}

TEST(BiomeIndex, BuiltInBiomesAtStageFour) {
    expectColumns(contextOf(12345, 4),
                  {{5433, 3103, 0, 50}, {-10000, -10000, 1, 58}, {461, -149, 2, 50},
                   {5838, -542, 3, 63, "core:mountains"}, {-2081, -5271, 32, 53, "core:ocean"},
                   {-3296, 5664, 33, 47, "core:swamp"}});
}

TEST(BiomeIndex, CustomBiomesAtStageFour) {
    expectColumns(contextOf(777, 4, customProfile()),
                  {{-3701, 9309, 0, 63}, {-642, -2222, 1, 57}, {1788, -4092, 2, 60}, {-2081, -5271, 4, 58},
                   {-6243, 4187, 5, 34, "test:reef"}, {-3296, 5664, 6, 85}, {-2486, -1626, 7, 47},
                   {9595, -6355, 8, 97, "test:peaks"}, {5433, 3103, 32, 51, "core:ocean"},
                   {-9078, 9702, 33, 49}});
}

TEST(BiomeIndex, StageThreeHasNoOceansSoTheReefMayStandOnLand) {
    expectColumns(contextOf(777, 3, customProfile()),
                  {{-2081, -5271, 4, 64}, {5433, 3103, 8, 113}, {-9078, 9702, 5, 58}});
}

TEST(BiomeIndex, StagesLimitTheBiomes) {
    const GenerationContext two = contextOf(12345, 2, customProfile());
    const GenerationContext three = contextOf(12345, 3);
    std::set<int32_t> seenTwo;
    std::set<int32_t> seenThree;
    for (int32_t i = 0; i < 600; ++i) {
        const int32_t x = (i * 7919) % 20000 - 10000;
        const int32_t z = (i * 104729) % 20000 - 10000;
        seenTwo.insert(voxel::biomeIndex(two, x, z));
        seenThree.insert(voxel::biomeIndex(three, x, z));
    }
    EXPECT_EQ(seenTwo, (std::set<int32_t>{0, 1, 2, 3}));  // custom biomes need stage 3
    EXPECT_EQ(seenThree, (std::set<int32_t>{0, 1, 2, 3}));
}

TEST(CustomBiome, LookupNeedsStageThreeAndAKnownIndex) {
    const auto profile = customProfile();
    EXPECT_EQ(voxel::customBiome(contextOf(1, 3, profile), 4), &profile->biomes[0]);
    EXPECT_EQ(voxel::customBiome(contextOf(1, 3, profile), 8), &profile->biomes[4]);
    EXPECT_EQ(voxel::customBiome(contextOf(1, 3, profile), 9), nullptr);
    EXPECT_EQ(voxel::customBiome(contextOf(1, 3, profile), 3), nullptr);
    EXPECT_EQ(voxel::customBiome(contextOf(1, 2, profile), 4), nullptr);
    EXPECT_EQ(voxel::customBiome(contextOf(1, 4), 4), nullptr);
    EXPECT_EQ(voxel::baseBiomeOf(contextOf(1, 4, profile), 5), voxel::oceanBiome);
    EXPECT_EQ(voxel::baseBiomeOf(contextOf(1, 4, profile), 2), voxel::desertBiome);
}

TEST(SurfaceHeight, AshenTerrain) {
    const GenerationContext context = contextOf(12345, 4, terrainProfile("ashen"));
    EXPECT_EQ(voxel::surfaceHeight(context, 0, 0), 79);
    EXPECT_EQ(voxel::surfaceHeight(context, 100, -50), 94);
    EXPECT_EQ(voxel::surfaceHeight(context, -777, 3000), 85);
    EXPECT_EQ(voxel::surfaceHeight(context, 5000, 5000), 76);
    for (int32_t i = 0; i < 500; ++i) {
        const int32_t h = voxel::surfaceHeight(context, i * 37 - 9000, i * 53 - 7000);
        EXPECT_GE(h, 54);
        EXPECT_LE(h, 112);
    }
}

TEST(SurfaceHeight, StaysWithinItsBoundsElsewhere) {
    const GenerationContext context = contextOf(4000000000u, 4, customProfile());
    for (int32_t i = 0; i < 800; ++i) {
        const int32_t h = voxel::surfaceHeight(context, i * 131 - 50000, i * 97 - 40000);
        EXPECT_GE(h, 10);
        EXPECT_LE(h, 116);
    }
}

TEST(SkyIsland, GoldenIslands) {
    const GenerationContext context = contextOf(12345, 4, terrainProfile("sky"));
    struct Case {
        int32_t x, z, top, bottom, centreX, centreZ;
    };
    const Case cases[] = {{8, 8, 66, 46, 8, 8},           {38, 8, 65, 53, 8, 8},
                          {200, 190, 84, 65, 192, 192},   {64, 64, -1, -1, 0, 0},
                          {-60, -70, 83, 64, -64, -64},   {300, -200, 79, 63, 320, -192}};
    for (const Case& c : cases) {
        const voxel::SkyIsland island = voxel::skyIsland(context, c.x, c.z);
        EXPECT_EQ(island.top, c.top) << c.x << "," << c.z;
        EXPECT_EQ(island.bottom, c.bottom) << c.x << "," << c.z;
        EXPECT_EQ(island.centreX, c.centreX) << c.x << "," << c.z;
        EXPECT_EQ(island.centreZ, c.centreZ) << c.x << "," << c.z;
        EXPECT_EQ(voxel::surfaceHeight(context, c.x, c.z), c.top);
    }
}

TEST(SkyIsland, CentreOfTheFirstIslandIsTwentyDeep) {
    for (uint32_t seed : {1u, 99u, 3000000000u}) {
        const voxel::SkyIsland island = voxel::skyIsland(contextOf(seed, 4, terrainProfile("sky")), 8, 8);
        EXPECT_EQ(island.bottom, island.top - 20);
        EXPECT_GE(island.top, 64);
        EXPECT_LE(island.top, 94);
    }
}

TEST(ColumnInfo, AgreesWithTheSeparateQueries) {
    for (const auto& profile : {customProfile(), terrainProfile("sky"), terrainProfile("ashen")}) {
        const GenerationContext context = contextOf(31337, 4, profile);
        for (int32_t i = 0; i < 100; ++i) {
            const int32_t x = i * 211 - 10000;
            const int32_t z = i * 173 - 8000;
            const voxel::ColumnInfo info = voxel::columnInfo(context, x, z);
            EXPECT_EQ(info.height, voxel::surfaceHeight(context, x, z));
            EXPECT_EQ(info.biome, voxel::biomeIndex(context, x, z));
        }
    }
}

}  // namespace
