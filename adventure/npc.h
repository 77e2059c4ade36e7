#pragma once
// A non-player character: what its content file says, what the rig loader fits to its model, and
// what the figure drawing reads.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "models/rig.h"

namespace adventure {

// The one exchange an NPC offers: count of gives for count of wants (resource names).
struct Trade {
    std::string wants;
    int32_t wantsCount = 0;
    std::string gives;
    int32_t givesCount = 0;
};

// Clip slots of an NPC, the index into animationNames and animationClips.
enum NpcAction : int32_t { npcIdle = 0, npcWalk = 1, npcGesture = 2 };

struct Npc {
    std::string id;
    std::string name;
    bool active = true;
    // Resource id of a block or item whose definition carries the model; empty for the box figure.
    std::string modelResource;
    // Outliner group or element names that form parts 1, 2 and 3.
    std::array<std::string, 3> modelPartNames{"head", "left_arm", "right_arm"};
    double height = 1.82;    // blocks
    double halfWidth = 0.3;  // blocks, of the box figure
    double facing = 0.0;     // degrees
    bool facesPlayer = true;
    // Idle breathing, sway, blink and walk swing; the amplitude scales them (0 keeps still).
    bool animated = true;
    double motionAmplitude = 1.0;

    // Fit of the model to the height.
    double modelScale = 1.0;
    double modelCentreX = 0.0;
    double modelCentreZ = 0.0;
    double modelBaseY = 0.0;
    double collisionRadius = 0.34;
    std::array<std::array<double, 3>, 3> partPivots{};  // parts 1..3
    std::vector<uint32_t> vertexParts;  // one per model vertex
    bbanim::Rig rig;
    std::array<std::string, 3> animationNames;  // clip names by NpcAction, "" = none
    std::array<int32_t, 3> animationClips{-1, -1, -1};

    std::vector<std::string> quests;  // quest ids offered
    bool trades = false;
    Trade trade;
};

}  // namespace adventure
