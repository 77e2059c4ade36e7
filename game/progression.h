#pragma once
// The player's progression record as far as the game reads it so far: melee damage adds the
// second skill value.
#include <array>
#include <cstdint>

struct Progression {
    uint32_t level = 1;
    uint32_t experience = 0;
    std::array<uint32_t, 4> skills{};
};
