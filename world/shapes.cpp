#include "world/shapes.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace voxel {

namespace {

struct KindName {
    const char* behavior;
    int32_t kind;
};

const KindName kindNames[] = {
    {"door", shapeDoor}, {"trapdoor", shapeTrapdoor}, {"ladder", shapeLadder}, {"bed", shapeBed}};

// round(sin g), round(-cos g) for g = facing x pi/2.
const CellStep wallSteps[4] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};

// Turns (x, z) about the cell centre by the facing angle.
Vec3 facingTurn(Vec3 p, int32_t facing) {
    const double g = (facing & 3) * halfPi;
    const double c = std::cos(g), s = std::sin(g);
    return {(p.x - 0.5) * c - (p.z - 0.5) * s + 0.5, p.y, (p.x - 0.5) * s + (p.z - 0.5) * c + 0.5};
}

Vec3 facingUnturn(Vec3 p, int32_t facing) {
    return facingTurn(p, (4 - (facing & 3)) & 3);
}

// The trapdoor's swing in the vertical plane about (y = h, z = h); -a undoes a.
Vec3 trapdoorSwing(Vec3 p, double a, double h) {
    const double c = std::cos(a), s = std::sin(a);
    return {p.x, (p.y - h) * c + (p.z - h) * s + h, h - (p.y - h) * s + (p.z - h) * c};
}

Vec3 mirrorTop(Vec3 p, uint8_t state) {
    if (state & stateUpper) p.y = 1.0 - p.y;
    return p;
}

Vec3 trapdoorPoint(Vec3 p, uint8_t state, double a, double h) {
    return facingTurn(mirrorTop(trapdoorSwing(p, a, h), state), state & stateFacing);
}

Vec3 trapdoorToLocal(Vec3 p, uint8_t state, double a, double h) {
    return trapdoorSwing(mirrorTop(facingUnturn(p, state & stateFacing), state), -a, h);
}

Vec3 doorToLocal(Vec3 p, uint8_t state, double a, double h) {
    const Vec3 unturned = facingUnturn(p, state & stateFacing);
    // Back in hinge space: X + 0.5 - h is (x - h, z - h) turned by a.
    const double u = unturned.x - h, w = unturned.z - h;
    const double c = std::cos(-a), s = std::sin(-a);
    return {u * c - w * s + h, p.y, u * s + w * c + h};
}

double dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Vec3 minus(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

Vec3 plus(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

Vec3 boxCentre(const Box& b) {
    return {(b.min.x + b.max.x) / 2, (b.min.y + b.max.y) / 2, (b.min.z + b.max.z) / 2};
}

Vec3 boxHalf(const Box& b) {
    return {(b.max.x - b.min.x) / 2, (b.max.y - b.min.y) / 2, (b.max.z - b.min.z) / 2};
}

// An oriented box: centre, three axes and the half extent along each.
struct OrientedBox {
    Vec3 centre;
    Vec3 axes[3];
    double half[3];
};

const Vec3 worldAxes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};

bool separatedOn(Vec3 axis, const OrientedBox& a, const OrientedBox& b) {
    double radii = 0.0;
    for (int i = 0; i < 3; ++i) {
        radii += a.half[i] * std::abs(dot(a.axes[i], axis)) + b.half[i] * std::abs(dot(b.axes[i], axis));
    }
    return std::abs(dot(minus(a.centre, b.centre), axis)) >= radii - overlapMargin;
}

bool anySeparatingAxis(const OrientedBox& part, const OrientedBox& box) {
    for (const Vec3& axis : worldAxes) {
        if (separatedOn(axis, part, box)) return true;
    }
    for (const Vec3& axis : part.axes) {
        if (separatedOn(axis, part, box)) return true;
    }
    for (const Vec3& world : worldAxes) {
        for (const Vec3& own : part.axes) {
            const Vec3 axis = cross(world, own);
            if (dot(axis, axis) < 1e-12) continue;
            if (separatedOn(axis, part, box)) return true;
        }
    }
    return false;
}

OrientedBox worldBox(const Box& b) {
    const Vec3 half = boxHalf(b);
    return {boxCentre(b), {worldAxes[0], worldAxes[1], worldAxes[2]}, {half.x, half.y, half.z}};
}

OrientedBox placedPart(Vec3 origin, int32_t kind, uint8_t state, double a, double t) {
    const Vec3 size = shapeSize(kind, t);
    const Vec3 half{size.x / 2, size.y / 2, size.z / 2};
    const Vec3 zero = shapePoint({0, 0, 0}, kind, state, a, t);
    OrientedBox part{plus(origin, shapePoint(half, kind, state, a, t)), {}, {half.x, half.y, half.z}};
    for (int i = 0; i < 3; ++i) part.axes[i] = minus(shapePoint(worldAxes[i], kind, state, a, t), zero);
    return part;
}

// The door panel only turns about the vertical, so after the height test four axes decide.
bool doorOverlaps(const Box& b, Vec3 o, uint8_t state, double a, double t) {
    if (o.y + overlapMargin >= b.max.y || b.min.y >= o.y + 2 - overlapMargin) return false;
    const double h = t / 2;
    const double turn = (state & stateFacing) * halfPi + a;
    const Vec3 across{std::cos(turn), 0, std::sin(turn)};
    const Vec3 through{-std::sin(turn), 0, std::cos(turn)};
    OrientedBox panel{plus(o, doorPartPoint({0.5, 1.0, h}, state & stateFacing, a, t)),
                      {across, {0, 1, 0}, through},
                      {0.5, 0.0, h}};
    const OrientedBox box = worldBox(b);
    const Vec3 axes[4] = {worldAxes[0], worldAxes[2], across, through};
    for (const Vec3& axis : axes) {
        if (separatedOn(axis, panel, box)) return false;
    }
    return true;
}

}  // namespace

