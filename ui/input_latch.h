#pragma once
// Presses counted by the key and mouse-button callbacks and taken by the frame step that acts on
// them, so that a press released before the next frame still counts, however slow the frames, and a
// key held over many frames counts once (its repeats are not presses). Every press carries an order
// number, one sequence for all latches, so that a screen change can tell the presses made before
// the press that caused it from those made after it within the same frame.
#include <cstdint>
#include <map>
#include <vector>

namespace ui {

struct PressLatch {
    std::map<int32_t, std::vector<uint64_t>> presses;  // order numbers not yet taken, by GLFW key or button code
    uint64_t lastTaken = 0;                            // order number of the latest press taken
};

inline constexpr std::size_t kPressesKept = 64;  // of one code; a stalled game keeps the newest

void notePress(PressLatch& latch, int32_t code);
// The presses of `code` since it was last taken; the count starts again from 0.
uint32_t takePresses(PressLatch& latch, int32_t code);
// Drops every press not yet taken, so none acts on the screen that comes next.
void clearPresses(PressLatch& latch);
// Drops the presses up to press `order`; the later ones stay for whatever comes next.
void keepPressesAfter(PressLatch& latch, uint64_t order);
// The order number of the latest press noted by any latch.
uint64_t latestPressOrder();

}  // namespace ui
