#pragma once
// What the App keeps for the blocks drawn each frame outside the chunk meshes (doors, trapdoors,
// ladders, beds, chest lids and furnace fires) and for the world particles.
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "app/chunk_window_state.h"
#include "render/chunks/mesh_vertex.h"
#include "render/vulkan/buffers.h"

struct FunctionalState {
    // The geometry is rebuilt only when the signature of what it shows changes.
    bool signatureValid = false;
    uint64_t signature = 0;
    uint64_t rebuilds = 0;
    std::vector<render::MeshVertex> vertices;
    BufferSlot buffer;  // functionalMemory; capacity 0 before the first upload
    double lastBuildMs = 0.0;

    // Lid progress 0..1 per chest cell while a lid is open or moving.
    std::map<CellKey, float> chestLids;
    // The chest whose lid stands open (its screen is showing); none when no chest is open.
    std::optional<CellKey> openChest;

    std::vector<render::MeshVertex> particleVertices;  // reused every frame
    BufferSlot particleBuffer;                         // worldParticleMemory
    uint32_t particleVertexCount = 0;                  // drawn this frame
};
