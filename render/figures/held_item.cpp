#include "render/figures/held_item.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace render {

namespace {

constexpr double kBowCant = 0.7;
constexpr double kHeldBlockSize = 0.38;

}  // namespace

double heldBaseSize(const voxel::BlockDef& def, bool usable, bool holdingShield, bool thirdPerson) {
    if (def.behavior == "bow") return thirdPerson ? 1.1 : 0.62;
    if (holdingShield) return thirdPerson ? 0.9 : 0.42;
    if (usable) return 0.24;
    if (!def.tool.empty()) return thirdPerson ? 0.85 : 0.44;
    return 0.38;
}

HeldModelFrame heldModelFrame(const voxel::BlockDef& def, double baseSize) {
    const std::array<float, 6>& b = def.modelBounds;
    HeldModelFrame f;
    const float dx = b[3] - b[0], dz = b[5] - b[2];
    f.minY = b[1];
    f.dy = b[4] - b[1];
    f.cx = (b[0] + b[3]) / 2.0f;
    f.cz = (b[2] + b[5]) / 2.0f;
    f.midY = (b[1] + b[4]) / 2.0f;
    f.midZ = f.cz;
    f.scale = baseSize / std::max({dx, f.dy, dz, 0.001f});
    return f;
}

bool isBendingBow(const voxel::BlockDef& def) { return def.id == "core:bow" || def.base_item == "core:bow"; }

bool bendsWhenDrawn(const voxel::BlockDef& def) {
    return isBendingBow(def) && (!def.firstPersonDisplay.authored || def.bowDeformation);
}

content::Float3 bendBowPoint(const content::Float3& p, uint32_t face, const HeldModelFrame& frame, float pull) {
    const float w = std::clamp(std::abs(p[1] - frame.midY) / std::max(frame.dy / 2.0f, 0.001f), 0.0f, 1.0f);
    const float shift = face == 1 ? (1.0f - w) * 0.5f : w * 0.12f;
    return {p[0], p[1], p[2] + pull * shift};
}

content::Float3 turnXY(const content::Float3& p, float px, float py, double angle) {
    const double c = std::cos(angle), s = std::sin(angle), x = p[0] - px, y = p[1] - py;
    return {static_cast<float>(px + x * c - y * s), static_cast<float>(py + x * s + y * c), p[2]};
}

content::Float3 cantBow(const content::Float3& p, const HeldModelFrame& frame) {
    const double c = std::cos(kBowCant), s = std::sin(kBowCant), x = p[0] - frame.cx, z = p[2] - frame.cz;
    return {static_cast<float>(frame.cx + x * c + z * s), p[1], static_cast<float>(frame.cz + z * c - x * s)};
}

MeshVertex heldVertex(const ModelVertex& m, uint8_t id, const Double3& world) {
    MeshVertex v;
    v.x = static_cast<float>(world[0]);
    v.y = static_cast<float>(world[1]);
    v.z = static_cast<float>(world[2]);
    v.r = v.g = v.b = m.shade;
    v.u = m.u;
    v.v = m.v;
    v.layer = static_cast<float>(voxel::textureLayer(id, static_cast<uint32_t>(m.texture)));
    return v;
}

void appendHeldBlock(std::vector<MeshVertex>& out, const BlockFaces& cube, const Double3& hand, const ViewBasis& basis,
                     const Double3& eye) {
    const double c = std::cos(std::numbers::pi / 4.0), s = std::sin(std::numbers::pi / 4.0);
    for (uint32_t index : cube.indices) {
        const MeshVertex& source = cube.vertices[index];
        const double px = (source.x - 0.5) * kHeldBlockSize, py = (source.y - 0.5) * kHeldBlockSize,
                     pz = (source.z - 0.5) * kHeldBlockSize;
        const double x = s * pz + c * px, z = -(c * pz - s * px);
        const Double3 world = viewToWorld(basis, eye, {hand[0] + x, hand[1] + py, hand[2] + z});
        MeshVertex v = source;
        v.x = static_cast<float>(world[0]);
        v.y = static_cast<float>(world[1]);
        v.z = static_cast<float>(world[2]);
        out.push_back(v);
    }
}

}  // namespace render
