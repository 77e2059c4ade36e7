#pragma once
// The finished mesh of one chunk as a meshing task hands it back, and the pure steps of installing
// it: the water split and the bounds.
#include <array>
#include <cstdint>
#include <vector>

#include "render/mesh_vertex.h"

namespace render {

struct MeshWork {
    uint64_t key = 0;  // cx in the low 32 bits, cz in the high 32
    std::vector<MeshVertex> vertices;
    std::vector<uint32_t> indices;  // three per triangle
    double milliseconds = 0.0;
};

struct SplitIndices {
    std::vector<uint32_t> solid;
    std::vector<uint32_t> water;
};

// Water triangles (first vertex on one of the six water layers) are drawn in their own pass.
SplitIndices splitWaterTriangles(const std::vector<MeshVertex>& vertices, const std::vector<uint32_t>& indices);

// Minimum x, y, z and maximum x, y, z of the vertices; the whole column of chunk (cx, cz) when there
// are none.
std::array<double, 6> meshBounds(const std::vector<MeshVertex>& vertices, int32_t cx, int32_t cz);

}  // namespace render
