#pragma once
// The player's side of melee as the App holds it.
#include <cstdint>

#include "game/progression.h"

struct CombatState {
    // World steps until the player may swing again; 0: ready.
    int32_t meleeTimer = 0;
    Progression progression;
};
