#pragma once
// What the renderer keeps per NPC between frames: the direction it was first seen facing and the
// clocks of its idle motion and of its current animation clip.
#include <cstdint>
#include <map>
#include <string>

#include "render/figures/npc_figures.h"

struct NpcFigureState {
    double yaw = 0.0;  // radians, kept from the first drawing
    bool yawSet = false;
    render::ActorIdleState idle;
    int32_t clipAction = -1;  // the action whose clip clipTime runs for; -1 none yet
    double clipTime = 0.0;    // seconds into that clip
};

struct NpcDrawingState {
    // By NPC id, as the position map keys them (residents with their ".city." suffix).
    std::map<std::string, NpcFigureState> figures;
    double previousAnimation = -1.0;  // GLFW seconds of the last animation step; below 0 before it
};
