#pragma once
// render/figure_passes: the App's side of render/figures: gather from the App, build, upload and draw.
// What the dynamic entity pass keeps between frames: the frame's vertex list, the one-block meshes
// of dropped items, the light cache and the vertex buffer, all reused so a frame allocates nothing
// once the scene has settled.
#include <array>
#include <vector>

#include "render/chunks/chunk_mesher.h"
#include "render/chunks/mesh_vertex.h"
#include "render/figures/dynamic_geometry.h"
#include "render/vulkan/buffers.h"

struct DynamicPassState {
    std::vector<render::MeshVertex> vertices;
    // By one-byte resource id; built on first use and kept for the App's life.
    std::array<render::BlockFaces, 256> itemMeshes;
    std::array<bool, 256> itemMeshBuilt{};
    render::LightCache lightCache;
    BufferSlot dropped;  // droppedMemory: host-visible, grows only
};

namespace render {

// The one-block mesh of an id, built on its first use; dropped items and a block held without a
// model share it.
const BlockFaces& cachedItemMesh(DynamicPassState& pass, uint8_t id);

}  // namespace render
