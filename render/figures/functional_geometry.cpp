#include "render/figures/functional_geometry.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "render/figures/colour_box.h"
#include "world/shapes.h"

namespace render {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr Double3 kHitboxColour{0.1, 0.8, 1.0};

// Outer flame, inner flame and the dark opening behind them, relative to the furnace cell.
constexpr Double3 kOpeningColour{0.065, 0.018, 0.005};
constexpr Double3 kOuterFlameColour{0.94, 0.16, 0.006};
constexpr Double3 kInnerFlameColour{1.0, 0.66, 0.018};

struct QuadCorner {
    double x, y, u, v;
};
constexpr QuadCorner kFireQuad[4] = {{0.26, 0.15, 0.0, 1.0}, {0.74, 0.15, 1.0, 1.0}, {0.74, 0.46, 1.0, 0.0},
                                     {0.26, 0.46, 0.0, 0.0}};
constexpr int kQuadTriangles[6] = {0, 1, 2, 0, 2, 3};

MeshVertex modelVertex(const ModelVertex& m, uint8_t id, const voxel::Vec3& p) {
    MeshVertex v;
    v.x = static_cast<float>(p.x);
    v.y = static_cast<float>(p.y);
    v.z = static_cast<float>(p.z);
    v.r = v.g = v.b = m.shade;
    v.u = m.u;
    v.v = m.v;
    v.layer = static_cast<float>(voxel::textureLayer(id, static_cast<uint32_t>(m.texture)));
    return v;
}

// Quarter turns about the cell's vertical centre line, as the chunk mesher turns model blocks.
voxel::Vec3 facingTurn(voxel::Vec3 p, int32_t facing) {
    const double g = facing * voxel::halfPi, c = std::cos(g), s = std::sin(g);
    const double px = p.x - 0.5, pz = p.z - 0.5;
    return {px * c - pz * s + 0.5, p.y, px * s + pz * c + 0.5};
}

// The lid turns about its hinge line along x.
voxel::Vec3 hingeTurn(voxel::Vec3 p, double hy, double hz, double a) {
    const double c = std::cos(a), s = std::sin(a);
    return {p.x, hy + (p.y - hy) * c + (p.z - hz) * s, hz - (p.y - hy) * s + (p.z - hz) * c};
}

voxel::Vec3 atCell(voxel::Vec3 p, const FunctionalBlock& b) {
    return {p.x + b.x, p.y + b.y, p.z + b.z};
}

void emitMovingParts(std::vector<MeshVertex>& out, const voxel::BlockDef& def, const FunctionalBlock& b) {
    for (const ModelVertex& m : def.modelVertices) {
        if (m.part == 0) continue;
        const voxel::Vec3 turned = hingeTurn({m.x, m.y, m.z}, def.lid_hinge_y, def.lid_hinge_z, b.angle);
        out.push_back(modelVertex(m, b.id, atCell(facingTurn(turned, b.state & voxel::stateFacing), b)));
    }
}

void emitShaped(std::vector<MeshVertex>& out, const voxel::BlockDef& def, const FunctionalBlock& b, int32_t kind,
                bool hitboxes) {
    const double t = def.door_thickness;
    for (const ModelVertex& m : def.modelVertices) {
        const voxel::Vec3 p = voxel::shapePoint({m.x, m.y, m.z}, kind, b.state, b.angle, t);
        out.push_back(modelVertex(m, b.id, atCell(p, b)));
    }
    if (!hitboxes) return;
    // The outline is built in the part's own space and moved with the block.
    const std::size_t first = out.size();
    const voxel::Vec3 size = voxel::shapeSize(kind, t);
    emitBoxOutline(out, {0.0, 0.0, 0.0}, {size.x, size.y, size.z}, kHitboxColour);
    for (std::size_t i = first; i < out.size(); ++i) {
        MeshVertex& v = out[i];
        const voxel::Vec3 p = atCell(voxel::shapePoint({v.x, v.y, v.z}, kind, b.state, b.angle, t), b);
        v.x = static_cast<float>(p.x);
        v.y = static_cast<float>(p.y);
        v.z = static_cast<float>(p.z);
    }
}

void emitFlames(std::vector<MeshVertex>& out, const Double3& origin, int32_t x, int32_t z, double t) {
    for (int i = 0; i < 4; ++i) {
        const double a = 8.0 * t + 1.7 * i + 0.31 * x + 0.19 * z;
        const double h = 0.19 + 0.025 * std::sin(1.7 * a) + 0.055 * std::sin(a);
        const double left = 0.27 + 0.115 * i;
        emitColourBox(out, {left, 0.16, -0.017}, {left + 0.085, 0.16 + h, -0.014}, origin, 0.0, kOuterFlameColour,
                      true);
        emitColourBox(out, {left + 0.017, 0.16, -0.021}, {left + 0.068, 0.16 + 0.62 * h, -0.019}, origin, 0.0,
                      kInnerFlameColour, true);
    }
}

// A textured fire picture that flickers in height, brighter than any lit face.
void emitFireQuad(std::vector<MeshVertex>& out, const Double3& origin, uint8_t id, int32_t material, double t) {
    const double flicker = 0.95 + 0.05 * std::sin(8.0 * t);
    for (const int k : kQuadTriangles) {
        const QuadCorner& c = kFireQuad[k];
        MeshVertex v;
        v.x = static_cast<float>(origin[0] + c.x);
        v.y = static_cast<float>(origin[1] + 0.15 + (c.y - 0.15) * flicker);
        v.z = static_cast<float>(origin[2] - 0.025);
        v.r = v.g = v.b = 1.2f;
        v.u = static_cast<float>(c.u);
        v.v = static_cast<float>(c.v);
        v.layer = static_cast<float>(voxel::textureLayer(id, static_cast<uint32_t>(material)));
        out.push_back(v);
    }
}

}  // namespace

