// Water cells: finding those that may flow, and flowing a bounded number of them each world step.
#include "game/water_flow.h"

#include "app/app.h"

namespace {

struct Step {
    int32_t dx, dy, dz;
};

// Below first: falling water spreads sideways only where it cannot fall.
constexpr Step kBelow{0, -1, 0};
constexpr Step kSides[4] = {{1, 0, 0}, {-1, 0, 0}, {0, 0, 1}, {0, 0, -1}};

CellKey offset(const CellKey& cell, const Step& step) {
    const auto [x, y, z] = cell;
    return {x + step.dx, y + step.dy, z + step.dz};
}

bool open(const App& app, const CellKey& cell) {
    const auto [x, y, z] = cell;
    return app.waterCanFlowInto(x, y, z);
}

bool canFlow(const App& app, const CellKey& cell) {
    if (open(app, offset(cell, kBelow))) return true;
    for (const Step& side : kSides)
        if (open(app, offset(cell, side))) return true;
    return false;
}

void queueWater(App& app, const CellKey& cell) {
    if (app.sim.waterQueued.insert(cell).second) app.sim.waterQueue.push_back(cell);
}

void fillWater(App& app, const CellKey& cell, uint8_t level) {
    const auto [x, y, z] = cell;
    if (!app.setBlock(x, y, z, voxel::waterId)) return;
    app.meshing.waterLevels[cell] = level;
    app.meshing.waterLevelsChanged = true;
    queueWater(app, cell);
}

void flowWaterCell(App& app, const CellKey& cell) {
    const auto [x, y, z] = cell;
    // A cell of an unloaded chunk keeps its level; the chunk's scan queues it again on return.
    if (!app.findChunk(voxel::floorDiv(x, voxel::chunkSize), voxel::floorDiv(z, voxel::chunkSize))) return;
    auto& levels = app.meshing.waterLevels;
    const auto known = levels.find(cell);
    if (app.blockAt(x, y, z) != voxel::waterId) {
        if (known != levels.end()) {
            levels.erase(known);
            app.meshing.waterLevelsChanged = true;
        }
        return;
    }
    const CellKey below = offset(cell, kBelow);
    if (open(app, below)) {
        fillWater(app, below, game::kFallingWater);
        return;
    }
    const uint8_t next = game::sidewaysLevel(known == levels.end() ? 0 : known->second);
    if (next == 0) return;
    for (const Step& side : kSides) {
        const CellKey target = offset(cell, side);
        if (open(app, target)) fillWater(app, target, next);
    }
}

}  // namespace

bool App::waterCanFlowInto(int32_t x, int32_t y, int32_t z) const {
    if (y < 0 || y >= voxel::chunkHeight) return false;
    if (!findChunk(voxel::floorDiv(x, voxel::chunkSize), voxel::floorDiv(z, voxel::chunkSize))) return false;
    return blockAt(x, y, z) == voxel::airId;
}


void App::scanWaterCells(const voxel::Chunk& chunk) {
    const int32_t baseX = chunk.cx * voxel::chunkSize, baseZ = chunk.cz * voxel::chunkSize;
    // Neighbours inside the chunk are read directly; only border cells go through the chunk map.
    const auto flowsTo = [&](int32_t x, int32_t y, int32_t z) {
        if (x >= 0 && x < voxel::chunkSize && z >= 0 && z < voxel::chunkSize)
            return y >= 0 && chunk.cells[voxel::cellIndex(x, y, z)] == voxel::airId;
        return waterCanFlowInto(baseX + x, y, baseZ + z);
    };
    const auto& levels = meshing.waterLevels;
    for (int32_t y = 1; y < voxel::chunkHeight; ++y)
        for (int32_t z = 0; z < voxel::chunkSize; ++z)
            for (int32_t x = 0; x < voxel::chunkSize; ++x) {
                if (chunk.cells[voxel::cellIndex(x, y, z)] != voxel::waterId) continue;
                const CellKey cell{baseX + x, y, baseZ + z};
                // Still water (no level) is where the generator or a player left it: a fountain on its
                // column, a pool in its rim. It stays until an edit beside it wakes it.
                if (sim.waterQueued.contains(cell) || !levels.contains(cell)) continue;
                if (flowsTo(x, y - 1, z) || flowsTo(x + 1, y, z) || flowsTo(x - 1, y, z) || flowsTo(x, y, z + 1) ||
                    flowsTo(x, y, z - 1))
                    queueWater(*this, cell);
            }
}


void App::stepWater() {
    for (std::size_t n = 0; n < game::kWaterCellsPerStep && !sim.waterQueue.empty(); ++n) {
        const CellKey cell = sim.waterQueue.front();
        sim.waterQueue.pop_front();
        sim.waterQueued.erase(cell);
        flowWaterCell(*this, cell);
    }
}

// An edit wakes the water beside it and shows a newly planted crop to the crop step.
void App::stepBlockUpdates() {
    for (std::size_t n = 0; n < game::kBlockUpdatesPerStep && !world.updateQueue.empty(); ++n) {
        const CellKey cell = world.updateQueue.front();
        world.updateQueue.pop_front();
        world.updateSet.erase(cell);
        const auto [x, y, z] = cell;
        const uint8_t id = blockAt(x, y, z);
        if (id == voxel::waterId && !sim.waterQueued.contains(cell) && canFlow(*this, cell)) queueWater(*this, cell);
        noteCropCell(cell, id);
    }
}
