// The blocks that move, drawn from one vertex list rebuilt only when what it shows has changed, and
// the animation of chest lids and door swings that moves them.
#include <algorithm>
#include <chrono>
#include <cmath>

#include "app/app.h"
#include "render/vulkan/buffers.h"
#include "render/vulkan/vulkan_check.h"
#include "world/shapes.h"

namespace {

// The line value that the functional buffer's map failure reports.
constexpr int kFunctionalMapLine = 1187;

double horizontalDistance(const App& app, int32_t x, int32_t z) {
    const double dx = x + 0.5 - app.player.x, dz = z + 0.5 - app.player.z;
    return std::sqrt(dx * dx + dz * dz);
}

// The state of a cell when it still holds the block it was stored with; else 0.
uint8_t currentState(const App& app, int32_t x, int32_t y, int32_t z) {
    const auto found = app.world.blockStates.find({x, y, z});
    if (found == app.world.blockStates.end() || found->second.id != app.blockAt(x, y, z)) return 0;
    return found->second.state;
}

float lidProgress(const App& app, const CellKey& cell) {
    const auto found = app.functional.chestLids.find(cell);
    return found == app.functional.chestLids.end() ? 0.0f : found->second;
}

double blockAngle(const App& app, const voxel::BlockDef& def, const CellKey& cell) {
    if (voxel::shapeKind(def) != voxel::shapeNone) return app.doorAngle(cell);
    return render::lidAngle(lidProgress(app, cell), def.lid_degrees);
}

// The upper door half and the bed's second cell are drawn from their other half.
bool drawnFromOtherHalf(const voxel::BlockDef& def, uint8_t state) {
    const int32_t kind = voxel::shapeKind(def);
    return (kind == voxel::shapeDoor || kind == voxel::shapeBed) && (state & voxel::stateUpper);
}

void appendIncluded(const App& app, const std::vector<BlockCellRecord>& records,
                    std::vector<render::FunctionalBlock>& out) {
    for (const BlockCellRecord& r : records) {
        const voxel::BlockDef& def = voxel::blockDef(r.id);
        if (!render::functionalIncluded(def, horizontalDistance(app, r.x, r.z))) continue;
        const uint8_t state = currentState(app, r.x, r.y, r.z);
        if (drawnFromOtherHalf(def, state)) continue;
        out.push_back({r.x, r.y, r.z, r.id, state, blockAngle(app, def, {r.x, r.y, r.z})});
    }
}

// Seconds of world time, continuous between ticks, that the fire flickers by.
double worldSeconds(const App& app) {
    return (app.clock.accumulator / WorldClock::kStep + static_cast<double>(app.clock.tick)) * WorldClock::kStep;
}

void stampLight(const App& app, std::vector<render::MeshVertex>& list) {
    for (render::MeshVertex& v : list) {
        const App::Light light = app.lightAt(static_cast<int32_t>(std::floor(v.x)), static_cast<int32_t>(std::floor(v.y)),
                                             static_cast<int32_t>(std::floor(v.z)));
        v.sky = light.sky;
        v.block = light.block;
    }
}

void uploadFunctional(App& app) {
    FunctionalState& f = app.functional;
    const uint64_t bytes = f.vertices.size() * sizeof(render::MeshVertex);
    if (bytes > f.buffer.capacity) {
        if (f.buffer.buffer) vkDestroyBuffer(app.gpu.dev, f.buffer.buffer, nullptr);
        if (f.buffer.memory) vkFreeMemory(app.gpu.dev, f.buffer.memory, nullptr);
        f.buffer.buffer = VK_NULL_HANDLE;
        f.buffer.memory = VK_NULL_HANDLE;
        f.buffer.capacity = render::functionalCapacity(f.buffer.capacity, bytes);
        vk::createBuffer(app, f.buffer.capacity, VK_BUFFER_USAGE_VERTEX_BUFFER_BIT, f.buffer.buffer, f.buffer.memory,
                         nullptr);
    }
    void* mapped = nullptr;
    render::check(vkMapMemory(app.gpu.dev, f.buffer.memory, 0, bytes, 0, &mapped),
                  "vkMapMemory(dev,functionalMemory,0,bytes,0,&mapped)", kFunctionalMapLine);
    std::copy(f.vertices.begin(), f.vertices.end(), static_cast<render::MeshVertex*>(mapped));
    vkUnmapMemory(app.gpu.dev, f.buffer.memory);
}

}  // namespace

std::vector<render::FunctionalBlock> App::visibleFunctionalBlocks() const {
    std::vector<render::FunctionalBlock> blocks;
    for (const auto& [key, records] : lighting.functionalBlocks) {
        if (isChunkColumnInView(voxel::packChunkKey(key.first, key.second))) appendIncluded(*this, records, blocks);
    }
    return blocks;
}

