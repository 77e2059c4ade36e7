#pragma once
// render/chunks: chunk light and meshes: flood fill, light passes, mesher, mesh scheduling and upload.
// Chunk meshing: the cube faces, water surfaces and block models of one chunk as triangles of
// MeshVertex records. A pure function of its chunks and the block registry, so it runs on worker
// threads for world chunks and on the main thread for one-block item meshes.
#include <cstdint>
#include <vector>

#include "render/chunks/mesh_vertex.h"
#include "world/chunk.h"

namespace voxel {

// Surface height of a water cell in blocks: full under more water, else from its water level
// (0.94 when the chunk has no water levels).
float waterSurfaceHeight(const Chunk& chunk, int32_t x, int32_t y, int32_t z);

}  // namespace voxel

namespace render {

struct BlockFaces {
    std::vector<MeshVertex> vertices;
    std::vector<uint32_t> indices;  // three per triangle
    // One flag a triangle, 1 where another solid triangle may lie exactly on it, so that which of the
    // two is drawn first decides the pixel: a cube face beside a block that is neither air nor water
    // (that block shows its own face on the same square), and every model triangle.
    std::vector<uint8_t> tied;
};

// The side neighbours of a chunk; an absent one reads as air without light.
struct SideChunks {
    const voxel::Chunk* north = nullptr;  // (cx, cz - 1)
    const voxel::Chunk* south = nullptr;  // (cx, cz + 1)
    const voxel::Chunk* east = nullptr;   // (cx + 1, cz)
    const voxel::Chunk* west = nullptr;   // (cx - 1, cz)
};

struct MeshOptions {
    bool staticOnly = true;  // leave out doors, trapdoors and moving model parts
    bool smoothLight = true;
    bool cornerShade = true;
};

// Each thread keeps its own scratch (the padded copy of the chunk and its borders), so a worker
// meshing chunk after chunk allocates only the two output lists.
BlockFaces emitBlockFaces(const voxel::Chunk& chunk, const SideChunks& sides, MeshOptions options);

}  // namespace render
