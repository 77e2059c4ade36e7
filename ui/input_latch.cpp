#include "ui/input_latch.h"

#include <limits>

namespace ui {

void notePress(PressLatch& latch, int32_t code) {
    uint32_t& count = latch.presses[code];
    if (count < std::numeric_limits<uint32_t>::max()) ++count;
}

uint32_t takePresses(PressLatch& latch, int32_t code) {
    const auto found = latch.presses.find(code);
    if (found == latch.presses.end()) return 0;
    const uint32_t count = found->second;
    latch.presses.erase(found);
    return count;
}

void clearPresses(PressLatch& latch) {
    latch.presses.clear();
}

}  // namespace ui
