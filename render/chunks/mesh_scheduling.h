#pragma once
// Mesh upload scheduling: the one meshing task in flight, the water levels the meshes read, and the
// statistics of the debug overlay. The pure choices of the scheduler live here too.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <future>
#include <map>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

#include "render/chunks/finished_mesh.h"
#include "world/chunk.h"

struct MeshSchedule {
    // Empty when no meshing task is pending; a task meshes several chunks, nearest first.
    std::future<std::vector<render::MeshWork>> task;
    // Milliseconds one chunk took to mesh, averaged over the recent ones; 0 until the first. Sizes
    // the next task.
    double chunkMilliseconds = 0.0;
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

// A meshing task takes at most this many chunks, and as many as the estimated time per chunk fits
// into the budget: a task stays a few milliseconds, so it finishes within the frame that started it,
// while one task a frame keeps up with the chunks a flight marks. In flight about a quarter of the
// results are stale (a chunk relit just after its mesh started) and are meshed again.
inline constexpr std::size_t meshBatchLimit = 16;
inline constexpr double meshBatchBudgetMilliseconds = 6.0;

// Chunks for the next task given the average milliseconds per chunk (0: none measured yet, the
// limit); at least 1.
std::size_t meshBatchSize(double chunkMilliseconds);

// Takes up to `limit` keys whose chunk is loaded out of `keys`, nearest first as nearestKey orders
// them, and removes them; keys met on the way whose chunk is not loaded are removed and skipped.
std::vector<ScheduleKey> takeNearestKeys(std::set<ScheduleKey>& keys, int32_t px, int32_t pz,
                                         std::size_t limit,
                                         const std::function<bool(const ScheduleKey&)>& loaded);

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
