#include "game/hunger.h"

namespace game {

void stepHunger(std::array<int32_t, 4>& food) {
    if (++food[1] < kHungerSteps) return;
    food[1] = 0;
    if (food[0] > 0) --food[0];
}

}  // namespace game
