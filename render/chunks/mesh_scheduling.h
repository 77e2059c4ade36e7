#pragma once
// Mesh upload scheduling: the one meshing task in flight, the water levels the meshes read, and the
// statistics of the debug overlay. The pure choices of the scheduler live here too.
#include <cstdint>
#include <future>
#include <map>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

#include "render/chunks/finished_mesh.h"
#include "world/chunk.h"

struct MeshSchedule {
    std::future<render::MeshWork> task;  // empty when no meshing task is pending; one chunk a task
    uint32_t revision = 1;               // moves on whenever pending work of the old world is dropped
    // Water level per cell (x, y, z), written by the water simulation and its loader; every writer
    // sets the flag so that the next pass copies the levels into the chunks.
    std::map<std::tuple<int32_t, int32_t, int32_t>, uint8_t> waterLevels;
    bool waterLevelsChanged = true;
    // Shown by the debug overlay.
    uint64_t installed = 0;
    uint64_t dropped = 0;
    double lastBuildMilliseconds = 0.0;
    double lastUploadMilliseconds = 0.0;
    uint32_t solidIndexCount = 0;  // over every installed mesh
};

namespace render {

// Sentinel modes of App::uploadMesh besides the ordinary 2: everything now, or collect only.
inline constexpr uint64_t meshEverything = ~uint64_t{0};
inline constexpr uint64_t meshCollectOnly = 0;
inline constexpr uint64_t meshPoll = 2;

using ScheduleKey = std::pair<int32_t, int32_t>;  // (cx, cz)

// The key with the smallest |kx - px| + |kz - pz|; ties to the first in set order. The set must
// not be empty.
ScheduleKey nearestKey(const std::set<ScheduleKey>& keys, int32_t px, int32_t pz);

// Side neighbours a new light list of a chunk reaches: a neighbour's mesh reads only the chunk's
// cell layer that faces it. Bit 0: the layer x = 15, which the +x neighbour reads; bit 1: x = 0, the
// -x neighbour; bit 2: z = 15, the +z neighbour; bit 3: z = 0, the -z neighbour. Every bit when the
// lists differ in length (a chunk lit for the first time).
uint8_t changedLightBorders(const std::vector<uint8_t>& before, const std::vector<uint8_t>& after);

// Gives every chunk a water-level list of zeros, then stores each level of the map whose chunk is
// loaded and whose cell still holds water.
void copyWaterLevels(std::vector<voxel::Chunk>& chunks, const std::map<ScheduleKey, std::size_t>& chunkMap,
                     const std::map<std::tuple<int32_t, int32_t, int32_t>, uint8_t>& levels);
// Adds the levels a chunk brought from its file to the level map, so that the next copy keeps them.
void collectWaterLevels(const voxel::Chunk& chunk, std::map<std::tuple<int32_t, int32_t, int32_t>, uint8_t>& levels);

}  // namespace render
