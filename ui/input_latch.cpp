#include "ui/input_latch.h"

#include <algorithm>

namespace ui {

namespace {

uint64_t pressOrder = 0;

}  // namespace

uint64_t latestPressOrder() {
    return pressOrder;
}

void notePress(PressLatch& latch, int32_t code) {
    std::vector<uint64_t>& orders = latch.presses[code];
    if (orders.size() >= kPressesKept) orders.erase(orders.begin());
    orders.push_back(++pressOrder);
}

uint32_t takePresses(PressLatch& latch, int32_t code) {
    const auto found = latch.presses.find(code);
    if (found == latch.presses.end()) return 0;
    const auto count = static_cast<uint32_t>(found->second.size());
    latch.lastTaken = std::max(latch.lastTaken, found->second.back());
    latch.presses.erase(found);
    return count;
}

void clearPresses(PressLatch& latch) {
    latch.presses.clear();
}

void keepPressesAfter(PressLatch& latch, uint64_t order) {
    for (auto code = latch.presses.begin(); code != latch.presses.end();) {
        std::erase_if(code->second, [order](uint64_t press) { return press <= order; });
        code = code->second.empty() ? latch.presses.erase(code) : std::next(code);
    }
}

}  // namespace ui
