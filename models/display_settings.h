#pragma once
// How a model sits in the hand: the first- and third-person Blockbench display slots, turned into a
// matrix and translation applied to model points in blocks.
#include <string>

#include "content/json.h"
#include "models/float3.h"
#include "world/block_registry.h"

namespace content {

// Reads "firstperson_righthand" of "display" (or "display_settings"); an absent slot is fitted to the
// model bounds. Also computes the model bounds and the grip point. Throws std::runtime_error.
void readFirstPersonDisplay(voxel::BlockDef& def, const Json& document);
// Reads "thirdperson_righthand"; an absent slot leaves the display not authored.
void readThirdPersonDisplay(voxel::BlockDef& def, const Json& document);

// One three-number vector of a first-person slot: absent gives fallback; each coordinate finite and
// within +-bound, else "Invalid first-person " + key.
Float3 readDisplayVector(const Json& slot, const std::string& key, const Float3& fallback, float bound);
// The same for a third-person slot, with the third-person messages.
Float3 readThirdPersonVector(const Json& slot, const std::string& key, const Float3& fallback, float bound);

// Rotates about Z, then Y, then X by angles in degrees.
Float3 rotateByEulerDegrees(const Float3& vector, const Float3& angles);

// Display matrix x (point - 0.5 per axis) + display translation; point in blocks.
Float3 firstPersonPoint(const voxel::BlockDef& def, const Float3& point);
Float3 thirdPersonPoint(const voxel::BlockDef& def, const Float3& point);

}  // namespace content
