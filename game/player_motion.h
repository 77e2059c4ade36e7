#pragma once
// What the player's movement keeps between frames. The body's position and speed are taken from
// the player's eye position and velocity each frame, unless they still match the last step's, so
// that code which moves the player (spawn, reset, scenarios) is followed.
#include "game/movement.h"

struct PlayerMotion {
    game::Body body;
    bool flying = false;
    game::DoubleTap flightTap;  // double-tapping Space toggles flight
};
