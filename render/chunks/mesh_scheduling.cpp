// Mesh upload scheduling: relight, collect the finished meshes or drop the stale ones, and start the
// next meshing task for the waiting chunks nearest the player.
#include "render/chunks/mesh_scheduling.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "app/app.h"
#include "render/vulkan/vulkan_check.h"

namespace render {

namespace {

// 64-bit distances: the player chunk may still be the unset lowest value.
int64_t keyDistance(const ScheduleKey& key, int32_t px, int32_t pz) {
    return std::llabs(static_cast<int64_t>(key.first) - px) +
           std::llabs(static_cast<int64_t>(key.second) - pz);
}

}  // namespace

ScheduleKey nearestKey(const std::set<ScheduleKey>& keys, int32_t px, int32_t pz) {
    ScheduleKey best = *keys.begin();
    int64_t bestDistance = keyDistance(best, px, pz);
    for (const ScheduleKey& key : keys) {
        const int64_t d = keyDistance(key, px, pz);
        if (d < bestDistance) {
            best = key;
            bestDistance = d;
        }
    }
    return best;
}

std::size_t meshBatchSize(double chunkMilliseconds) {
    if (chunkMilliseconds <= 0.0) return meshBatchLimit;
    const double fits = std::floor(meshBatchBudgetMilliseconds / chunkMilliseconds);
    return static_cast<std::size_t>(std::clamp(fits, 1.0, static_cast<double>(meshBatchLimit)));
}

std::vector<ScheduleKey> takeNearestKeys(std::set<ScheduleKey>& keys, int32_t px, int32_t pz,
                                         std::size_t limit,
                                         const std::function<bool(const ScheduleKey&)>& loaded) {
    // A stable sort of the set's order by distance is the order repeated nearestKey calls give.
    std::vector<ScheduleKey> order(keys.begin(), keys.end());
    std::stable_sort(order.begin(), order.end(), [&](const ScheduleKey& a, const ScheduleKey& b) {
        return keyDistance(a, px, pz) < keyDistance(b, px, pz);
    });
    std::vector<ScheduleKey> taken;
    for (const ScheduleKey& key : order) {
        if (taken.size() >= limit) break;
        keys.erase(key);
        if (loaded(key)) taken.push_back(key);
    }
    return taken;
}

uint8_t changedLightBorders(const std::vector<uint8_t>& before, const std::vector<uint8_t>& after) {
    if (before.size() != after.size() || after.size() != voxel::chunkCellCount) return 0xF;
    const auto differs = [&](uint32_t x, uint32_t y, uint32_t z) {
        const std::size_t index = voxel::cellIndex(x, y, z);
        return before[index] != after[index];
    };
    constexpr auto height = static_cast<uint32_t>(voxel::chunkHeight),
                   size = static_cast<uint32_t>(voxel::chunkSize);
    uint8_t sides = 0;
    for (uint32_t y = 0; y < height && sides != 0xF; ++y) {
        for (uint32_t i = 0; i < size; ++i) {
            if (differs(15, y, i)) sides |= 1;
            if (differs(0, y, i)) sides |= 2;
            if (differs(i, y, 15)) sides |= 4;
            if (differs(i, y, 0)) sides |= 8;
        }
    }
    return sides;
}

void copyWaterLevels(std::vector<voxel::Chunk>& chunks, const std::map<ScheduleKey, std::size_t>& chunkMap,
                     const std::map<std::tuple<int32_t, int32_t, int32_t>, uint8_t>& levels) {
    for (voxel::Chunk& chunk : chunks) chunk.waterLevels.assign(chunk.cells.size(), 0);
    for (const auto& [cell, level] : levels) {
        const auto [x, y, z] = cell;
        if (y < 0 || y >= voxel::chunkHeight) continue;
        const int32_t cx = voxel::floorDiv(x, voxel::chunkSize), cz = voxel::floorDiv(z, voxel::chunkSize);
        const auto found = chunkMap.find({cx, cz});
        if (found == chunkMap.end()) continue;
        voxel::Chunk& chunk = chunks[found->second];
        const std::size_t index =
            voxel::cellIndex(static_cast<uint32_t>(x - cx * voxel::chunkSize), static_cast<uint32_t>(y),
                             static_cast<uint32_t>(z - cz * voxel::chunkSize));
        if (chunk.cells[index] == voxel::waterId) chunk.waterLevels[index] = level;
    }
}

void collectWaterLevels(const voxel::Chunk& chunk, std::map<std::tuple<int32_t, int32_t, int32_t>, uint8_t>& levels) {
    if (chunk.waterLevels.size() != chunk.cells.size()) return;
    for (uint32_t y = 0; y < voxel::chunkHeight; ++y)
        for (uint32_t z = 0; z < voxel::chunkSize; ++z)
            for (uint32_t x = 0; x < voxel::chunkSize; ++x) {
                const std::size_t index = voxel::cellIndex(x, y, z);
                if (chunk.waterLevels[index] == 0 || chunk.cells[index] != voxel::waterId) continue;
                levels[{chunk.cx * voxel::chunkSize + static_cast<int32_t>(x), static_cast<int32_t>(y),
                        chunk.cz * voxel::chunkSize + static_cast<int32_t>(z)}] = chunk.waterLevels[index];
            }
}

}  // namespace render

