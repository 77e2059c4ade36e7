#pragma once
// Presses counted by the key and mouse-button callbacks and taken by the frame step that acts on
// them, so that a press released before the next frame still counts, however slow the frames, and a
// key held over many frames counts once (its repeats are not presses).
#include <cstdint>
#include <map>

namespace ui {

struct PressLatch {
    std::map<int32_t, uint32_t> presses;  // by GLFW key or mouse-button code
};

void notePress(PressLatch& latch, int32_t code);
// The presses of `code` since it was last taken; the count starts again from 0.
uint32_t takePresses(PressLatch& latch, int32_t code);
// Drops every press not yet taken, so none acts on the screen that comes next.
void clearPresses(PressLatch& latch);

}  // namespace ui
