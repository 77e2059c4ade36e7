#include "models/rig.h"

#include <cmath>
#include <set>
#include <stdexcept>

#include "models/blockbench_model.h"

namespace bbanim {
namespace {

using content::Json;

constexpr double kRadiansPerDegree = 0.0174532925199433;

// The state of the group walk: the outliner walk for effective groups and its node cap, and the
// group that lists each element.
struct BoneWalk {
    content::OutlinerWalk outliner;
    std::map<std::string, int32_t> elementParents;
};

void requireBoneRoom(const Rig& rig) {
    if (rig.bones.size() >= maxRigBones)
        throw std::runtime_error("NPC animation supports up to 256 bones/elements");
}

// uuid, name, origin and rotation of a group view or an element object.
template <typename Source>
Bone readBone(const Source& member, int32_t parent) {
    Bone bone;
    bone.uuid = content::jsonStringOr(member("uuid"), "");
    bone.name = content::jsonStringOr(member("name"), "");
    bone.parent = parent;
    bone.origin = content::readAnimationVec3(member("origin"), {0.0, 0.0, 0.0});
    bone.rotation = content::readAnimationVec3(member("rotation"), {0.0, 0.0, 0.0});
    return bone;
}

void recordElementParent(BoneWalk& walk, const std::string& uuid, int32_t parent) {
    if (!walk.elementParents.emplace(uuid, parent).second)
        throw std::runtime_error("Element appears twice in animation hierarchy");
}

uint32_t appendBone(Rig& rig, Bone bone) {
    const auto index = static_cast<uint32_t>(rig.bones.size());
    rig.bones.push_back(std::move(bone));
    return index;
}

void walkGroupNode(Rig& rig, BoneWalk& walk, const Json& node, int32_t parent, uint32_t depth) {
    if (depth > maxRigDepth) throw std::runtime_error("NPC bone hierarchy is too deep");
    if (++walk.outliner.nodesVisited > content::maxOutlinerNodes)
        throw std::runtime_error("Blockbench outliner is too deep");
    if (node.tag == content::JsonString) return recordElementParent(walk, node.text, parent);
    const content::GroupView group = content::readModelGroups(walk.outliner, node);
    if (!group.isObject()) return;
    requireBoneRoom(rig);
    const auto member = [&group](const char* key) -> const Json& { return group.member(key); };
    Bone bone = readBone(member, parent);
    if (content::readAnimationVec3(group.member("scale"), {1.0, 1.0, 1.0}) != Vec3{1.0, 1.0, 1.0})
        throw std::runtime_error("Rest bone scale must be 1");
    const auto index = static_cast<uint32_t>(rig.bones.size());
    if (!bone.uuid.empty() && !rig.boneIndexByUuid.emplace(bone.uuid, index).second)
        throw std::runtime_error("Duplicate animation bone UUID");
    appendBone(rig, std::move(bone));
    const Json& children = group.member("children");
    for (const Json& child : children.items)
        walkGroupNode(rig, walk, child, static_cast<int32_t>(index), depth + 1);
}

void addElementBones(Rig& rig, const BoneWalk& walk, const Json& document) {
    for (const Json& element : Json::find(document, "elements").items) {
        requireBoneRoom(rig);
        const auto member = [&element](const char* key) -> const Json& { return Json::find(element, key); };
        const auto listed = walk.elementParents.find(content::jsonStringOr(member("uuid"), ""));
        Bone bone = readBone(member, listed == walk.elementParents.end() ? -1 : listed->second);
        const auto index = static_cast<uint32_t>(rig.bones.size());
        if (bone.uuid.empty() || !rig.boneIndexByUuid.emplace(bone.uuid, index).second)
            throw std::runtime_error("Animated elements require unique UUIDs");
        appendBone(rig, std::move(bone));
    }
}

using Matrix3 = std::array<std::array<double, 3>, 3>;

Matrix3 multiply(const Matrix3& a, const Matrix3& b) {
    Matrix3 out{};
    for (std::size_t r = 0; r < 3; ++r)
        for (std::size_t c = 0; c < 3; ++c)
            for (std::size_t k = 0; k < 3; ++k) out[r][c] += a[r][k] * b[k][c];
    return out;
}

// Rz Ry Rx: X is applied first, as the model loader turns elements.
Matrix3 eulerZyx(const Vec3& degrees) {
    const double x = degrees[0] * kRadiansPerDegree;
    const double y = degrees[1] * kRadiansPerDegree;
    const double z = degrees[2] * kRadiansPerDegree;
    const Matrix3 rx = {{{1, 0, 0}, {0, std::cos(x), -std::sin(x)}, {0, std::sin(x), std::cos(x)}}};
    const Matrix3 ry = {{{std::cos(y), 0, std::sin(y)}, {0, 1, 0}, {-std::sin(y), 0, std::cos(y)}}};
    const Matrix3 rz = {{{std::cos(z), -std::sin(z), 0}, {std::sin(z), std::cos(z), 0}, {0, 0, 1}}};
    return multiply(rz, multiply(ry, rx));
}

void computeRestTransforms(Rig& rig) {
    for (Bone& bone : rig.bones) {
        const Bone* parent = bone.parent < 0 ? nullptr : &rig.bones[static_cast<std::size_t>(bone.parent)];
        const Affine local = localTransform(bone, parent);
        bone.rest = parent == nullptr ? local : composeTransform(parent->rest, local);
        bone.inverseRest = invertRigid(bone.rest);
    }
}

// Loads the document again with every element tagged by its bone, and keeps those tags.
void bindVertices(Rig& rig, const Json& document, const voxel::BlockDef& def) {
    voxel::BlockDef copy = def;
    copy.modelVertices.clear();
    copy.behavior.clear();
    const content::PartCallback visitNode = [&rig](const Json& element) -> uint32_t {
        const auto found = rig.boneIndexByUuid.find(content::jsonStringOr(Json::find(element, "uuid"), ""));
        return found == rig.boneIndexByUuid.end() ? 0 : found->second;
    };
    content::loadBlockbenchModel(copy, document, visitNode);
    if (copy.modelVertices.size() != def.modelVertices.size())
        throw std::runtime_error("Animated NPC geometry mismatch");
    rig.vertexBones.reserve(copy.modelVertices.size());
    for (const ModelVertex& vertex : copy.modelVertices) rig.vertexBones.push_back(vertex.part);
}

// A faulty clip only leaves itself out; a repeated name or too many clips fail the rig.
void readClips(Rig& rig, const Json& document) {
    const Json& animations = Json::find(document, "animations");
    if (animations.items.size() > maxRigClips)
        throw std::runtime_error("NPC model supports up to 64 animation clips");
    std::set<std::string> names;
    for (const Json& animation : animations.items) {
        const std::string name = content::jsonStringOr(Json::find(animation, "name"), "");
        if (!names.insert(name).second) throw std::runtime_error("Duplicate animation name");
        try {
            rig.clips.push_back(readAnimations(rig, animation));
        } catch (const std::exception& error) {
            rig.rejectedClips[name] = error.what();
        }
    }
}

}  // namespace

Rig load(const Json& document, const voxel::BlockDef& def) {
    Rig rig;
    BoneWalk walk{content::startOutlinerWalk(document), {}};
    for (const Json& node : Json::find(document, "outliner").items) walkGroupNode(rig, walk, node, -1, 0);
    addElementBones(rig, walk, document);
    computeRestTransforms(rig);
    bindVertices(rig, document, def);
    readClips(rig, document);
    return rig;
}

Affine composeTransform(const Affine& a, const Affine& b) {
    Affine out{};
    for (std::size_t r = 0; r < 3; ++r) {
        for (std::size_t c = 0; c < 3; ++c)
            for (std::size_t k = 0; k < 3; ++k) out[r][c] += a[r][k] * b[k][c];
        out[r][3] = a[r][0] * b[0][3] + a[r][1] * b[1][3] + a[r][2] * b[2][3] + a[r][3];
    }
    return out;
}

Affine localTransform(const Bone& bone, const Bone* parent) {
    const Matrix3 rotation = eulerZyx(bone.rotation);
    Affine out{};
    for (std::size_t r = 0; r < 3; ++r) {
        for (std::size_t c = 0; c < 3; ++c) out[r][c] = rotation[r][c];
        out[r][3] = bone.origin[r] - (parent == nullptr ? 0.0 : parent->origin[r]);
    }
    return out;
}

Affine invertRigid(const Affine& a) {
    Affine out{};
    for (std::size_t r = 0; r < 3; ++r) {
        for (std::size_t c = 0; c < 3; ++c) out[r][c] = a[c][r];
        out[r][3] = -(a[0][r] * a[0][3] + a[1][r] * a[1][3] + a[2][r] * a[2][3]);
    }
    return out;
}

}  // namespace bbanim
