// The chests that world generation places in structures and ruins: each takes its loot table's roll
// the first time it is opened, and the loot state remembers it.
#include "app/app.h"
#include "world/block_registry.h"
#include "world/structures.h"

void App::fillStructureChest(const CellKey& cell) {
    if (loot.filledChests.contains({dimension, cell})) return;
    const auto [x, y, z] = cell;
    const voxel::GenerationContext context{files.seed, generationStage, world.profile};
    const auto table = rules.lootTables.find(voxel::chestLootAt(context, x, y, z));
    // A table the content no longer has fills nothing yet; content that brings it back still can.
    if (table == rules.lootTables.end()) return;
    loot.filledChests.insert({dimension, cell});
    const adventure::MaxStack maxStack = [](uint8_t item) {
        return voxel::isValidBlockId(item) ? voxel::blockDef(item).max_stack : 1;
    };
    adventure::rollLoot(table->second, adventure::lootSeed(files.seed, cell), maxStack,
                        containers.chests[dimension][cell]);
    // The loot and the mark that the chest was filled are saved together: never filled twice.
    saveActionFiles();
}
