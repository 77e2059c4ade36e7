#pragma once
// What the dynamic entity pass keeps between frames: the frame's vertex list, the one-block meshes
// of dropped items, the light cache and the vertex buffer, all reused so a frame allocates nothing
// once the scene has settled.
#include <array>
#include <vector>

#include "render/buffers.h"
#include "render/chunk_mesher.h"
#include "render/dynamic_geometry.h"
#include "render/mesh_vertex.h"

struct DynamicPassState {
    std::vector<render::MeshVertex> vertices;
    // By one-byte resource id; built on first use and kept for the App's life.
    std::array<render::BlockFaces, 256> itemMeshes;
    std::array<bool, 256> itemMeshBuilt{};
    render::LightCache lightCache;
    BufferSlot dropped;  // droppedMemory: host-visible, grows only
};
