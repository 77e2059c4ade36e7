#pragma once
// Moving stacks between slots with the mouse, counting and taking items, and crafting by a recipe:
// pure functions over slots, so the inventory screens stay thin.
#include <cstdint>
#include <span>

#include "content/recipes.h"
#include "game/player_state.h"

namespace ui {

// Left click: pick up a stack, put one down, merge into a stack of the same item up to maxStack
// (the rest stays on the cursor), or swap two different stacks.
void leftClickSlot(InventorySlot& slot, InventorySlot& cursor, int32_t maxStack);
// Right click: pick up half (rounded up), or put one item down where it fits; a different stack
// swaps as with the left button.
void rightClickSlot(InventorySlot& slot, InventorySlot& cursor, int32_t maxStack);
// A slot that only gives (a furnace output): the whole stack joins the cursor when it fits.
void takeFromOutput(InventorySlot& slot, InventorySlot& cursor, int32_t maxStack);

// Armour slot 0 head, 1 body, 2 legs, 3 feet: only armour of that slot goes in; the body slot
// also takes a glider. An empty stack always fits.
bool armourSlotAccepts(int32_t armourSlot, uint8_t id);

int32_t countIn(std::span<const InventorySlot> slots, uint8_t id);
// Takes count items of id from the slots, first slot first; nothing when fewer are there.
bool takeItems(std::span<InventorySlot> slots, uint8_t id, int32_t count);
// Adds to stacks of the same item first, then to empty slots; returns what did not fit.
int32_t addItems(std::span<InventorySlot> slots, uint8_t id, int32_t count, int32_t maxStack);

// How many times the recipe can be made from the slots now (0 when any ingredient is short).
int32_t craftableTimes(const content::Recipe& recipe, std::span<const InventorySlot> slots);
// Makes the recipe once: takes the ingredients and adds the result. Refused (false, nothing
// changed) when an ingredient is short or the result has no room.
bool craftOnce(const content::Recipe& recipe, std::span<InventorySlot> slots, int32_t maxStack);

}  // namespace ui
