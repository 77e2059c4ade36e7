#pragma once
// The loaded world as the App holds it: the chunk list with its index, the dirty sets, the stored
// block states, the block-update queue and the per-chunk records of meshing and the world map.
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

#include "render/chunks/finished_mesh.h"
#include "render/vulkan/buffers.h"
#include "world/block_registry.h"
#include "world/chunk.h"
#include "world/city.h"
#include "world/generation_profile.h"

// Chunk coordinates (cx, cz), ordered by cx, then cz.
using ChunkKey = std::pair<int32_t, int32_t>;
// A block cell (x, y, z), ordered by x, then y, then z.
using CellKey = std::tuple<int32_t, int32_t, int32_t>;

// A state byte is valid only while its cell still holds the id it was stored with.
struct StoredBlockState {
    uint8_t id = 0;
    uint8_t state = 0;
};

// One cell edit with both sides, so that it can be undone, and an optional second cell (the other
// half of a door or bed).
struct BlockEdit {
    int32_t x = 0, y = 0, z = 0;
    uint8_t ids[2] = {0, 0};  // before, after
    uint32_t states[2] = {0, 0};
    bool hasSecond = false;
    uint8_t secondIds[2] = {0, 0};
    uint32_t secondStates[2] = {0, 0};
    int32_t dx = 0, dy = 0, dz = 0;  // second cell relative to the first
};
static_assert(sizeof(BlockEdit) == 48);

// The installed GPU mesh of one chunk.
struct ChunkMesh {
    BufferSlot vertices;
    BufferSlot solidIndices;
    BufferSlot waterIndices;
    uint32_t solidIndexCount = 0;
    uint32_t plainIndexCount = 0;  // the first solid indices: triangles that neither cut out nor sway
    std::vector<render::FaceGroup> plainGroups;  // the plain indices by direction and section
    uint32_t waterIndexCount = 0;
    std::array<double, 6> bounds{};  // min x, y, z, max x, y, z
    render::OpaqueRows opaque;       // the cells the mesh was built from
};

struct ChunkWindowState {
    static constexpr std::size_t kUndoLimit = 128;

    std::vector<voxel::Chunk> chunks;
    std::map<ChunkKey, std::size_t> chunkMap;  // index into chunks, rebuilt when the list changes
    std::set<ChunkKey> modified;
    std::set<ChunkKey> relight;
    std::set<ChunkKey> remesh;
    voxel::ProfilePtr profile = std::make_shared<const voxel::GenerationProfile>();

    std::map<CellKey, StoredBlockState> blockStates;
    std::array<bool, 256> shaped{};  // ids whose behaviour is door, trapdoor, ladder or bed
    // Shaped cells per chunk that the functional-block meshes draw (no upper halves).
    std::map<ChunkKey, std::set<CellKey>> functionalCells;

    std::set<CellKey> updateSet;
    std::deque<CellKey> updateQueue;

    voxel::CitySiteCache citySites;

    std::map<ChunkKey, std::array<uint8_t, 256>> columnHeights;  // index z * 16 + x
    uint64_t heightsRevision = 0;
    std::map<uint64_t, ChunkMesh> meshes;  // by packed chunk key

    std::map<CellKey, float> movingDoors;  // swing angle in radians while a door moves
    double doorBlockedUntil = 0.0;         // GLFW seconds
    std::deque<BlockEdit> undo;
    // Edits taken back from the undo history, newest last; a new edit or another world empties it.
    std::deque<BlockEdit> redo;
};
