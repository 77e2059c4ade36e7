// The player's inventory as the game fills it: items given go to the hotbar first, then the rest.
#include "app/app.h"
#include "ui/slot_moves.h"
#include "world/block_registry.h"

int32_t App::giveItem(uint8_t id, int32_t count) {
    if (!voxel::isValidBlockId(id)) return count;
    const int32_t maxStack = voxel::blockDef(id).max_stack;
    count = ui::addItems(inventory.hotbar, id, count, maxStack);
    return ui::addItems(inventory.main, id, count, maxStack);
}
