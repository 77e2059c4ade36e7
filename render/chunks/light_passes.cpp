// Scheduling of the lighting pass: light sources, the per-chunk indexes, the launch of a pass over
// the window around the changed chunks, and the installation of its results on the main thread.
#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <utility>

#include "app/app.h"
#include "world/block_registry.h"

namespace {

struct KeyOffset {
    int32_t dx, dz;
};

// The ring of eight around a relit chunk, whose light the change may reach.
const KeyOffset ringOfEight[8] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}};

// The side neighbours that share faces with a relit chunk, in the order of the bits of
// render::changedLightBorders.
const KeyOffset sideNeighbours[4] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};

// A pass lights the chunks within this many chunks of a changed one, so that light crossing the
// borders comes out right.
constexpr int32_t windowReach = 2;

bool nearAnyKey(const std::set<ChunkKey>& keys, const ChunkKey& key) {
    for (int32_t kx = key.first - windowReach; kx <= key.first + windowReach; ++kx) {
        const auto found = keys.lower_bound({kx, key.second - windowReach});
        if (found != keys.end() && found->first == kx && found->second <= key.second + windowReach) return true;
    }
    return false;
}

bool isFunctional(const voxel::BlockDef& def) {
    static const char* const kinds[] = {"door", "trapdoor", "ladder", "bed"};
    return def.movingParts || std::find(std::begin(kinds), std::end(kinds), def.behavior) != std::end(kinds);
}

// What a cell of each id adds to the indexes, worked out once a rebuild rather than once a cell: the
// rebuild runs for every waiting chunk each frame until its pass is launched.
enum IndexKind : uint8_t { kFunctional = 1, kEmitter = 2, kLamp = 4, kUnknownId = 8 };

std::array<uint8_t, 256> indexKinds() {
    std::array<uint8_t, 256> kinds{};
    const std::size_t count = voxel::blockCount();
    for (std::size_t id = 1; id < kinds.size(); ++id) {
        if (id >= count) {
            kinds[id] = kUnknownId;
            continue;
        }
        const voxel::BlockDef& def = voxel::blockDef(static_cast<uint8_t>(id));
        kinds[id] = static_cast<uint8_t>((isFunctional(def) ? kFunctional : 0) |
                                         (def.particle_effect != 0 ? kEmitter : 0) | (def.light > 0.0f ? kLamp : 0));
    }
    return kinds;
}

// The pass reads a chunk's cells and the light it had, and hands back only light: the water levels
// and the states stay behind, a third or more of what the main thread would copy.
voxel::Chunk lightingCopy(const voxel::Chunk& chunk) {
    voxel::Chunk copy(chunk.cx, chunk.cz);
    copy.cells = chunk.cells;
    copy.light = chunk.light;
    return copy;
}

ChunkKey chunkOfCell(int32_t x, int32_t z) {
    return {voxel::floorDiv(x, voxel::chunkSize), voxel::floorDiv(z, voxel::chunkSize)};
}

}  // namespace

std::vector<voxel::LightSource> App::collectLightSources() const {
    std::vector<voxel::LightSource> sources;
    for (const auto& [cell, machine] : cellsIn(machines, dimension)) {
        const auto [x, y, z] = cell;
        if (machine.burnRemaining <= 0) continue;
        const ChunkKey key = chunkOfCell(x, z);
        if (!findChunk(key.first, key.second)) continue;
        const voxel::BlockDef& def = voxel::blockDef(blockAt(x, y, z));
        if (def.behavior != "furnace") continue;
        sources.push_back({x, y, z, static_cast<int32_t>(std::ceil(def.fire_light))});
    }
    return sources;
}

