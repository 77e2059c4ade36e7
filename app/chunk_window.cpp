// The chunk window around the player: the start-up window, one streaming step per frame, and the
// body of the load task.
#include "app/chunk_window.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "app/app.h"
#include "render/vulkan/vulkan_check.h"
#include "save/chunk_file.h"
#include "save/file_save.h"
#include "save/generation_file.h"
#include "world/chunk.h"

namespace core {

int32_t chunkOf(float v) {
    return voxel::floorDiv(static_cast<int32_t>(std::floor(v)), voxel::chunkSize);
}

bool outsideWindow(const WindowKey& key, const WindowKey& centre, int32_t radius) {
    return std::abs(key.first - centre.first) > radius || std::abs(key.second - centre.second) > radius;
}

bool onWindowEdge(const WindowKey& key, const WindowKey& centre, int32_t radius) {
    return std::abs(key.first - centre.first) == radius || std::abs(key.second - centre.second) == radius;
}

std::optional<WindowKey> nearestMissingChunk(const std::map<WindowKey, std::size_t>& loaded,
                                             const WindowKey& centre, int32_t radius) {
    std::optional<WindowKey> best;
    int64_t bestDistance = 0;
    for (int32_t cz = centre.second - radius; cz <= centre.second + radius; ++cz) {
        for (int32_t cx = centre.first - radius; cx <= centre.first + radius; ++cx) {
            if (loaded.contains({cx, cz})) continue;
            const int64_t dx = cx - centre.first, dz = cz - centre.second;
            const int64_t distance = dx * dx + dz * dz;
            // Strictly nearer only: the scan order settles ties to the smaller z, then x.
            if (!best || distance < bestDistance) {
                best = WindowKey{cx, cz};
                bestDistance = distance;
            }
        }
    }
    return best;
}

int32_t environmentProgress(int32_t start, int32_t end, std::size_t loaded, int32_t radius) {
    const int64_t side = 2 * static_cast<int64_t>(radius) + 1;
    return static_cast<int32_t>(start + (end - start) * static_cast<int64_t>(loaded) / (side * side));
}

}  // namespace core

namespace {

const core::WindowKey sideOffsets[4] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};

// A world keeps the profile each dimension had when the world first met it: the stored one, else the
// content's, which is stored from then on.
voxel::ProfilePtr keptProfile(App& app, const std::string& dimension) {
    SaveState& saves = app.saves;
    filesave::adoptContentProfiles(saves.dimensionProfiles, app.rules.dimensions);
    if (dimension == "core:overworld") {
        if (!saves.profile) saves.profile = app.stream.defaultProfile;
        return saves.profile;
    }
    if (const auto stored = saves.dimensionProfiles.find(dimension); stored != saves.dimensionProfiles.end())
        return stored->second;
    const auto found = app.rules.dimensions.find(dimension);
    if (found == app.rules.dimensions.end() || !found->second.profile) return app.stream.defaultProfile;
    return found->second.profile;
}

void forgetChunk(App& app, const ChunkKey& key) {
    ChunkWindowState& world = app.world;
    if (auto mesh = world.meshes.find(voxel::packChunkKey(key.first, key.second));
        mesh != world.meshes.end()) {
        app.destroyMesh(mesh->second);
        world.meshes.erase(mesh);
    }
    world.remesh.erase(key);
    world.relight.erase(key);
    world.functionalCells.erase(key);
    if (world.columnHeights.erase(key)) ++world.heightsRevision;
    // Nothing of a chunk that left may still be drawn, lit or spawn particles.
    app.forgetChunkLighting(key);
}

// The chunks on the new edge lit and showed their faces with the chunks beyond it: they are lit
// again, and they and their loaded side neighbours meshed again.
void markWindowEdge(App& app, const core::WindowKey& centre) {
    ChunkWindowState& world = app.world;
    for (const voxel::Chunk& chunk : world.chunks) {
        const ChunkKey key{chunk.cx, chunk.cz};
        if (!core::onWindowEdge(key, centre, app.chunkRadius)) continue;
        world.relight.insert(key);
        world.remesh.insert(key);
        for (const core::WindowKey& side : sideOffsets) {
            const ChunkKey next{key.first + side.first, key.second + side.second};
            if (world.chunkMap.contains(next)) world.remesh.insert(next);
        }
    }
}

// Modified chunks are written before they go, all of them as one job of the background writer so
// that the frame does not wait for the disk (a chunk asked for again before the job lands is read
// from the writer's bytes); the GPU is drained once, before the first mesh of the pass is destroyed.
void unloadFarChunks(App& app, const core::WindowKey& centre) {
    const auto outside = [&](const voxel::Chunk& chunk) {
        return core::outsideWindow({chunk.cx, chunk.cz}, centre, app.chunkRadius);
    };
    const filesave::SnapshotScope snapshot;
    filesave::SaveSetScope leaving(app.files.world);
    bool drained = false;
    for (const voxel::Chunk& chunk : app.world.chunks) {
        if (!outside(chunk)) continue;
        if (!drained && app.gpu.dev)
            render::check(vkDeviceWaitIdle(app.gpu.dev), "vkDeviceWaitIdle(dev)", 132);
        drained = true;
        const ChunkKey key{chunk.cx, chunk.cz};
        if (app.world.modified.erase(key)) {
            filesave::writeChunk(app.files.world, app.files.seed, app.generationStage, chunk);
        }
        forgetChunk(app, key);
    }
    leaving.commit();
    if (drained) {
        std::erase_if(app.world.chunks, outside);
        app.reindexChunks();
    }
    markWindowEdge(app, centre);
}

