#pragma once
// A furnace as the world simulation keeps it, one per cell in the App's machine map.
#include <array>
#include <cstdint>

#include "game/player_state.h"

struct Machine {
    std::array<InventorySlot, 3> slots{};  // input, fuel, output
    int32_t burnRemaining = 0;             // ticks of fuel left; a burning furnace gives light
    int32_t smeltProgress = 0;
    int32_t burnTotal = 0;
};
