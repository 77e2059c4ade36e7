#pragma once
// Turning a sampled clip of an NPC's rig into the matrices that move its model vertices, and the
// idle clock a figure starts from. Pure: no App, no device.
#include <array>
#include <string>
#include <vector>

#include "models/rig.h"

namespace render {

// Per bone, row-major 3 x 4: a rest-pose point in pixels to its posed place in pixels. A pose is
// added to the bone's rest rotation and pivot and scales about the pivot; parents carry children.
// Poses beyond the bones are ignored; bones without a pose keep their rest.
std::vector<std::array<double, 12>> npcBoneMatrices(const bbanim::Rig& rig, const std::vector<bbanim::BonePose>& poses);

// Where an NPC's idle clock starts, 0..4.7 s by its id, so that neighbours breathe and blink apart.
double idleClockStart(const std::string& id);

}  // namespace render
