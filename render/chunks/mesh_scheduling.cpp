// Mesh upload scheduling: relight, collect the finished mesh or drop it when stale, and start the
// next meshing task for the waiting chunk nearest the player.
#include "render/chunks/mesh_scheduling.h"

#include <cstdlib>
#include <optional>
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

// A result is stale when its chunk left or changed again after the task started.
void collectMeshWork(App& app, bool wait, FrameFenceWait& waitFence) {
    MeshSchedule& meshing = app.meshing;
    if (!meshing.task.valid() || (!wait && !taskReady(meshing.task))) return;
    const render::MeshWork work = meshing.task.get();
    meshing.lastBuildMilliseconds = work.milliseconds;
    const ChunkKey key{voxel::chunkKeyX(work.key), voxel::chunkKeyZ(work.key)};
    if (!app.findChunk(key.first, key.second) || app.world.remesh.contains(key)) {
        ++meshing.dropped;
        return;
    }
    installMesh(app, work, waitFence);
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
        app.meshing.lastBuildMilliseconds = work.milliseconds;
        installMesh(app, work, waitFence);
    }
}

std::optional<voxel::Chunk> copyOf(const voxel::Chunk* chunk) {
    return chunk ? std::optional<voxel::Chunk>(*chunk) : std::nullopt;
}

const voxel::Chunk* pointerTo(const std::optional<voxel::Chunk>& chunk) {
    return chunk ? &*chunk : nullptr;
}

// The task gets copies of the chunk and its loaded side neighbours, never the live chunks. It also
// splits the triangles into the passes, which would otherwise hold up the frame that installs them.
void launchMeshTask(App& app, const ChunkKey& key, const MeshInputs& in) {
    app.meshing.task = app.tasks.launch(
        [key = voxel::packChunkKey(key.first, key.second), chunk = *in.chunk, north = copyOf(in.north),
         south = copyOf(in.south), east = copyOf(in.east), west = copyOf(in.west),
         smoothLight = app.settings.smoothLight != 0, cornerShade = app.settings.cornerShadows != 0,
         cutOut = app.atlases.cutOutMaterials] {
            render::MeshWork work = App::buildMeshWork(key, chunk, pointerTo(north), pointerTo(south),
                                                       pointerTo(east), pointerTo(west), smoothLight, cornerShade);
            work.split = render::splitChunkTriangles(work.vertices, work.indices, work.tied, cutOut);
            work.opaque = render::opaqueRows(chunk);
            return work;
        });
}

// Keys whose chunk is gone are dropped on the way to the first loaded one.
void launchNearestDirtyChunk(App& app) {
    while (!app.world.remesh.empty()) {
        const ChunkKey key = app.nearestDirtyChunk();
        app.world.remesh.erase(key);
        const MeshInputs in = meshInputs(app, key);
        if (!in.chunk) continue;
        launchMeshTask(app, key, in);
        return;
    }
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
        launchNearestDirtyChunk(*this);
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
