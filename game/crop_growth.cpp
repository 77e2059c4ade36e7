// Crops growing through their stages by the crop rules.
#include "game/crop_growth.h"

#include "app/app.h"

namespace game {

std::optional<CropStage> findCropStage(const std::vector<content::CropRule>& crops, uint8_t id) {
    if (id == voxel::airId) return std::nullopt;
    for (const content::CropRule& crop : crops)
        for (std::size_t i = 0; i < crop.stages.size(); ++i)
            if (crop.stages[i] == id) return CropStage{&crop, i};
    return std::nullopt;
}

uint8_t grownStage(const CropStage& at, uint64_t ticksShown, uint8_t below) {
    const content::CropRule& crop = *at.crop;
    if (at.stage + 1 >= crop.stages.size() || below != crop.soil) return 0;
    if (ticksShown < static_cast<uint64_t>(crop.growTicks)) return 0;
    return crop.stages[at.stage + 1];
}

}  // namespace game

void App::noteCropCell(const CellKey& cell, uint8_t id) {
    const std::optional<game::CropStage> at = game::findCropStage(rules.crops, id);
    if (at && at->stage + 1 < at->crop->stages.size()) sim.crops.try_emplace(cell, clock.tick);
}

void App::scanCropCells(const voxel::Chunk& chunk) {
    if (rules.crops.empty()) return;
    std::array<bool, 256> isStage{};
    for (const content::CropRule& crop : rules.crops)
        for (uint8_t stage : crop.stages) isStage[stage] = true;
    const int32_t baseX = chunk.cx * voxel::chunkSize, baseZ = chunk.cz * voxel::chunkSize;
    for (int32_t y = 1; y < voxel::chunkHeight; ++y)
        for (int32_t z = 0; z < voxel::chunkSize; ++z)
            for (int32_t x = 0; x < voxel::chunkSize; ++x) {
                const uint8_t id = chunk.cells[voxel::cellIndex(x, y, z)];
                if (isStage[id]) noteCropCell({baseX + x, y, baseZ + z}, id);
            }
}

void App::stepCrops() {
    for (auto it = sim.crops.begin(); it != sim.crops.end();) {
        const auto [x, y, z] = it->first;
        // A crop of an unloaded chunk keeps its time and goes on when the chunk returns.
        if (!findChunk(voxel::floorDiv(x, voxel::chunkSize), voxel::floorDiv(z, voxel::chunkSize))) {
            ++it;
            continue;
        }
        const std::optional<game::CropStage> at = game::findCropStage(rules.crops, blockAt(x, y, z));
        if (!at || at->stage + 1 >= at->crop->stages.size()) {
            it = sim.crops.erase(it);
            continue;
        }
        const uint8_t next = game::grownStage(*at, clock.tick - it->second, blockAt(x, y - 1, z));
        if (next != 0 && setBlock(x, y, z, next)) it->second = clock.tick;
        ++it;
    }
}
