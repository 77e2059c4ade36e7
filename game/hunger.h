#pragma once
// The hunger rule of the world step: the second food value counts world steps, and every
// kHungerSteps steps (one minute) the food level falls by one, never below 0. The last two food
// values are not touched here.
#include <array>
#include <cstdint>

namespace game {

inline constexpr int32_t kHungerSteps = 1200;

void stepHunger(std::array<int32_t, 4>& food);

}  // namespace game
