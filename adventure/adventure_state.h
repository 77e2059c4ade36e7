#pragma once
// The adventure content and the non-player characters of the world, as the App holds them.
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "adventure/catalog.h"
#include "adventure/player_standing.h"

// How one NPC moved and is posed; drawing reads it to animate the figure.
struct NpcMotion {
    std::array<double, 3> previous{};
    bool walking = false;
    bool wasWalking = false;
    double walkPhase = 0.0;  // radians
    double previousWalkPhase = 0.0;
    double walkAmount = 0.0;
    int32_t gestureStep = 0;  // 0..8, counting down
    int32_t action = adventure::npcIdle;
    // Sampled bone matrices of the current clip, 3 x 4 each, 1/16-block units.
    std::vector<std::array<double, 12>> bones;
};

struct AdventureState {
    adventure::Catalog catalog;
    // By NPC id (residents carry the ".city." suffix), feet position in blocks.
    std::map<std::string, std::array<double, 3>> npcPositions;
    std::map<std::string, NpcMotion> npcMotion;
    adventure::PlayerStanding standing;
};
