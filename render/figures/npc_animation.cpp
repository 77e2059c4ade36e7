#include "render/figures/npc_animation.h"

#include <cstdint>

namespace render {

namespace {

bbanim::Affine posedLocal(const bbanim::Bone& bone, const bbanim::Bone* parent, const bbanim::BonePose& pose) {
    bbanim::Bone posed = bone;
    for (std::size_t k = 0; k < 3; ++k) {
        posed.rotation[k] += pose.rotation[k];
        posed.origin[k] += pose.position[k];
    }
    bbanim::Affine local = bbanim::localTransform(posed, parent);
    for (std::size_t r = 0; r < 3; ++r)
        for (std::size_t c = 0; c < 3; ++c) local[r][c] *= pose.scale[c];
    return local;
}

std::array<double, 12> flatten(const bbanim::Affine& a) {
    std::array<double, 12> out{};
    for (std::size_t r = 0; r < 3; ++r)
        for (std::size_t c = 0; c < 4; ++c) out[r * 4 + c] = a[r][c];
    return out;
}

}  // namespace

std::vector<std::array<double, 12>> npcBoneMatrices(const bbanim::Rig& rig, const std::vector<bbanim::BonePose>& poses) {
    std::vector<bbanim::Affine> world(rig.bones.size());
    std::vector<std::array<double, 12>> out;
    out.reserve(rig.bones.size());
    for (std::size_t b = 0; b < rig.bones.size(); ++b) {
        const bbanim::Bone& bone = rig.bones[b];
        const bool hasParent = bone.parent >= 0 && static_cast<std::size_t>(bone.parent) < b;
        const bbanim::Bone* parent = hasParent ? &rig.bones[static_cast<std::size_t>(bone.parent)] : nullptr;
        const bbanim::BonePose pose = b < poses.size() ? poses[b] : bbanim::BonePose{};
        const bbanim::Affine local = posedLocal(bone, parent, pose);
        world[b] = hasParent ? bbanim::composeTransform(world[static_cast<std::size_t>(bone.parent)], local) : local;
        out.push_back(flatten(bbanim::composeTransform(world[b], bone.inverseRest)));
    }
    return out;
}

double idleClockStart(const std::string& id) {
    uint32_t hash = 2166136261u;  // FNV-1a
    for (const char c : id) hash = (hash ^ static_cast<uint8_t>(c)) * 16777619u;
    return static_cast<double>(hash % 4700u) / 1000.0;
}

}  // namespace render
