#pragma once
// Held-item animation clips of a model ("held_animations"), their sampling, and the pose applied to
// a point of the held item.
#include <array>
#include <string>

#include "content/json.h"
#include "models/float3.h"
#include "world/block_registry.h"

namespace bbanim {

inline constexpr std::array<const char*, 2> heldViewNames = {"firstperson_righthand",
                                                             "thirdperson_righthand"};
inline constexpr std::array<const char*, 5> heldActionNames = {"idle", "walk", "attack", "use", "bow"};
inline constexpr std::size_t maxHeldKeys = 128;

struct HeldPose {
    content::Float3 rotation{0.0f, 0.0f, 0.0f};     // degrees
    content::Float3 translation{0.0f, 0.0f, 0.0f};  // 1/16 block
    content::Float3 scale{1.0f, 1.0f, 1.0f};
};

// Fills the bow deformation flag and the held clips. Needs the display slots read first: a view's
// clips need its authored slot. Throws std::runtime_error.
void loadHeldAnimations(voxel::BlockDef& def, const content::Json& document);

// One three-number vector of a held key: absent gives fallback; else three finite numbers within
// +-bound (and not negative for "scale"), else "Held pose exceeds bounds".
content::Float3 readHeldPose(const content::Json& key, const std::string& name,
                             const content::Float3& fallback, float bound);

// The pose at time seconds: looping clips wrap, others clamp; default pose without keys.
HeldPose sampleHeldClip(const HeldClip& clip, double time);

// Scales the offset from pivot, rotates it Z, Y, X, then adds the pivot and translation / 16.
content::Float3 transformPoint(const content::Float3& point, const content::Float3& pivot,
                               const HeldPose& pose);

}  // namespace bbanim
