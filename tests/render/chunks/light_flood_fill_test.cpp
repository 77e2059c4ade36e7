#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <random>

#include "render/chunks/light_flood_fill.h"
#include "support/fresh_registry.h"
#include "world/block_registry.h"

namespace {

constexpr uint8_t stone = 3;
constexpr uint8_t water = 5;
constexpr uint8_t leaves = 8;

int sky(const voxel::Chunk& chunk, int x, int y, int z) {
    return chunk.light.at(voxel::cellIndex(x, y, z)) & 15;
}

int block(const voxel::Chunk& chunk, int x, int y, int z) {
    return chunk.light.at(voxel::cellIndex(x, y, z)) >> 4;
}

struct Probe {
    int x, y, z, level;
};

// Whether every probed cell holds its level of one channel (sky or block); a failure names each cell
// that does not.
testing::AssertionResult levelsAre(int (*channel)(const voxel::Chunk&, int, int, int), const voxel::Chunk& chunk,
                                   std::initializer_list<Probe> probes) {
    testing::AssertionResult result = testing::AssertionSuccess();
    for (const Probe& p : probes) {
        const int level = channel(chunk, p.x, p.y, p.z);
        if (level != p.level) {
            if (result) result = testing::AssertionFailure();
            result << "(" << p.x << ", " << p.y << ", " << p.z << ") is " << level << ", not " << p.level << "; ";
        }
    }
    return result;
}

void fillLayer(voxel::Chunk& chunk, int y, uint8_t id) {
    for (int z = 0; z < 16; ++z) {
        for (int x = 0; x < 16; ++x) chunk.cells[voxel::cellIndex(x, y, z)] = id;
    }
}

std::vector<voxel::Chunk> lightOne(voxel::Chunk chunk, const std::vector<voxel::LightSource>& sources = {}) {
    std::vector<voxel::Chunk> chunks{std::move(chunk)};
    voxel::computeLight(chunks, sources);
    return chunks;
}

// Custom blocks for the emitter cases; the registry goes back to the built-ins afterwards.
class ChunkLightEmitters : public testsupport::FreshRegistryTest {
protected:
    static constexpr uint8_t torch = 13;
    static constexpr uint8_t dimLamp = 14;
    static constexpr uint8_t glowStone = 15;
    static constexpr uint8_t brightStone = 16;

    void SetUp() override {
        FreshRegistryTest::SetUp();
        install(torch, 15.0f, false);
        install(dimLamp, 14.2f, false);
        install(glowStone, 20.0f, true);
        install(brightStone, 2.0f, false);
    }
    static void install(uint8_t id, float light, bool opaque) {
        voxel::BlockDef def;
        def.id = "test:block" + std::to_string(id);
        def.light = light;
        def.opaque = opaque;
        def.solid = true;
        voxel::registerBlock(id, def);
    }
};

}  // namespace

TEST(ChunkLight, OpenAirIsFullSkyAndAnUnchangedPassReportsNothing) {
    std::vector<voxel::Chunk> chunks{voxel::Chunk(2, -3)};
    const auto changed = voxel::computeLight(chunks, {});
    EXPECT_EQ(changed, (std::set<std::pair<int32_t, int32_t>>{{2, -3}}));
    ASSERT_EQ(chunks[0].light.size(), voxel::chunkCellCount);
    EXPECT_TRUE(std::all_of(chunks[0].light.begin(), chunks[0].light.end(), [](uint8_t b) { return b == 15; }));

    EXPECT_TRUE(voxel::computeLight(chunks, {}).empty());
    EXPECT_TRUE(voxel::computeLight(chunks, {}).empty());
    std::vector<voxel::Chunk> none;
    EXPECT_TRUE(voxel::computeLight(none, {}).empty());
}

TEST(ChunkLight, ColumnUnderOneStoneIsLitFromTheSides) {
    voxel::Chunk chunk(0, 0);
    chunk.cells[voxel::cellIndex(8, 64, 8)] = stone;
    EXPECT_TRUE(levelsAre(sky, lightOne(chunk)[0],
                          {{8, 64, 8, 0}, {8, 65, 8, 15}, {8, 63, 8, 14}, {8, 40, 8, 14}, {8, 0, 8, 14},
                           {9, 63, 8, 15}}));
}