namespace {

// Waits for the frame fence once per pass, before the first buffer that the last frame may still
// read is replaced.
class FrameFenceWait {
   public:
    explicit FrameFenceWait(App& app) : app_(app) {}
    void operator()() {
        if (waited_) return;
        waited_ = true;
        if (!app_.gpu.dev || !app_.gpu.fence) return;
        render::check(vkWaitForFences(app_.gpu.dev, 1, &app_.gpu.fence, VK_TRUE, UINT64_MAX),
                      "vkWaitForFences(dev,1,&fence,VK_TRUE,UINT64_MAX)", 1124);
    }

   private:
    App& app_;
    bool waited_ = false;
};

// Without a device (tests, benchmarks) the mesh is recorded but nothing is uploaded.
void installMesh(App& app, const render::MeshWork& work, FrameFenceWait& waitFence) {
    waitFence();
    if (app.gpu.dev) {
        app.installChunkMesh(work.key, work);
    } else {
        render::SplitIndices split;
        app.recordChunkMesh(work.key, work, split);
    }
    ++app.meshing.installed;
}

void noteBuildTime(MeshSchedule& meshing, double milliseconds) {
    meshing.lastBuildMilliseconds = milliseconds;
    meshing.chunkMilliseconds = meshing.chunkMilliseconds > 0.0
                                    ? 0.75 * meshing.chunkMilliseconds + 0.25 * milliseconds
                                    : milliseconds;
}

// A result is stale when its chunk left or changed again after the task started; each chunk of a
// task is judged on its own, so the fresh ones install while the stale ones wait for the next task.
void collectMeshWork(App& app, bool wait, FrameFenceWait& waitFence) {
    MeshSchedule& meshing = app.meshing;
    if (!meshing.task.valid() || (!wait && !taskReady(meshing.task))) return;
    const std::vector<render::MeshWork> works = meshing.task.get();
    for (const render::MeshWork& work : works) {
        noteBuildTime(meshing, work.milliseconds);
        const ChunkKey key{voxel::chunkKeyX(work.key), voxel::chunkKeyZ(work.key)};
        if (!app.findChunk(key.first, key.second) || app.world.remesh.contains(key)) {
            ++meshing.dropped;
            continue;
        }
        installMesh(app, work, waitFence);
    }
}

struct MeshInputs {
    const voxel::Chunk* chunk;
    const voxel::Chunk* north;
    const voxel::Chunk* south;
    const voxel::Chunk* east;
    const voxel::Chunk* west;
};

MeshInputs meshInputs(const App& app, const ChunkKey& key) {
    const auto [cx, cz] = key;
    return {app.findChunk(cx, cz), app.findChunk(cx, cz - 1), app.findChunk(cx, cz + 1),
            app.findChunk(cx + 1, cz), app.findChunk(cx - 1, cz)};
}

void meshEveryWaitingChunk(App& app, FrameFenceWait& waitFence) {
    const bool smoothLight = app.settings.smoothLight != 0, cornerShade = app.settings.cornerShadows != 0;
    while (!app.world.remesh.empty()) {
        const ChunkKey key = app.nearestDirtyChunk();
        app.world.remesh.erase(key);
        const MeshInputs in = meshInputs(app, key);
        if (!in.chunk) continue;
        const render::MeshWork work = App::buildMeshWork(voxel::packChunkKey(key.first, key.second), *in.chunk,
                                                         in.north, in.south, in.east, in.west, smoothLight, cornerShade);
        noteBuildTime(app.meshing, work.milliseconds);
        installMesh(app, work, waitFence);
    }
}

// Copies of the chunks a task meshes and of their loaded side neighbours, each chunk once: the
// nearest waiting chunks are mostly each other's neighbours.
struct MeshBatch {
    struct Item {
        uint64_t key;
        int32_t chunk, north, south, east, west;  // places in `chunks`, -1 when not loaded
    };
    std::vector<voxel::Chunk> chunks;
    std::vector<Item> items;
};

MeshBatch copyBatch(const App& app, const std::vector<ChunkKey>& keys) {
    MeshBatch batch;
    std::map<ChunkKey, int32_t> copied;
    const auto copy = [&](int32_t cx, int32_t cz) -> int32_t {
        const voxel::Chunk* chunk = app.findChunk(cx, cz);
        if (!chunk) return -1;
        const auto [place, fresh] = copied.try_emplace({cx, cz}, static_cast<int32_t>(batch.chunks.size()));
        if (fresh) batch.chunks.push_back(*chunk);
        return place->second;
    };
    for (const auto& [cx, cz] : keys) {
        batch.items.push_back({voxel::packChunkKey(cx, cz), copy(cx, cz), copy(cx, cz - 1), copy(cx, cz + 1),
                               copy(cx + 1, cz), copy(cx - 1, cz)});
    }
    return batch;
}

std::vector<render::MeshWork> meshBatch(const MeshBatch& batch, bool smoothLight, bool cornerShade) {
    const auto at = [&](int32_t place) {
        return place < 0 ? nullptr : &batch.chunks[static_cast<std::size_t>(place)];
    };
    std::vector<render::MeshWork> works;
    works.reserve(batch.items.size());
    for (const MeshBatch::Item& item : batch.items) {
        works.push_back(App::buildMeshWork(item.key, *at(item.chunk), at(item.north), at(item.south),
                                           at(item.east), at(item.west), smoothLight, cornerShade));
    }
    return works;
}

// The task gets copies of the chunks and their loaded side neighbours, never the live chunks.
void launchNearestDirtyChunks(App& app) {
    const std::vector<ChunkKey> keys = render::takeNearestKeys(
        app.world.remesh, app.player.chunkX, app.player.chunkZ,
        render::meshBatchSize(app.meshing.chunkMilliseconds),
        [&](const ChunkKey& key) { return app.findChunk(key.first, key.second) != nullptr; });
    if (keys.empty()) return;
    app.meshing.task =
        app.tasks.launch([batch = copyBatch(app, keys), smoothLight = app.settings.smoothLight != 0,
                          cornerShade = app.settings.cornerShadows != 0] {
            return meshBatch(batch, smoothLight, cornerShade);
        });
}

uint32_t totalSolidIndices(const ChunkWindowState& world) {
    uint32_t total = 0;
    for (const auto& [key, mesh] : world.meshes) total += mesh.solidIndexCount;
    return total;
}

}  // namespace

