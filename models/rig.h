#pragma once
// The skeleton of an animated Blockbench model: one bone per outliner group and per element, their
// rest transforms, the bone of every model vertex, and the model's animation clips.
#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "content/json.h"
#include "models/animation_clip.h"
#include "world/block_registry.h"

namespace bbanim {

inline constexpr std::size_t maxRigBones = 256;
inline constexpr std::size_t maxRigClips = 64;
inline constexpr uint32_t maxRigDepth = 48;

// A 3 x 4 affine transform, rows of four; the fourth row is implicitly 0 0 0 1.
using Affine = std::array<std::array<double, 4>, 3>;
inline constexpr Affine identityAffine = {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}}};

struct Bone {
    std::string uuid;  // may be empty for a group
    std::string name;
    int32_t parent = -1;
    Vec3 origin{};                 // pivot, pixels
    Vec3 rotation{};               // rest rotation, degrees
    Affine rest = identityAffine;  // model space
    Affine inverseRest = identityAffine;
};

// No bones: the model has no animation.
struct Rig {
    std::vector<Bone> bones;  // groups in outliner order, then elements in "elements" order
    std::map<std::string, uint32_t> boneIndexByUuid;
    std::vector<uint32_t> vertexBones;                 // one per model vertex
    std::vector<Clip> clips;                           // names unique
    std::map<std::string, std::string> rejectedClips;  // clip name -> why it was left out
};

// def must hold the vertices content::loadBlockbenchModel produced from the same document; the rig
// must match them vertex for vertex. Throws std::runtime_error; a faulty clip is only left out.
Rig load(const content::Json& document, const voxel::BlockDef& def);

// a x b.
Affine composeTransform(const Affine& a, const Affine& b);
// The rest transform of a bone relative to its parent: rotation Z Y X (X first) and the pivot
// offset from the parent's pivot.
Affine localTransform(const Bone& bone, const Bone* parent);
// Inverse of a rigid transform: the transposed rotation and the translation rotated back.
Affine invertRigid(const Affine& a);

}  // namespace bbanim
