// Chests and furnaces whose block is gone (mined, exploded, overwritten) give up their contents
// as dropped items where they stood, so no stored item is lost with its block.
#include <string_view>

#include "app/app.h"
#include "world/block_registry.h"

namespace {

void dropStack(App& app, const InventorySlot& slot, const CellKey& cell) {
    const auto [x, y, z] = cell;
    app.dropItem(slot.id, slot.count, static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f,
                 static_cast<float>(z) + 0.5f);
}

bool orphaned(const App& app, const CellKey& cell, std::string_view behavior) {
    const auto [x, y, z] = cell;
    // Only a loaded chunk can tell that the block is gone.
    if (!app.findChunk(voxel::floorDiv(x, voxel::chunkSize), voxel::floorDiv(z, voxel::chunkSize))) return false;
    return voxel::blockDef(app.blockAt(x, y, z)).behavior != behavior;
}

// Spills and removes the orphans of one kind; the store and the dropped items are then saved
// together, so the contents are never kept in both or in neither.
template <typename Store, typename SlotsOf>
void spillOrphans(App& app, Store& store, std::string_view behavior, SlotsOf slotsOf) {
    bool spilled = false;
    for (auto it = store.begin(); it != store.end();) {
        if (!orphaned(app, it->first, behavior)) {
            ++it;
            continue;
        }
        for (const InventorySlot& slot : slotsOf(it->second)) dropStack(app, slot, it->first);
        it = store.erase(it);
        spilled = true;
    }
    if (spilled) app.saveActionFiles();
}

}  // namespace

void App::spillOrphanedChests() {
    spillOrphans(*this, containers.chests[dimension], "chest",
                 [](const ChestSlots& slots) -> const ChestSlots& { return slots; });
}

void App::spillOrphanedFurnaces() {
    spillOrphans(*this, machines[dimension], "furnace",
                 [](const Machine& m) -> const auto& { return m.slots; });
}