// A source that appeared, went out or changed its level relights its chunk through the ordinary
// rules; without this a furnace lighting up would change no chunk the pass hands back.
bool App::takeLightSources(std::vector<voxel::LightSource> sources) {
    if (sources == lighting.previousSources) return false;
    std::vector<voxel::LightSource> changed;
    std::set_symmetric_difference(sources.begin(), sources.end(), lighting.previousSources.begin(),
                                  lighting.previousSources.end(), std::back_inserter(changed));
    for (const voxel::LightSource& source : changed) {
        const ChunkKey key = chunkOfCell(source.x, source.z);
        if (findChunk(key.first, key.second)) world.relight.insert(key);
    }
    lighting.previousSources = std::move(sources);
    return true;
}

void App::rebuildLightIndexes(const ChunkKey& key) {
    const voxel::Chunk* chunk = findChunk(key.first, key.second);
    if (!chunk) return;
    std::vector<LampRecord>& lamps = lighting.lamps[key];
    std::vector<BlockCellRecord>& functional = lighting.functionalBlocks[key];
    std::vector<BlockCellRecord>& emitters = lighting.emitters[key];
    lamps.clear();
    functional.clear();
    emitters.clear();
    ++lighting.revision;
    const std::array<uint8_t, 256> kinds = indexKinds();
    const int32_t baseX = key.first * voxel::chunkSize, baseZ = key.second * voxel::chunkSize;
    std::size_t index = 0;
    for (int32_t y = 0; y < voxel::chunkHeight; ++y) {
        for (int32_t z = 0; z < voxel::chunkSize; ++z) {
            for (int32_t x = 0; x < voxel::chunkSize; ++x, ++index) {
                const uint8_t id = chunk->cells[index];
                const uint8_t kind = kinds[id];
                if (kind == 0) continue;
                const voxel::BlockDef& def = voxel::blockDef(id);  // raises for an unknown id
                const BlockCellRecord cell{baseX + x, y, baseZ + z, id};
                if (kind & kFunctional) functional.push_back(cell);
                if ((kind & kEmitter) && emitters.size() < LightingState::kEmitterLimit) emitters.push_back(cell);
                if (kind & kLamp) {
                    lamps.push_back({static_cast<float>(cell.x) + 0.5f, static_cast<float>(y) + 0.5f,
                                     static_cast<float>(cell.z) + 0.5f, def.light / 15.0f});
                }
            }
        }
    }
}

void App::forgetChunkLighting(const ChunkKey& key) {
    lighting.lamps.erase(key);
    lighting.functionalBlocks.erase(key);
    lighting.emitters.erase(key);
    ++lighting.revision;
}

void App::discardLighting() {
    ++lighting.revision;
    std::future<std::vector<voxel::Chunk>> pending = std::move(lighting.task);
    lighting.lamps.clear();
    lighting.functionalBlocks.clear();
    lighting.emitters.clear();
    lighting.lampList.clear();
    lighting.previousSources.clear();
    // A failure of the dropped pass still surfaces here.
    if (pending.valid()) pending.get();
}

// The list follows the indexes at the next refresh; unchanged indexes leave it as it is.
void App::gatherLamps() {
    if (lighting.lampListRevision == lighting.revision) return;
    lighting.lampListRevision = lighting.revision;
    lighting.lampList.clear();
    for (const auto& [key, lamps] : lighting.lamps) {
        lighting.lampList.insert(lighting.lampList.end(), lamps.begin(), lamps.end());
    }
}

void App::collectLightTask(bool sync) {
    if (!lighting.task.valid()) return;
    if (!sync && !taskReady(lighting.task)) return;
    applyRelitChunks(lighting.task.get());
}

// Every unlit chunk, every chunk when synchronous, and the chunks near a relit key; all of them
// when that leaves none.
std::vector<voxel::Chunk> App::lightingCopies(bool sync) const {
    std::vector<voxel::Chunk> copies;
    for (const voxel::Chunk& chunk : world.chunks) {
        if (sync || chunk.light.empty() || nearAnyKey(world.relight, {chunk.cx, chunk.cz}))
            copies.push_back(lightingCopy(chunk));
    }
    if (copies.empty()) {
        for (const voxel::Chunk& chunk : world.chunks) copies.push_back(lightingCopy(chunk));
    }
    return copies;
}