void App::uploadMesh(uint64_t mode) {
    const double t0 = tasks.now();
    const bool everything = mode == render::meshEverything;
    uploadContentMeta();
    spillOrphanedFurnaces();
    spillOrphanedChests();
    refreshLights(everything);
    if (meshing.waterLevelsChanged) {
        render::copyWaterLevels(world.chunks, world.chunkMap, meshing.waterLevels);
        meshing.waterLevelsChanged = false;
    }
    FrameFenceWait waitFence(*this);
    collectMeshWork(*this, everything, waitFence);
    if (everything) {
        meshEveryWaitingChunk(*this, waitFence);
    } else if (mode != render::meshCollectOnly && !meshing.task.valid()) {
        launchNearestDirtyChunks(*this);
    }
    meshing.solidIndexCount = totalSolidIndices(world);
    meshing.lastUploadMilliseconds = (tasks.now() - t0) * 1000.0;
}

void App::markChunkDirty(int32_t cx, int32_t cz) {
    if (findChunk(cx, cz)) world.relight.insert({cx, cz});
    const ChunkKey around[5] = {{cx, cz}, {cx - 1, cz}, {cx + 1, cz}, {cx, cz - 1}, {cx, cz + 1}};
    for (const ChunkKey& key : around) {
        if (findChunk(key.first, key.second)) world.remesh.insert(key);
    }
}

namespace {

void destroySlot(VkDevice dev, BufferSlot& slot) {
    if (slot.buffer) vkDestroyBuffer(dev, slot.buffer, nullptr);
    if (slot.memory) vkFreeMemory(dev, slot.memory, nullptr);
}

}  // namespace

// Water first, then the vertices and the solid indices; the entry is zeroed whatever it held.
void App::destroyMesh(ChunkMesh& mesh) {
    destroySlot(gpu.dev, mesh.waterIndices);
    destroySlot(gpu.dev, mesh.vertices);
    destroySlot(gpu.dev, mesh.solidIndices);
    mesh = ChunkMesh{};
}

ChunkKey App::nearestDirtyChunk() const {
    return render::nearestKey(world.remesh, player.chunkX, player.chunkZ);
}