uint64_t mixSignature(uint64_t h, int64_t v) {
    return (h ^ static_cast<uint64_t>(v)) * kSignaturePrime;
}

uint64_t signatureStart(uint64_t lightRevision, bool hitboxes) {
    return ((lightRevision ^ kSignatureSeed) * kSignaturePrime ^ (hitboxes ? 1u : 0u)) * kSignaturePrime;
}

uint64_t mixFunctionalBlock(uint64_t h, const FunctionalBlock& b) {
    for (const int64_t v : {int64_t{b.z}, int64_t{b.y}, int64_t{b.x}, int64_t{b.id}}) h = mixSignature(h, v);
    h = mixSignature(h, b.state);
    return mixSignature(h, std::bit_cast<uint32_t>(static_cast<float>(b.angle)));
}

bool functionalIncluded(const voxel::BlockDef& def, double horizontalDistance) {
    return voxel::shapeKind(def) != voxel::shapeNone || horizontalDistance <= kFunctionalRadius;
}

double lidAngle(double progress, double lidDegrees) {
    return (3.0 - 2.0 * progress) * lidDegrees * kPi / 180.0 * progress * progress;
}

void emitFunctionalBlock(std::vector<MeshVertex>& out, const voxel::BlockDef& def, const FunctionalBlock& block,
                         bool hitboxes) {
    const int32_t kind = voxel::shapeKind(def);
    if (kind == voxel::shapeNone) {
        emitMovingParts(out, def, block);
    } else {
        emitShaped(out, def, block, kind, hitboxes);
    }
}

void emitFurnaceFire(std::vector<MeshVertex>& out, int32_t x, int32_t y, int32_t z, uint8_t id,
                     int32_t fireMaterial, double t) {
    const Double3 origin{double(x), double(y), double(z)};
    emitColourBox(out, {0.22, 0.12, -0.012}, {0.78, 0.49, -0.008}, origin, 0.0, kOpeningColour, true);
    if (fireMaterial < 0) {
        emitFlames(out, origin, x, z, t);
    } else {
        emitFireQuad(out, origin, id, fireMaterial, t);
    }
}

uint64_t functionalCapacity(uint64_t capacity, uint64_t bytes) {
    uint64_t grown = std::max(kFunctionalMinimumBytes, capacity);
    while (grown < bytes) grown *= 2;
    return grown;
}

}  // namespace render
