// Light and faces where a chunk meets each of its four side neighbours.
#include <gtest/gtest.h>

#include <vector>

#include "render/chunks/chunk_mesher.h"
#include "render/chunks/light_flood_fill.h"
#include "support/fresh_registry.h"

namespace {

constexpr uint8_t stone = 3;

struct Side {
    const char* name;
    int32_t dx, dz;
    int face;         // the face of a cube that looks into the neighbour
    uint32_t x, z;    // the border cell of chunk (0, 0)
    uint32_t nx, nz;  // the neighbour's cell beside it
    uint32_t ix, iz;  // the next cell inward
};

const Side sides[] = {
    {"east", 1, 0, 4, 15, 8, 0, 8, 14, 8},
    {"west", -1, 0, 5, 0, 8, 15, 8, 1, 8},
    {"south", 0, 1, 3, 8, 15, 8, 0, 8, 14},
    {"north", 0, -1, 2, 8, 0, 8, 15, 8, 1},
};

render::SideChunks only(const Side& side, const voxel::Chunk& neighbour) {
    render::SideChunks chunks;
    const voxel::Chunk*& slot = side.dx > 0   ? chunks.east
                                : side.dx < 0 ? chunks.west
                                : side.dz > 0 ? chunks.south
                                              : chunks.north;
    slot = &neighbour;
    return chunks;
}

using ChunkBorders = testsupport::FreshRegistryTest;

// Under a roof, sky light comes in from the open neighbour alone: 14 in the border cell, 13 one
// further in, down to the bottom layer.
TEST_F(ChunkBorders, SkyLightCrossesEachBorder) {
    for (const Side& side : sides) {
        voxel::Chunk roofed(0, 0);
        for (uint32_t i = 0; i < 256; ++i) roofed.cells[voxel::cellIndex(i % 16, 100, i / 16)] = stone;
        std::vector<voxel::Chunk> chunks{roofed, voxel::Chunk(side.dx, side.dz)};
        voxel::computeLight(chunks, {});
        const auto sky = [&](uint32_t x, uint32_t y, uint32_t z) {
            return chunks[0].light.at(voxel::cellIndex(x, y, z)) & 15;
        };
        EXPECT_EQ(sky(side.x, 50, side.z), 14) << side.name;
        EXPECT_EQ(sky(side.x, 0, side.z), 14) << side.name;
        EXPECT_EQ(sky(side.ix, 50, side.iz), 13) << side.name;
    }
}

// A cube on the border shows the face toward the neighbour lit by the neighbour's cell, and hides
// it once that cell is opaque.
TEST_F(ChunkBorders, BorderFacesReadTheNeighboursCellAndLight) {
    for (const Side& side : sides) {
        voxel::Chunk chunk(0, 0), neighbour(side.dx, side.dz);
        chunk.cells[voxel::cellIndex(side.x, 64, side.z)] = stone;
        neighbour.light.assign(voxel::chunkCellCount, 0);
        neighbour.light[voxel::cellIndex(side.nx, 64, side.nz)] = 2 << 4 | 4;
        const render::MeshOptions flat{true, false, false};
        const render::BlockFaces open = render::emitBlockFaces(chunk, only(side, neighbour), flat);
        ASSERT_EQ(open.vertices.size(), 24u) << side.name;
        EXPECT_FLOAT_EQ(open.vertices[side.face * 4].sky, 4.0f / 15.0f) << side.name;
        EXPECT_FLOAT_EQ(open.vertices[side.face * 4].block, 2.0f / 15.0f) << side.name;
        neighbour.cells[voxel::cellIndex(side.nx, 64, side.nz)] = stone;
        EXPECT_EQ(render::emitBlockFaces(chunk, only(side, neighbour), flat).vertices.size(), 20u)
            << side.name;
    }
}

}  // namespace
