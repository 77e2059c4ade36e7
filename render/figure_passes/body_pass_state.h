#pragma once
// What the renderer keeps for the player's body and hands between frames: the held-clip clock,
// the held-item, player-model, portrait and remote-player buffers, and the meshes they are built
// from.
#include <cstdint>
#include <map>
#include <vector>

#include "render/chunks/chunk_mesher.h"
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
    // One-cell meshes of blocks held without a model, built on first use.
    std::map<uint8_t, render::BlockFaces> heldBlockMeshes;

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
