#include <GLFW/glfw3.h>

#include <cmath>

#include "app/app.h"

namespace ui {

int32_t hotbarSlotAfter(int32_t selected, int32_t wheelSteps) {
    constexpr int32_t slots = 9;
    return ((selected + wheelSteps) % slots + slots) % slots;
}

}  // namespace ui

// The wheel turns by whole notches (a touchpad's fractions add up); a number key wins over it.
void App::selectHotbarSlot() {
    const double notches = std::trunc(player.scrollAccumulator);
    player.scrollAccumulator -= notches;
    // Rolling the wheel down moves to the right, so it counts against the scroll offset.
    inventory.selected = ui::hotbarSlotAfter(inventory.selected, -static_cast<int32_t>(notches));
    for (int key = GLFW_KEY_1; key <= GLFW_KEY_9; ++key)
        if (ui::takePresses(ui.keyPresses, key) > 0) inventory.selected = key - GLFW_KEY_1;
}