TEST(ChunkLight, RoofWithOneHoleFadesOneLevelPerStepFromTheShaft) {
    voxel::Chunk chunk(0, 0);
    fillLayer(chunk, 100, stone);
    chunk.cells[voxel::cellIndex(8, 100, 8)] = voxel::airId;
    // (2, 50, 0) is 14 steps away, a level of 1 does not spread beyond it, and the walls of a lone chunk
    // keep the far corner dark otherwise.
    EXPECT_TRUE(levelsAre(sky, lightOne(chunk)[0],
                          {{3, 101, 3, 15}, {8, 100, 8, 15}, {8, 0, 8, 15}, {9, 50, 8, 14}, {8, 50, 12, 11},
                           {12, 99, 12, 7}, {2, 50, 0, 1}, {1, 50, 0, 0}, {0, 50, 0, 0}, {15, 50, 15, 1}}));
}

TEST(ChunkLight, WaterAndLeavesSheetsTakeTheirAttenuation) {
    voxel::Chunk oneWater(0, 0);
    fillLayer(oneWater, 100, water);
    EXPECT_TRUE(levelsAre(sky, lightOne(oneWater)[0], {{4, 100, 4, 12}, {4, 99, 4, 12}, {4, 0, 4, 12}}));

    voxel::Chunk twoWater(0, 0);
    fillLayer(twoWater, 100, water);
    fillLayer(twoWater, 101, water);
    EXPECT_TRUE(levelsAre(sky, lightOne(twoWater)[0], {{4, 101, 4, 12}, {4, 99, 4, 9}}));

    voxel::Chunk leafy(0, 0);
    fillLayer(leafy, 100, leaves);
    EXPECT_TRUE(levelsAre(sky, lightOne(leafy)[0], {{4, 100, 4, 13}, {4, 30, 4, 13}}));
}

TEST(ChunkLight, LightSourcesAddBlockLightInsideTheRegionOnly) {
    voxel::Chunk chunk(1, 1);
    const auto lit = lightOne(chunk, {{24, 64, 24, 12}, {40, 64, 24, 15}, {16, 64, 16, 20}, {30, 128, 30, 15}});
    // Level 20 counts as 15 at (0, 64, 0); the source at x = 40 lies outside the region.
    EXPECT_TRUE(
        levelsAre(block, lit[0], {{8, 64, 8, 12}, {9, 64, 8, 11}, {8, 60, 8, 8}, {0, 64, 0, 15}, {15, 64, 8, 5}}));
    EXPECT_EQ(sky(lit[0], 8, 64, 8), 15);
}

// Chunk (1, 1) covers x and z 16..31: a source on the region's last cell lights it, one a cell past
// any edge lights nothing, not even the cell beside it.
TEST(ChunkLight, LightSourcesAtTheRegionEdgesFromBothSides) {
    struct Row {
        voxel::LightSource source;
        int x, y, z;  // the region cell nearest to the source, in chunk coordinates
        int expected;
    };
    const Row rows[] = {
        {{31, 64, 24, 12}, 15, 64, 8, 12}, {{32, 64, 24, 12}, 15, 64, 8, 0},
        {{16, 64, 24, 12}, 0, 64, 8, 12},  {{15, 64, 24, 12}, 0, 64, 8, 0},
        {{24, 64, 31, 12}, 8, 64, 15, 12}, {{24, 64, 32, 12}, 8, 64, 15, 0},
        {{24, 64, 16, 12}, 8, 64, 0, 12},  {{24, 64, 15, 12}, 8, 64, 0, 0},
        {{24, 0, 24, 12}, 8, 0, 8, 12},    {{24, -1, 24, 12}, 8, 0, 8, 0},
        {{24, 127, 24, 12}, 8, 127, 8, 12}, {{24, 128, 24, 12}, 8, 127, 8, 0},
    };
    for (const Row& row : rows) {
        const auto lit = lightOne(voxel::Chunk(1, 1), {row.source});
        EXPECT_EQ(block(lit[0], row.x, row.y, row.z), row.expected)
            << row.source.x << " " << row.source.y << " " << row.source.z;
    }
}

TEST(ChunkLight, LightCrossesChunkBordersAndMissingChunksAreWalls) {
    voxel::Chunk roofed(0, 0);
    fillLayer(roofed, 100, stone);

    std::vector<voxel::Chunk> pair{roofed, voxel::Chunk(1, 0)};
    voxel::computeLight(pair, {});
    EXPECT_TRUE(levelsAre(sky, pair[0], {{15, 50, 8, 14}, {14, 50, 8, 13}}));

    std::vector<voxel::Chunk> gap{roofed, voxel::Chunk(2, 0)};
    voxel::computeLight(gap, {});
    EXPECT_EQ(sky(gap[0], 15, 50, 8), 0);
    EXPECT_EQ(sky(gap[1], 0, 50, 8), 15);
}

