#pragma once
// The loot roll: a loot table turned into the stacks of a container.
#include <cstdint>
#include <functional>
#include <set>
#include <vector>

#include "app/chunk_window_state.h"
#include "content/loot_tables.h"
#include "game/containers.h"
#include "game/dimension_cells.h"

// The chests of generated structures that have had their loot, by dimension and cell: each is
// filled once, the first time it is opened, and never again, whatever is taken out of it.
struct LootState {
    std::set<DimensionCell> filledChests;
};

namespace adventure {

// The largest stack of an item; the roll splits a larger count into several stacks.
using MaxStack = std::function<int32_t(uint8_t item)>;

// The roll's seed for one container: the same world and cell always roll the same loot.
uint64_t lootSeed(uint32_t worldSeed, const CellKey& cell);

// Each entry in table order drops with its chance a count from min to max, which goes into the
// empty slots of the chest in slot order, split by the item's largest stack. What finds no empty
// slot is lost; an entry whose item is no item id (0 or above 255) drops nothing.
void rollLoot(const std::vector<LootEntry>& entries, uint64_t seed, const MaxStack& maxStack,
              ChestSlots& chest);

}  // namespace adventure
