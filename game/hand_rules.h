#pragma once
// The small rules of the player's hands that need no App: where the view ray meets the world, how
// long a block takes to break, what it drops and tool wear.
#include <cstdint>
#include <functional>

#include "game/player_state.h"
#include "world/block_registry.h"

namespace game {

inline constexpr double kHandReach = 7.0;  // blocks from the eye

struct RayCell {
    bool hit = false;
    int32_t x = 0, y = 0, z = 0;     // the first cell that stops the ray
    int32_t px = 0, py = 0, pz = 0;  // the cell just before it, where a placed block goes
    float hitHeight = 0.0f;          // height of the hit point within the hit cell, 0..1
};

// Walks the cells along the ray from origin in direction dir (need not be unit length) up to reach
// blocks, and answers the first for which stops(x, y, z) is true.
RayCell castRay(const double origin[3], const double dir[3], double reach,
                const std::function<bool(int32_t, int32_t, int32_t)>& stops);

// Seconds to break a block with the held item (null or empty for a bare hand); below 0 when the
// block cannot be broken at all.
double breakSeconds(uint8_t block, const voxel::BlockDef* held);

// Blocks that the use button acts on (doors, trapdoors, beds and the blocks that open a window);
// held in the hand they are drawn small. False for an id the registry does not know.
bool isUsableBlock(uint8_t id);

// The resource a broken block leaves behind, 0 for none.
uint8_t blockDrop(uint8_t block);

// One use of a durable tool: the wear grows by one and the tool is gone when it reaches the
// durability. True when the tool broke.
bool wearTool(InventorySlot& slot, int32_t durability);

}  // namespace game
