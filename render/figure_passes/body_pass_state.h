#pragma once
// What the renderer keeps for the player's body and hands between frames: the held-clip clock,
// the held-item, player-model, portrait and remote-player buffers and their vertex lists.
#include <cstdint>
#include <vector>

#include "render/chunks/mesh_vertex.h"
#include "render/figures/hand_placement.h"
#include "render/interface/player_portrait.h"
#include "render/vulkan/buffers.h"

struct BodyRenderState {
    render::HeldClock heldClock;
    // The holding arm's bounds, measured once from the body mesh of this vertex count.
    render::ArmBounds arm;
    std::size_t armMeshSize = SIZE_MAX;

    std::vector<render::MeshVertex> heldVertices;  // cleared every frame, capacity kept
    BufferSlot heldContent;                        // heldContentMemory

    std::vector<render::MeshVertex> playerVertices;
    std::vector<uint32_t> playerIndices;
    BufferSlot playerVertexBuffer;
    BufferSlot playerIndexBuffer;
    uint32_t playerIndexCount = 0;

    BufferSlot portrait;  // portraitMemory142
    uint32_t portraitVertexCount = 0;
    render::PortraitKey portraitKey;

    std::vector<render::MeshVertex> remoteVertices;
    std::vector<uint32_t> remoteIndices;
    BufferSlot remoteVertexBuffer;
    BufferSlot remoteIndexBuffer;
    uint32_t remoteIndexCount = 0;
};
