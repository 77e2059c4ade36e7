#pragma once
// The vertex of chunk, model and per-frame meshes, the finished mesh of one chunk as a meshing
// task hands it back, and the pure steps of installing it: the water split and the bounds.
#include <array>
#include <cstdint>
#include <vector>

namespace render {

struct MeshVertex {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    float r = 1.0f, g = 1.0f, b = 1.0f;  // brightness
    float u = 0.0f, v = 0.0f;
    float layer = 0.0f;  // texture layer or material code
    float sky = 1.0f;    // 0..1
    float block = 0.0f;  // 0..1
    float motion = 0.0f;
};
static_assert(sizeof(MeshVertex) == 48);

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