TEST_F(ChunkLightEmitters, EmissionIsTheCeilingClampedTo15) {
    const voxel::LightTables tables = voxel::lightTables();
    // Id 17 lies beyond the registry.
    const std::pair<uint8_t, int> emission[] = {{torch, 15}, {dimLamp, 15}, {glowStone, 15}, {brightStone, 2}, {17, 0}};
    for (const auto& [id, level] : emission) EXPECT_EQ(tables.emission[id], level) << int{id};
    const std::pair<uint8_t, int> attenuation[] = {
        {glowStone, voxel::lightBlocked}, {torch, 1}, {water, 3}, {leaves, 2}, {17, 0}};
    for (const auto& [id, loss] : attenuation) EXPECT_EQ(tables.attenuation[id], loss) << int{id};
}

TEST_F(ChunkLightEmitters, TorchFadesOnePerAirCellAndThreePerWaterCell) {
    voxel::Chunk air(0, 0);
    air.cells[voxel::cellIndex(8, 64, 8)] = torch;
    EXPECT_TRUE(levelsAre(block, lightOne(air)[0],
                          {{8, 64, 8, 15}, {9, 64, 8, 14}, {10, 64, 8, 13}, {8, 69, 8, 10}, {10, 66, 10, 9}}));

    voxel::Chunk flooded(0, 0);
    std::fill(flooded.cells.begin(), flooded.cells.end(), water);
    flooded.cells[voxel::cellIndex(8, 64, 8)] = torch;
    EXPECT_TRUE(
        levelsAre(block, lightOne(flooded)[0], {{9, 64, 8, 12}, {8, 66, 8, 9}, {8, 64, 12, 3}, {8, 64, 13, 0}}));
}

TEST_F(ChunkLightEmitters, OpaqueEmitterKeepsItsLightAndLightsItsNeighbours) {
    voxel::Chunk chunk(0, 0);
    chunk.cells[voxel::cellIndex(8, 64, 8)] = glowStone;
    chunk.cells[voxel::cellIndex(0, 10, 0)] = brightStone;
    const auto lit = lightOne(chunk);
    EXPECT_TRUE(levelsAre(block, lit[0], {{8, 64, 8, 15}, {8, 65, 8, 14}, {0, 10, 0, 2}, {0, 11, 0, 1}}));
    EXPECT_EQ(sky(lit[0], 8, 64, 8), 0);
}

TEST_F(ChunkLightEmitters, QueueOutgrowsTheCellCountWhenLevelsRiseAgain) {
    // Every cell is queued at the start, and cells near the torch are queued a second time.
    voxel::Chunk chunk(0, 0);
    std::fill(chunk.cells.begin(), chunk.cells.end(), brightStone);
    chunk.cells[voxel::cellIndex(8, 64, 8)] = torch;
    std::vector<voxel::Chunk> chunks{chunk};
    voxel::LightScratch scratch;
    voxel::computeLight(chunks, {}, scratch);
    EXPECT_GT(scratch.queue.size(), voxel::chunkCellCount);
    EXPECT_TRUE(levelsAre(block, chunks[0], {{8, 64, 15, 8}, {0, 0, 0, 2}}));
}