std::vector<CellKey> App::burningFurnacesNear() const {
    std::vector<CellKey> furnaces;
    for (const auto& [cell, machine] : cellsIn(machines, dimension)) {
        const auto [x, y, z] = cell;
        if (machine.burnRemaining <= 0 || !findChunk(voxel::floorDiv(x, 16), voxel::floorDiv(z, 16))) continue;
        if (voxel::blockDef(blockAt(x, y, z)).behavior != "furnace") continue;
        if (horizontalDistance(*this, x, z) <= render::kFunctionalRadius) furnaces.push_back(cell);
    }
    return furnaces;
}

uint64_t App::functionalSignature(const std::vector<render::FunctionalBlock>& blocks,
                                  const std::vector<CellKey>& furnaces) const {
    uint64_t h = render::signatureStart(lighting.revision, showHitboxes);
    for (const render::FunctionalBlock& block : blocks) h = render::mixFunctionalBlock(h, block);
    // A burning fire flickers with world time, so it changes the signature every frame.
    const auto accumulated = static_cast<int64_t>(clock.accumulator * 1000000.0);
    for (const auto& [x, y, z] : furnaces) {
        for (const int64_t v : {int64_t{x}, int64_t{y}, int64_t{z}, static_cast<int64_t>(clock.tick), accumulated})
            h = render::mixSignature(h, v);
    }
    return h;
}

void App::rebuildFunctionalVertices(const std::vector<render::FunctionalBlock>& blocks,
                                    const std::vector<CellKey>& furnaces) {
    std::vector<render::MeshVertex>& list = functional.vertices;
    list.clear();
    for (const render::FunctionalBlock& block : blocks)
        render::emitFunctionalBlock(list, voxel::blockDef(block.id), block, showHitboxes);
    const double t = worldSeconds(*this);
    for (const auto& [x, y, z] : furnaces) {
        const uint8_t id = blockAt(x, y, z);
        render::emitFurnaceFire(list, x, y, z, id, voxel::blockDef(id).fire_material, t);
    }
    stampLight(*this, list);
}

void App::buildFunctionalMeshes() {
    const auto start = std::chrono::steady_clock::now();
    const auto recordTime = [&] {
        functional.lastBuildMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    };
    const std::vector<render::FunctionalBlock> blocks = visibleFunctionalBlocks();
    const std::vector<CellKey> furnaces = burningFurnacesNear();
    const uint64_t h = functionalSignature(blocks, furnaces);
    if (functional.signatureValid && h == functional.signature) return recordTime();
    functional.signatureValid = true;
    functional.signature = h;
    ++functional.rebuilds;
    rebuildFunctionalVertices(blocks, furnaces);
    // Without a device (tests, or before start-up made one) the list is kept and nothing uploaded.
    if (!functional.vertices.empty() && gpu.dev) uploadFunctional(*this);
    recordTime();
}

// A lid swings fully open or shut in its block's lid_seconds (0.3 s unless the content says
// otherwise), at an even pace; the drawn angle eases in and out of it.
void App::animateChestLids(float seconds) {
    animateDoors(seconds);
    const float step = std::clamp(seconds, 0.0f, 0.1f);
    const auto lidded = [this](const CellKey& cell) -> const voxel::BlockDef* {
        const voxel::BlockDef& def = voxel::blockDef(blockAt(std::get<0>(cell), std::get<1>(cell), std::get<2>(cell)));
        return def.movingParts ? &def : nullptr;
    };
    if (functional.openChest && lidded(*functional.openChest))
        functional.chestLids.try_emplace(*functional.openChest, 0.0f);
    for (auto it = functional.chestLids.begin(); it != functional.chestLids.end();) {
        const voxel::BlockDef* def = lidded(it->first);
        const bool open = functional.openChest == it->first;
        if (def) {
            const float change = step / std::max(def->lid_seconds, 0.01f);
            it->second = std::clamp(it->second + (open ? change : -change), 0.0f, 1.0f);
        }
        // A lid whose chest is gone, or that has shut, needs no entry: no entry reads as closed.
        it = (!def || (!open && it->second <= 0.0f)) ? functional.chestLids.erase(it) : std::next(it);
    }
}

void App::drawFunctionalBlocks(VkCommandBuffer cmd) {
    if (functional.vertices.empty() || !functional.buffer.buffer) return;
    const VkDeviceSize offset = 0;
    vkCmdBindVertexBuffers(cmd, 0, 1, &functional.buffer.buffer, &offset);
    vkCmdDraw(cmd, static_cast<uint32_t>(functional.vertices.size()), 1, 0, 0);
}
