#include "world/chunk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>

#include "support/failure.h"
#include "support/fresh_registry.h"
#include "world/block_registry.h"
#include "world/map_colour.h"

namespace {

std::string setFailure(voxel::Chunk& chunk, uint32_t x, uint32_t y, uint32_t z, uint8_t id) {
    return testsupport::failureOf<std::out_of_range>([&] { chunk.set(x, y, z, id); });
}

// Suites that read block properties start and end with the built-in blocks only.
using Chunk = testsupport::FreshRegistryTest;
using ColumnHeights = testsupport::FreshRegistryTest;
using MapColour = testsupport::FreshRegistryTest;

TEST_F(Chunk, CellsAreIndexedYThenZThenX) {
    voxel::Chunk chunk(3, -2);
    EXPECT_EQ(chunk.cx, 3);
    EXPECT_EQ(chunk.cz, -2);
    ASSERT_EQ(chunk.cells.size(), 32768u);
    chunk.set(1, 2, 3, 7);
    EXPECT_EQ(chunk.cells[(2 * 16 + 3) * 16 + 1], 7);
    EXPECT_EQ(voxel::cellIndex(15, 127, 15), 32767u);
    EXPECT_EQ(chunk.get(1, 2, 3), 7);
    EXPECT_EQ(chunk.get(3, 2, 1), 0);
    EXPECT_TRUE(chunk.light.empty());
    EXPECT_TRUE(chunk.waterLevels.empty());
    EXPECT_TRUE(chunk.states.empty());
    EXPECT_FALSE(chunk.statesApplied);
}

// Each bound of the chunk from both sides: the last cell inside is written and read back, the first
// one outside reads air and refuses a write.
TEST_F(Chunk, EdgeCellsInsideAndOutside) {
    const struct {
        uint32_t x, y, z;
        bool inside;
    } rows[] = {{0, 0, 0, true},
                {15, 0, 0, true},
                {0, 127, 0, true},
                {0, 0, 15, true},
                {15, 127, 15, true},
                {16, 0, 0, false},
                {0, 128, 0, false},
                {0, 0, 16, false},
                {static_cast<uint32_t>(-1), 0, 0, false},
                {0, static_cast<uint32_t>(-1), 0, false},
                {0, 0, static_cast<uint32_t>(-1), false}};
    for (const auto& row : rows) {
        voxel::Chunk chunk(0, 0);
        chunk.cells.assign(chunk.cells.size(), 3);
        const std::string failure = setFailure(chunk, row.x, row.y, row.z, 1);
        SCOPED_TRACE(std::to_string(row.x) + " " + std::to_string(row.y) + " " + std::to_string(row.z));
        EXPECT_EQ(failure, row.inside ? "(no failure)" : "block position");
        EXPECT_EQ(chunk.get(row.x, row.y, row.z), row.inside ? 1 : 0);
        EXPECT_EQ(std::count(chunk.cells.begin(), chunk.cells.end(), 1), row.inside ? 1 : 0);
    }
    voxel::Chunk chunk(0, 0);
    chunk.cells.assign(chunk.cells.size(), 3);
    EXPECT_EQ(setFailure(chunk, 0, 0, 0, 13), "invalid block ID");
    EXPECT_EQ(chunk.get(0, 0, 0), 3) << "a refused write leaves the cell";
}

TEST_F(Chunk, CopiesAreDeep) {
    voxel::Chunk chunk(1, 1);
    chunk.light.assign(32768, 0x21);
    chunk.ensureStates();
    voxel::Chunk copy = chunk;
    copy.cells[5] = 2;
    copy.light[5] = 0;
    copy.states[5] = 9;
    EXPECT_EQ(chunk.cells[5], 0);
    EXPECT_EQ(chunk.light[5], 0x21);
    EXPECT_EQ(chunk.states[5], 0);
}

TEST_F(Chunk, UnlitChunksReadFullSky) {
    voxel::Chunk chunk(0, 0);
    EXPECT_EQ(chunk.lightByte(100), 15);
    chunk.light.assign(32768, 0);
    chunk.light[100] = 0x3A;
    EXPECT_EQ(chunk.lightByte(100), 0x3A);
}

TEST(FloorDiv, RoundsTowardsMinusInfinity) {
    const std::pair<int32_t, int32_t> rows[] = {{-1, -1}, {-16, -1}, {-17, -2}, {0, 0}, {15, 0}, {16, 1},
                                                {INT32_MIN, -134217728}, {INT32_MAX, 134217727}};
    for (const auto& [v, chunk] : rows) EXPECT_EQ(voxel::floorDiv(v, 16), chunk) << v;
}

TEST(ChunkKey, PacksCxLowAndCzHigh) {
    EXPECT_EQ(voxel::packChunkKey(1, 2), 0x0000000200000001ull);
    EXPECT_EQ(voxel::packChunkKey(-1, 0), 0x00000000FFFFFFFFull);
    EXPECT_EQ(voxel::packChunkKey(0, -1), 0xFFFFFFFF00000000ull);
    for (int32_t cx : {-70000, -1, 0, 5, INT32_MAX}) {
        for (int32_t cz : {INT32_MIN, -3, 0, 1}) {
            const uint64_t key = voxel::packChunkKey(cx, cz);
            EXPECT_EQ(voxel::chunkKeyX(key), cx);
            EXPECT_EQ(voxel::chunkKeyZ(key), cz);
        }
    }
}

TEST_F(ColumnHeights, StandAboveTheTopmostOpaqueBlock) {
    voxel::Chunk chunk(0, 0);
    chunk.set(0, 0, 0, 3);
    chunk.set(0, 40, 0, 3);
    chunk.set(0, 41, 0, 8);   // leaves are not opaque
    chunk.set(5, 127, 9, 2);
    chunk.set(7, 10, 7, 5);   // water neither
    const auto heights = voxel::columnHeights(chunk);
    EXPECT_EQ(heights[0], 41);
    EXPECT_EQ(heights[9 * 16 + 5], 128);
    EXPECT_EQ(heights[7 * 16 + 7], 0);
    EXPECT_EQ(heights[1], 0);
}

TEST_F(MapColour, FixedColoursAndHeightShade) {
    EXPECT_EQ(voxel::mapColour(0, 64), 0x4F4030u);
    EXPECT_EQ(voxel::mapColour(5, 64), 0x89683Au);
    // Grass at the top: shade 1.1, so r = 103, g = 146, b = 83.
    EXPECT_EQ(voxel::mapColour(1, 127), (83u << 16) | (146u << 8) | 103u);
    // Heights clamp to 0..127: the bottom shade is 0.65.
    EXPECT_EQ(voxel::mapColour(3, -20), voxel::mapColour(3, 0));
    EXPECT_EQ(voxel::mapColour(3, 0) & 0xFF, 87u);
    EXPECT_EQ(voxel::mapColour(3, 500), voxel::mapColour(3, 127));
    EXPECT_EQ(voxel::mapColour(9, 127) & 0xFF, 123u) << "unnamed built-ins take the last colour";
}

TEST_F(MapColour, CustomBlocksByContentId) {
    voxel::BlockDef def;
    def.id = "core:packed_ice";
    voxel::registerBlock(13, def);
    def.id = "core:ash_stone";  // "ash" is tested before "stone"
    voxel::registerBlock(14, def);
    def.id = "core:mud_brick";
    voxel::registerBlock(15, def);
    def.id = "core:clay";
    voxel::registerBlock(16, def);
    auto rgb = [](uint32_t r, uint32_t g, uint32_t b) { return b << 16 | g << 8 | r; };
    EXPECT_EQ(voxel::mapColour(13, 127), rgb(215, 234, 244));
    EXPECT_EQ(voxel::mapColour(14, 127), rgb(111, 89, 84));
    EXPECT_EQ(voxel::mapColour(15, 127), rgb(147, 155, 151));
    EXPECT_EQ(voxel::mapColour(16, 127), rgb(123, 140, 100));
}

}  // namespace