// A chunk file the task could not read is raised here, on the main thread, and makes the world
// unreadable as at start-up: nothing of it may be written over while the player may recover it.
StreamedChunk takeTaskResult(App& app) {
    try {
        return app.stream.task.get();
    } catch (const std::runtime_error&) {
        app.saves.readFailed = true;
        throw;
    }
}

// The chunk is taken only while it lies inside the window and no chunk with its coordinates is
// loaded; otherwise it is dropped.
void takeStreamedChunk(App& app) {
    ChunkStreamState& stream = app.stream;
    if (!taskReady(stream.task)) return;
    StreamedChunk result = takeTaskResult(app);
    stream.lastBuildMilliseconds = result.milliseconds;
    const ChunkKey key{stream.requestX, stream.requestZ};
    const bool away = core::outsideWindow(key, {stream.centreX, stream.centreZ}, app.chunkRadius);
    if (away || app.world.chunkMap.contains(key)) return;
    render::collectWaterLevels(result.chunk, app.meshing.waterLevels);
    app.world.chunks.push_back(std::move(result.chunk));
    app.meshing.waterLevelsChanged = true;
    app.reindexChunks();
    app.markChunkDirty(key.first, key.second);
    // The chunk and its four side neighbours: water at their shared borders may flow now.
    for (const voxel::Chunk& chunk : app.world.chunks) {
        if (std::abs(chunk.cx - key.first) + std::abs(chunk.cz - key.second) >= 2) continue;
        app.scanWaterCells(chunk);
    }
    app.scanCropCells(app.world.chunks.back());
}

void requestNearestChunk(App& app) {
    ChunkStreamState& stream = app.stream;
    const std::optional<core::WindowKey> next =
        core::nearestMissingChunk(app.world.chunkMap, {stream.centreX, stream.centreZ}, app.chunkRadius);
    if (!next) return;
    stream.requestX = next->first;
    stream.requestZ = next->second;
    // A chunk saved and dropped may still be on its way to the disk: the task decodes those bytes.
    std::optional<std::string> held = filesave::heldChunkBytes(app.files.world, next->first, next->second);
    stream.task = app.tasks.launch([worldDir = app.files.world, seed = app.files.seed,
                                    generation = app.generationStage, cx = next->first, cz = next->second,
                                    profile = app.world.profile, held = std::move(held)] {
        return App::streamWorldTask(worldDir, seed, generation, cx, cz, profile, held);
    });
}

}  // namespace

void App::generateEnvironment() {
    unloadAllChunks();
    world.profile = keptProfile(*this, dimension);
    stream.centreX = stream.centreZ = 0;
    const int32_t radius = chunkRadius;
    world.chunks.reserve(static_cast<std::size_t>((2 * radius + 1) * (2 * radius + 1)));
    for (int32_t cz = -radius; cz <= radius; ++cz) {
        for (int32_t cx = -radius; cx <= radius; ++cx) {
            // Saved chunks come back from their files, so edits near the origin survive a restart.
            world.chunks.push_back(readChunk(cx, cz));
            render::collectWaterLevels(world.chunks.back(), meshing.waterLevels);
            const int32_t progress = core::environmentProgress(
                environmentProgressStart, environmentProgressEnd, world.chunks.size(), radius);
            throwIfLoadCancelled(ui.loading, progress, "Генерация окружения");
            world.remesh.insert({cx, cz});
            world.relight.insert({cx, cz});
        }
    }
    reindexChunks();
    for (const voxel::Chunk& chunk : world.chunks) {
        scanWaterCells(chunk);
        scanCropCells(chunk);
    }
}

void App::streamWorld() {
    if (!files.worldOpen) return;
    const core::WindowKey centre{core::chunkOf(player.x), core::chunkOf(player.z)};
    if (centre != core::WindowKey{stream.centreX, stream.centreZ} || chunkRadius != lastUnloadRadius) {
        stream.centreX = centre.first;
        stream.centreZ = centre.second;
        lastUnloadRadius = chunkRadius;
        unloadFarChunks(*this, centre);
    }
    takeStreamedChunk(*this);
    if (!stream.task.valid()) requestNearestChunk(*this);
    uploadMesh(render::meshPoll);
}

StreamedChunk App::streamWorldTask(std::filesystem::path worldDir, uint32_t seed, int32_t generation,
                                   int32_t cx, int32_t cz, voxel::ProfilePtr profile,
                                   std::optional<std::string> held) {
    const auto start = std::chrono::steady_clock::now();
    StreamedChunk result{voxel::loadOrGenerateChunk(worldDir, seed, generation, cx, cz, profile, held), 0.0};
    const auto elapsed = std::chrono::steady_clock::now() - start;
    result.milliseconds =
        static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count()) / 1e6;
    return result;
}