// The relit keys and their loaded rings, and every chunk lit for the first time: the chunks a pass
// hands back.
std::set<ChunkKey> App::lightingTargets(const std::vector<voxel::Chunk>& copies) const {
    std::set<ChunkKey> targets = world.relight;
    for (const ChunkKey& key : world.relight) {
        for (const KeyOffset& offset : ringOfEight) {
            const ChunkKey around{key.first + offset.dx, key.second + offset.dz};
            if (findChunk(around.first, around.second)) targets.insert(around);
        }
    }
    for (const voxel::Chunk& copy : copies) {
        if (copy.light.empty()) targets.insert({copy.cx, copy.cz});
    }
    return targets;
}

void App::launchLightPass(bool sync) {
    std::vector<voxel::Chunk> copies = lightingCopies(sync);
    std::set<ChunkKey> targets = lightingTargets(copies);
    world.relight.clear();
    lighting.lastLaunch = tasks.now();
    if (sync) {
        voxel::computeLight(copies, lighting.previousSources, *lighting.scratch);
        applyRelitChunks(std::move(copies));
        return;
    }
    lighting.task = tasks.launch([copies = std::move(copies), sources = lighting.previousSources,
                                  targets = std::move(targets), scratch = lighting.scratch]() mutable {
        return refreshLightsTask(std::move(copies), std::move(sources), std::move(targets), std::move(scratch));
    });
}

void App::refreshLights(bool sync) {
    const double t0 = tasks.now();
    collectLightTask(sync);
    bool needLight = !world.relight.empty();
    if (takeLightSources(collectLightSources())) needLight = true;
    // The indexes follow the cells at once, even while the pass waits for its spacing or for the
    // one in flight: a door broken this frame is not drawn in the next.
    for (const ChunkKey& key : world.relight) rebuildLightIndexes(key);
    const bool spaced = sync || tasks.now() - lighting.lastLaunch > LightingState::kLaunchSpacing;
    if (needLight && !lighting.task.valid() && spaced) launchLightPass(sync);
    gatherLamps();
    lighting.lastMilliseconds = (tasks.now() - t0) * 1000.0;
}

std::vector<voxel::Chunk> App::refreshLightsTask(std::vector<voxel::Chunk> chunks,
                                                 std::vector<voxel::LightSource> sources, std::set<ChunkKey> targets,
                                                 std::shared_ptr<voxel::LightScratch> scratch) {
    voxel::computeLight(chunks, sources, *scratch);
    std::erase_if(chunks, [&](const voxel::Chunk& chunk) { return !targets.contains({chunk.cx, chunk.cz}); });
    return chunks;
}

// Only the light lists move over: cells edited while the pass ran stay as they are, and their
// chunks are already waiting for the next pass. A side neighbour is remeshed only when the layer
// its mesh reads changed: a chunk arriving relights its whole ring, mostly far from their borders.
void App::applyRelitChunks(std::vector<voxel::Chunk> chunks) {
    for (voxel::Chunk& relit : chunks) {
        voxel::Chunk* loaded = findChunk(relit.cx, relit.cz);
        if (!loaded || loaded->light == relit.light) continue;
        const uint8_t borders = render::changedLightBorders(loaded->light, relit.light);
        loaded->light = std::move(relit.light);
        ++lighting.revision;
        world.remesh.insert({relit.cx, relit.cz});
        for (std::size_t side = 0; side < 4; ++side) {
            const KeyOffset& offset = sideNeighbours[side];
            if ((borders >> side & 1) != 0 && findChunk(relit.cx + offset.dx, relit.cz + offset.dz)) {
                world.remesh.insert({relit.cx + offset.dx, relit.cz + offset.dz});
            }
        }
    }
}
