#pragma once
// The vertex of chunk, model and per-frame meshes. Its layout is the vertex input of the world
// pipelines, so the shaders depend on every field staying where it is.
#include <cstddef>

namespace render {

struct MeshVertex {
    float x = 0.0f, y = 0.0f, z = 0.0f;  // world blocks
    float r = 1.0f, g = 1.0f, b = 1.0f;  // brightness, all three equal
    float u = 0.0f, v = 0.0f;            // inside the face's texture, 0..1
    float layer = 0.0f;                  // texture layer or material code
    float sky = 1.0f;                    // 0..1
    float block = 0.0f;                  // 0..1
    // 0 still; 1 on the open water surface; -(id + 1 + weight) for wind-animated blocks.
    float motion = 0.0f;
};
static_assert(sizeof(MeshVertex) == 48, "the world pipelines read 48-byte vertices");
static_assert(offsetof(MeshVertex, r) == 12 && offsetof(MeshVertex, u) == 24 && offsetof(MeshVertex, layer) == 32 &&
                  offsetof(MeshVertex, sky) == 36 && offsetof(MeshVertex, motion) == 44,
              "field offsets are fixed by the shaders");

}  // namespace render
