#pragma once
// The furnace rule of the world step, by the furnace rule file. A furnace whose input has a
// smelting recipe, whose output can take one more result, and that is not burning, lights its
// next fuel item: burnRemaining and burnTotal take the fuel's ticks. Each step of burning costs
// one tick of fuel; while it can smelt, smeltProgress counts up and at the recipe's ticks one
// input becomes one result. Progress falls back to 0 whenever it cannot smelt. Fuel already lit
// burns out even when the input is taken away.
#include "content/rule_files.h"
#include "game/machine.h"

namespace game {

// The recipe for this input, or null.
const content::SmeltingRecipe* smeltingRecipe(const content::FurnaceRules& rules, const InventorySlot& input);

// One world step of one furnace.
void stepFurnace(Machine& furnace, const content::FurnaceRules& rules);

}  // namespace game
