#pragma once
// What the player's hands are doing in the world: the held mouse buttons and the block being mined.
#include <cstdint>

// The cell the view ray rests on and how far its breaking has come; the frame shades it.
struct MiningTarget {
    int32_t x = 0, y = 0, z = 0;
    bool aimed = false;  // the view ray rests on a block within reach
    bool mining = false;
    float progress = 0.0f;  // 0..1; the block breaks at 1
};

struct HandState {
    // Held state of the buttons as the callbacks saw it; the screen latches still apply on top.
    bool leftHeld = false;
    bool rightHeld = false;
    bool rightWasActive = false;  // right-button edge: one use or placement per press
    MiningTarget target;
};
