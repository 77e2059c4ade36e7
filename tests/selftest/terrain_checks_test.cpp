#include "selftest/terrain_checks.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <tuple>
#include <vector>

#include "support/failure.h"
#include "world/generate.h"

namespace {

using testsupport::failureOf;

constexpr uint8_t stone = 3;

void put(voxel::Chunk& chunk, uint32_t x, uint32_t y, uint32_t z, uint8_t id) {
    chunk.cells[voxel::cellIndex(x, y, z)] = id;
}

TEST(TerrainChecks, TopBlockIsTheHighestCellThatIsNotAir) {
    std::vector<voxel::Chunk> chunks{voxel::Chunk(0, 0), voxel::Chunk(-1, -1)};
    put(chunks[0], 3, 5, 4, stone);
    put(chunks[0], 3, 70, 4, stone);
    put(chunks[1], 15, 127, 0, stone);
    put(chunks[1], 0, 0, 15, stone);
    // (4, 4) is all air, (16, 0) not loaded.
    for (const auto& [x, z, top] :
         {std::tuple{3, 4, 70}, {4, 4, -1}, {-1, -16, 127}, {-16, -1, 0}, {16, 0, -1}})
        EXPECT_EQ(selftest::topBlock(chunks, x, z), top) << x << " " << z;
}

TEST(TerrainChecks, SkyTerrainHasOpenAirAtTheBottom) {
    std::vector<voxel::Chunk> chunks{voxel::Chunk(0, 0), voxel::Chunk(1, -2)};
    put(chunks[1], 3, 1, 4, stone);
    EXPECT_NO_THROW(selftest::requireOpenAirBelow(chunks));
    put(chunks[1], 3, 0, 4, stone);
    EXPECT_EQ(failureOf([&] { selftest::requireOpenAirBelow(chunks); }),
              "Sky terrain rests on the ground in chunk 1, -2");
}

TEST(TerrainChecks, OriginIslandStandsWithinTheProfileHeights) {
    voxel::GenerationProfile profile;
    profile.islandMinY = 64;
    profile.islandMaxY = 92;
    const struct {
        uint32_t y;
        bool found;
    } cases[] = {{60, false}, {61, true}, {95, true}, {96, false}};
    for (const auto& c : cases) {
        std::vector<voxel::Chunk> chunks{voxel::Chunk(0, 0)};
        put(chunks[0], 8, c.y, 8, stone);
        put(chunks[0], 7, 80, 8, stone);  // beside the origin column: never counts
        const std::string result = failureOf([&] { selftest::requireOriginIsland(chunks, profile); });
        EXPECT_EQ(result, c.found ? "(no failure)" : "No sky island over the origin") << c.y;
    }
    EXPECT_EQ(failureOf([&] { selftest::requireOriginIsland({voxel::Chunk(1, 0)}, profile); }),
              "No sky island over the origin");
}

TEST(TerrainChecks, FrostSeaIsCoveredAtSeaLevel) {
    constexpr uint8_t ice = 20;
    const struct {
        uint8_t below, surface;
        bool open;
    } cases[] = {
        {voxel::waterId, ice, false},           {voxel::waterId, voxel::airId, true},
        {voxel::waterId, voxel::waterId, true}, {stone, voxel::airId, false},  // dry land at sea level
        {voxel::airId, voxel::waterId, true},
    };
    for (const auto& c : cases) {
        std::vector<voxel::Chunk> chunks{voxel::Chunk(0, 0), voxel::Chunk(-1, 0)};
        put(chunks[1], 2, voxel::seaLevel - 1, 3, c.below);
        put(chunks[1], 2, voxel::seaLevel, 3, c.surface);
        put(chunks[0], 5, voxel::seaLevel + 1, 5, voxel::waterId);  // above the sea: not the sea
        const std::string result = failureOf([&] { selftest::requireFrozenSea(chunks); });
        EXPECT_EQ(result, c.open ? "Frost sea is open water at -14, 3" : "(no failure)")
            << int(c.below) << " " << int(c.surface);
    }
}

}  // namespace