int32_t shapeKind(const BlockDef& def) {
    for (const KindName& entry : kindNames) {
        if (def.behavior == entry.behavior) return entry.kind;
    }
    return shapeNone;
}

std::array<bool, 256> shapedFlags() {
    std::array<bool, 256> flags{};
    for (std::size_t id = 0; id < blockCount(); ++id) {
        flags[id] = shapeKind(blockDef(static_cast<uint8_t>(id))) != shapeNone;
    }
    return flags;
}

Vec3 shapeSize(int32_t kind, double t) {
    switch (kind) {
        case shapeDoor: return {1, 2, t};
        case shapeTrapdoor: return {1, t, 1};
        case shapeBed: return {1, 0.5625, 2};
        default: return {1, 1, t};
    }
}

Vec3 doorPartPoint(Vec3 p, int32_t facing, double a, double t) {
    const double h = t / 2;
    const double ca = std::cos(a), sa = std::sin(a);
    const double x = (p.x - h) * ca - (p.z - h) * sa + h - 0.5;
    const double z = (p.x - h) * sa + (p.z - h) * ca + h - 0.5;
    const double g = (facing & 3) * halfPi;
    const double cg = std::cos(g), sg = std::sin(g);
    return {x * cg - z * sg + 0.5, p.y, x * sg + z * cg + 0.5};
}

Vec3 shapePoint(Vec3 p, int32_t kind, uint8_t state, double a, double t) {
    if (kind == shapeDoor) return doorPartPoint(p, state & stateFacing, a, t);
    if (kind == shapeTrapdoor) return trapdoorPoint(p, state, a, t / 2);
    return facingTurn(p, state & stateFacing);
}

Vec3 shapePointToLocal(Vec3 p, int32_t kind, uint8_t state, double a, double t) {
    if (kind == shapeDoor) return doorToLocal(p, state, a, t / 2);
    if (kind == shapeTrapdoor) return trapdoorToLocal(p, state, a, t / 2);
    return facingUnturn(p, state & stateFacing);
}

bool shapeOverlaps(const Box& b, Vec3 origin, int32_t kind, uint8_t state, double a, double t) {
    if (kind == shapeDoor) return doorOverlaps(b, origin, state, a, t);
    return !anySeparatingAxis(placedPart(origin, kind, state, a, t), worldBox(b));
}

bool boxesOverlap(const Box& a, const Box& b) {
    return a.min.x < b.max.x && b.min.x < a.max.x && a.min.y < b.max.y && b.min.y < a.max.y &&
           a.min.z < b.max.z && b.min.z < a.max.z;
}

Box cellBox(int32_t x, int32_t y, int32_t z) {
    return {{double(x), double(y), double(z)}, {x + 1.0, y + 1.0, z + 1.0}};
}

CellStep wallStep(int32_t facing) {
    return wallSteps[facing & 3];
}

CellStep bedStep(int32_t facing) {
    const CellStep wall = wallSteps[facing & 3];
    return {-wall.dx, -wall.dz};
}

int32_t facingFromYaw(float yaw) {
    // The placement constant is a shortened quarter turn, not halfPi.
    const double quarter = 1.57079632679;
    return static_cast<int32_t>(std::lround((yaw - quarter) / quarter)) & 3;
}

double doorTarget(uint8_t state) {
    return (state & stateOpen) ? halfPi : 0.0;
}

double swingToward(double angle, double target, double step, double seconds) {
    const double limit = step / seconds * halfPi;
    return angle + std::clamp(target - angle, -limit, limit);
}

Box bodyBox(double x, double feetY, double z, double halfWidth, double height) {
    return {{x - halfWidth, feetY, z - halfWidth}, {x + halfWidth, feetY + height, z + halfWidth}};
}

Box playerBox(double x, double eyeY, double z) {
    return {{x - 0.29, eyeY - 1.62, z - 0.29}, {x + 0.29, eyeY + 0.18, z + 0.29}};
}

Box mobBox(uint32_t kind, double x, double y, double z, double halfWidth, double height) {
    const double width = halfWidth > 0 ? halfWidth : (kind != 0 ? 0.4 : 0.7);
    const double tall = height > 0 ? height : (kind != 0 ? 1.9 : 0.95);
    return bodyBox(x, y, z, width, tall);
}

Box npcBox(double x, double y, double z, double halfWidth, double modelHeight) {
    const double width = halfWidth > 0 ? halfWidth : 0.34;
    const double tall = modelHeight > 0 ? modelHeight : 1.85;
    return bodyBox(x, y, z, width, tall + 0.03);
}

std::array<double, 13> swingSamples(double from, double to) {
    std::array<double, 13> samples{};
    for (int i = 0; i < 13; ++i) samples[i] = from + (to - from) * i / 12.0;
    return samples;
}

}  // namespace voxel
