// Furnaces burning fuel and smelting by the rule file.
#include "game/furnace.h"

#include "app/app.h"
#include "world/block_registry.h"

namespace game {

namespace {

enum Slot { kInput, kFuel, kOutput };

bool canSmelt(const Machine& furnace, const content::SmeltingRecipe* recipe) {
    if (!recipe) return false;
    const InventorySlot& out = furnace.slots[kOutput];
    if (out.count <= 0) return true;
    return out.id == recipe->result && out.count < voxel::blockIntField(recipe->result);
}

void takeOne(InventorySlot& slot) {
    if (--slot.count <= 0) slot = InventorySlot{};
}

// Lights the next fuel item; false when the fuel slot holds none.
bool lightFuel(Machine& furnace, const content::FurnaceRules& rules) {
    InventorySlot& fuel = furnace.slots[kFuel];
    const auto ticks = fuel.count > 0 ? rules.fuels.find(fuel.id) : rules.fuels.end();
    if (ticks == rules.fuels.end()) return false;
    takeOne(fuel);
    furnace.burnRemaining = furnace.burnTotal = ticks->second;
    return true;
}

void finishSmelting(Machine& furnace, const content::SmeltingRecipe& recipe) {
    takeOne(furnace.slots[kInput]);
    InventorySlot& out = furnace.slots[kOutput];
    if (out.count <= 0) out = InventorySlot{recipe.result, 0, 0};
    ++out.count;
    furnace.smeltProgress = 0;
}

}  // namespace

const content::SmeltingRecipe* smeltingRecipe(const content::FurnaceRules& rules, const InventorySlot& input) {
    if (input.count <= 0) return nullptr;
    for (const content::SmeltingRecipe& recipe : rules.recipes)
        if (recipe.input == input.id) return &recipe;
    return nullptr;
}

void stepFurnace(Machine& furnace, const content::FurnaceRules& rules) {
    const content::SmeltingRecipe* recipe = smeltingRecipe(rules, furnace.slots[kInput]);
    const bool smelts = canSmelt(furnace, recipe);
    if (furnace.burnRemaining <= 0 && !(smelts && lightFuel(furnace, rules))) {
        furnace.smeltProgress = 0;
        return;
    }
    --furnace.burnRemaining;
    if (!smelts) {
        furnace.smeltProgress = 0;
        return;
    }
    if (++furnace.smeltProgress >= recipe->ticks) finishSmelting(furnace, *recipe);
}

}  // namespace game

// A furnace whose chunk is not loaded reads as air here, so it waits until the chunk returns.
void App::stepFurnaces() {
    for (auto& [cell, furnace] : machines[dimension]) {
        const auto [x, y, z] = cell;
        if (voxel::blockDef(blockAt(x, y, z)).behavior != "furnace") continue;
        game::stepFurnace(furnace, rules.furnace);
    }
}