namespace {

// The fill exactly as the game's rules state it, with no shortcuts: every lit sky cell starts in
// the queue, indexes are split by division.
std::vector<voxel::Chunk> referenceLight(std::vector<voxel::Chunk> chunks, const std::vector<voxel::LightSource>& sources) {
    int minX = 1 << 20, maxX = -(1 << 20), minZ = 1 << 20, maxZ = -(1 << 20);
    for (const auto& c : chunks) {
        minX = std::min(minX, c.cx), maxX = std::max(maxX, c.cx);
        minZ = std::min(minZ, c.cz), maxZ = std::max(maxZ, c.cz);
    }
    const int W = (maxX - minX) * 16 + 16, D = (maxZ - minZ) * 16 + 16, N = W * D * 128;
    std::vector<uint8_t> A(N, 255), S(N, 0), B(N, 0);
    const voxel::LightTables t = voxel::lightTables();
    auto at = [&](int gx, int y, int gz) { return (y * D + gz) * W + gx; };
    // Calls visit(chunk, index in the chunk, index in the region) for every cell of every chunk.
    const auto forEachCell = [&](auto visit) {
        for (auto& c : chunks)
            for (int y = 0; y < 128; ++y)
                for (int z = 0; z < 16; ++z)
                    for (int x = 0; x < 16; ++x)
                        visit(c, voxel::cellIndex(x, y, z), at((c.cx - minX) * 16 + x, y, (c.cz - minZ) * 16 + z));
    };
    forEachCell([&](const voxel::Chunk& c, std::size_t cell, int i) {
        A[i] = t.attenuation[c.cells[cell]];
        B[i] = t.emission[c.cells[cell]];
    });
    std::deque<int> queue;
    auto fill = [&](std::vector<uint8_t>& L) {
        while (!queue.empty()) {
            const int i = queue.front();
            queue.pop_front();
            const int v = L[i];
            if (v <= 1) continue;
            const int x = i % W, z = (i / W) % D, y = i / (W * D);
            const int n[6][3] = {{x - 1, y, z}, {x + 1, y, z}, {x, y, z - 1}, {x, y, z + 1}, {x, y - 1, z}, {x, y + 1, z}};
            for (const auto& p : n) {
                if (p[0] < 0 || p[0] >= W || p[2] < 0 || p[2] >= D || p[1] < 0 || p[1] > 127) continue;
                const int j = at(p[0], p[1], p[2]);
                if (A[j] < 255 && v - A[j] > L[j]) {
                    L[j] = static_cast<uint8_t>(v - A[j]);
                    queue.push_back(j);
                }
            }
        }
    };
    for (int gz = 0; gz < D; ++gz)
        for (int gx = 0; gx < W; ++gx) {
            int level = 15;
            for (int y = 127; y >= 0; --y) {
                const int i = at(gx, y, gz);
                if (A[i] == 255) {
                    S[i] = 0;
                    level = 0;
                    continue;
                }
                if (A[i] > 1) level = std::max(0, level - A[i]);
                S[i] = static_cast<uint8_t>(level);
                if (level > 1) queue.push_back(i);
            }
        }
    fill(S);
    for (const auto& s : sources) {
        const int gx = s.x - 16 * minX, gz = s.z - 16 * minZ;
        if (gx < 0 || gx >= W || gz < 0 || gz >= D || s.y < 0 || s.y > 127) continue;
        B[at(gx, s.y, gz)] = std::max<int>(B[at(gx, s.y, gz)], std::clamp(s.level, 0, 15));
    }
    for (int i = 0; i < N; ++i)
        if (B[i] > 1) queue.push_back(i);
    fill(B);
    for (auto& c : chunks) c.light.assign(voxel::chunkCellCount, 0);
    forEachCell([&](voxel::Chunk& c, std::size_t cell, int i) { c.light[cell] = uint8_t(B[i] << 4 | S[i]); });
    return chunks;
}

}  // namespace

TEST_F(ChunkLightEmitters, AgreesWithTheRuleAsWrittenOnRandomCaves) {
    const uint8_t palette[] = {0, 0, 0, 0, 0, 0, stone, stone, stone, water, leaves, torch, brightStone, glowStone};
    std::mt19937 random(99);
    for (int round = 0; round < 3; ++round) {
        std::vector<voxel::Chunk> chunks{voxel::Chunk(-1, 4), voxel::Chunk(0, 4), voxel::Chunk(1, 5), voxel::Chunk(-1, 6)};
        for (auto& chunk : chunks) {
            for (std::size_t i = 0; i < chunk.cells.size(); ++i) {
                // Denser below so that the caves have dark parts, sparse emitters throughout.
                const std::size_t y = i / 256;
                const uint8_t pick = palette[random() % std::size(palette)];
                const bool rare = pick == torch || pick == glowStone;
                if (rare && random() % 40 != 0) continue;
                if (y > 90 && pick == stone && random() % 4 != 0) continue;
                chunk.cells[i] = pick;
            }
        }
        const std::vector<voxel::LightSource> sources{{-10, 40, 70, 13}, {5, 3, 90, 9}, {400, 3, 90, 9}};
        const auto expected = referenceLight(chunks, sources);
        voxel::LightScratch scratch;
        voxel::computeLight(chunks, sources, scratch);
        for (std::size_t c = 0; c < chunks.size(); ++c) {
            ASSERT_EQ(chunks[c].light, expected[c].light) << "round " << round << " chunk " << c;
        }
    }
}
