#pragma once
// What the App keeps of chunk lighting: the pass in flight and its spacing, the light sources of the
// last pass, and the per-chunk lamp, functional-block and particle-emitter indexes that other parts
// of the renderer and the world tick read every frame.
#include <cstddef>
#include <cstdint>
#include <future>
#include <map>
#include <memory>
#include <vector>

#include "app/chunk_window_state.h"
#include "render/chunks/light_flood_fill.h"
#include "world/chunk.h"

// The centre of a light-giving cell and its strength 0..1.
struct LampRecord {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    float intensity = 0.0f;
};

// A cell in world coordinates with the block it holds.
struct BlockCellRecord {
    int32_t x = 0, y = 0, z = 0;
    uint8_t id = 0;
};

struct LightingState {
    // A burst of edits within this many seconds is lit in one pass.
    static constexpr double kLaunchSpacing = 0.15;
    static constexpr std::size_t kEmitterLimit = 64;

    std::future<std::vector<voxel::Chunk>> task;  // empty when no pass is pending
    double lastLaunch = 0.0;                      // clock seconds
    std::vector<voxel::LightSource> previousSources;
    // Moves on whenever a chunk's light list or indexes change; the functional-block meshes watch it.
    uint64_t revision = 0;
    std::map<ChunkKey, std::vector<LampRecord>> lamps;
    std::map<ChunkKey, std::vector<BlockCellRecord>> functionalBlocks;
    std::map<ChunkKey, std::vector<BlockCellRecord>> emitters;
    std::vector<LampRecord> lampList;  // every chunk's lamps in key order, for the overlay buffer
    uint64_t lampListRevision = 0;     // the revision lampList was gathered at
    double lastMilliseconds = 0.0;     // of the last refresh, for the debug overlay
    // The grids of the flood fill, reused by each pass; only one pass runs at a time.
    std::shared_ptr<voxel::LightScratch> scratch = std::make_shared<voxel::LightScratch>();
};
