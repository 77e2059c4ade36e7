#include "ui/slot_moves.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "world/block_registry.h"

namespace ui {

namespace {

bool empty(const InventorySlot& slot) { return slot.id == 0 || slot.count <= 0; }

// Worn tools keep their own wear, so they never merge.
bool stacksWith(const InventorySlot& a, const InventorySlot& b) { return a.id == b.id && a.wear == b.wear; }

void clear(InventorySlot& slot) { slot = InventorySlot{}; }

void moveInto(InventorySlot& to, InventorySlot& from, int32_t amount) {
    if (empty(to)) to = InventorySlot{from.id, 0, from.wear};
    to.count += amount;
    from.count -= amount;
    if (from.count <= 0) clear(from);
}

}  // namespace

void leftClickSlot(InventorySlot& slot, InventorySlot& cursor, int32_t maxStack) {
    if (empty(cursor)) {
        cursor = slot;
        clear(slot);
        if (empty(cursor)) clear(cursor);
        return;
    }
    if (empty(slot) || stacksWith(slot, cursor)) {
        const int32_t room = std::max(0, maxStack - (empty(slot) ? 0 : slot.count));
        const int32_t moved = std::min(room, cursor.count);
        if (moved > 0) moveInto(slot, cursor, moved);
        return;
    }
    std::swap(slot, cursor);
}

void rightClickSlot(InventorySlot& slot, InventorySlot& cursor, int32_t maxStack) {
    if (empty(cursor)) {
        if (empty(slot)) return;
        moveInto(cursor, slot, (slot.count + 1) / 2);
        return;
    }
    if (empty(slot) || stacksWith(slot, cursor)) {
        if ((empty(slot) ? 0 : slot.count) < maxStack) moveInto(slot, cursor, 1);
        return;
    }
    std::swap(slot, cursor);
}

void takeFromOutput(InventorySlot& slot, InventorySlot& cursor, int32_t maxStack) {
    if (empty(slot)) return;
    if (empty(cursor)) {
        std::swap(slot, cursor);
        return;
    }
    if (stacksWith(slot, cursor) && cursor.count + slot.count <= maxStack) moveInto(cursor, slot, slot.count);
}

bool armourSlotAccepts(int32_t armourSlot, uint8_t id) {
    if (id == 0) return true;
    if (!voxel::isValidBlockId(id)) return false;
    const voxel::BlockDef& def = voxel::blockDef(id);
    return def.armor_slot == armourSlot || (armourSlot == 1 && def.behavior == "glider");
}

int32_t countIn(std::span<const InventorySlot> slots, uint8_t id) {
    int64_t total = 0;
    for (const InventorySlot& slot : slots)
        if (slot.id == id && slot.count > 0) total += slot.count;
    return static_cast<int32_t>(std::min<int64_t>(total, std::numeric_limits<int32_t>::max()));
}

bool takeItems(std::span<InventorySlot> slots, uint8_t id, int32_t count) {
    if (countIn(slots, id) < count) return false;
    for (InventorySlot& slot : slots) {
        if (count == 0) break;
        if (slot.id != id || slot.count <= 0) continue;
        const int32_t taken = std::min(slot.count, count);
        slot.count -= taken;
        count -= taken;
        if (slot.count == 0) clear(slot);
    }
    return true;
}

int32_t addItems(std::span<InventorySlot> slots, uint8_t id, int32_t count, int32_t maxStack) {
    for (InventorySlot& slot : slots) {
        if (count == 0) return 0;
        if (slot.id != id || slot.count <= 0 || slot.wear != 0) continue;
        const int32_t moved = std::clamp(maxStack - slot.count, 0, count);
        slot.count += moved;
        count -= moved;
    }
    for (InventorySlot& slot : slots) {
        if (count == 0) return 0;
        if (!empty(slot)) continue;
        const int32_t moved = std::min(maxStack, count);
        slot = InventorySlot{id, moved, 0};
        count -= moved;
    }
    return count;
}

int32_t craftableTimes(const content::Recipe& recipe, std::span<const InventorySlot> slots) {
    if (recipe.ingredients.empty()) return 0;
    int32_t times = std::numeric_limits<int32_t>::max();
    for (const content::RecipeIngredient& need : recipe.ingredients)
        times = std::min(times, need.count > 0 ? countIn(slots, need.resource) / need.count : 0);
    return times;
}

bool craftOnce(const content::Recipe& recipe, std::span<InventorySlot> slots, int32_t maxStack) {
    if (craftableTimes(recipe, slots) < 1 || maxStack < 1) return false;
    // Tried on a copy, so that a result without room leaves the ingredients where they were.
    std::vector<InventorySlot> trial(slots.begin(), slots.end());
    for (const content::RecipeIngredient& need : recipe.ingredients) takeItems(trial, need.resource, need.count);
    if (addItems(trial, recipe.result, recipe.count, maxStack) != 0) return false;
    std::copy(trial.begin(), trial.end(), slots.begin());
    return true;
}

}  // namespace ui
