// The movement step. Each step reads what the body stands in (water, a ladder, an updraft), sets the
// velocity by the mode it is in, then moves along y, x and z in turn, each axis stopped at the first
// box ahead, so that the body slides along walls and lands on floors.
#include "game/movement.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace game {

namespace {

double get(const voxel::Vec3& v, int axis) {
    return axis == 0 ? v.x : axis == 1 ? v.y : v.z;
}

double& at(voxel::Vec3& v, int axis) {
    return axis == 0 ? v.x : axis == 1 ? v.y : v.z;
}

// Two spans overlap only by more than the touch margin.
bool spansOverlap(double aMin, double aMax, double bMin, double bMax) {
    return aMin < bMax - kTouchMargin && bMin < aMax - kTouchMargin;
}

bool overlapsOn(const voxel::Box& a, const voxel::Box& b, int axis) {
    return spansOverlap(get(a.min, axis), get(a.max, axis), get(b.min, axis), get(b.max, axis));
}

// Overlap on the two axes other than the one moved along.
bool overlapsAcross(const voxel::Box& a, const voxel::Box& b, int axis) {
    return overlapsOn(a, b, (axis + 1) % 3) && overlapsOn(a, b, (axis + 2) % 3);
}

template <class Visit>
void forEachCell(const voxel::Box& region, Visit visit) {
    const auto low = [](double v) { return static_cast<int32_t>(std::floor(v)); };
    for (int32_t x = low(region.min.x); x <= low(region.max.x); ++x)
        for (int32_t y = low(region.min.y); y <= low(region.max.y); ++y)
            for (int32_t z = low(region.min.z); z <= low(region.max.z); ++z) visit(x, y, z);
}

// How far the body may move by d along the axis before it meets the solid box. A box the body
// already overlaps does not hold it, so nothing can trap it.
double clipAgainst(const voxel::Box& body, const voxel::Box& solid, int axis, double d) {
    if (!overlapsAcross(body, solid, axis)) return d;
    const double gapAhead = get(solid.min, axis) - get(body.max, axis);
    const double gapBehind = get(solid.max, axis) - get(body.min, axis);
    if (d > 0 && gapAhead >= -kTouchMargin) return std::min(d, std::max(0.0, gapAhead));
    if (d < 0 && gapBehind <= kTouchMargin) return std::max(d, std::min(0.0, gapBehind));
    return d;
}

double clipMove(const voxel::Box& body, int axis, double d, const CellQuery& cells) {
    if (d == 0.0) return 0.0;
    voxel::Box region = body;
    at(d > 0 ? region.max : region.min, axis) += d;
    forEachCell(region, [&](int32_t x, int32_t y, int32_t z) {
        const MoveCell cell = cells(x, y, z);
        if (cell.hasBox) d = clipAgainst(body, cell.box, axis, d);
    });
    return d;
}

struct Surroundings {
    bool water = false;
    bool ladder = false;
    double updraft = 0.0;
};

Surroundings surroundings(const Body& body, const CellQuery& cells) {
    Surroundings found;
    const voxel::Box box = bodyBounds(body);
    forEachCell(box, [&](int32_t x, int32_t y, int32_t z) {
        const voxel::Box cellBox = voxel::cellBox(x, y, z);
        if (!overlapsOn(box, cellBox, 0) || !overlapsOn(box, cellBox, 1) || !overlapsOn(box, cellBox, 2))
            return;
        const MoveCell cell = cells(x, y, z);
        found.water = found.water || cell.water;
        found.ladder = found.ladder || cell.ladder;
        found.updraft = std::max(found.updraft, static_cast<double>(cell.updraftLift));
    });
    return found;
}

// A body inside plain blocks (a spawn point under a hill) stands on the highest of them instead of
// being stuck where no move can free it.
void riseOutOfBlocks(Body& body, const CellQuery& cells) {
    for (int i = 0; i < kMaxRiseSteps; ++i) {
        const voxel::Box box = bodyBounds(body);
        double top = body.y;
        forEachCell(box, [&](int32_t x, int32_t y, int32_t z) {
            const MoveCell cell = cells(x, y, z);
            if (!cell.hasBox || !cell.liftsOut) return;
            if (overlapsOn(box, cell.box, 0) && overlapsOn(box, cell.box, 1) && overlapsOn(box, cell.box, 2))
                top = std::max(top, cell.box.max.y);
        });
        if (top == body.y) return;
        body.y = top;
        body.vy = 0.0;
    }
}

double approach(double v, double target, double maxChange) {
    return v + std::clamp(target - v, -maxChange, maxChange);
}

double flySpeed(const MoveInput& input) {
    return input.fast ? kFastFlySpeed : kFlySpeed;
}

void steerHorizontal(Body& body, const MoveInput& input, double dt) {
    if (input.flying) {
        body.vx = input.wishX * flySpeed(input);
        body.vz = input.wishZ * flySpeed(input);
        return;
    }
    double speed = (input.sneak ? kSneakSpeed : kWalkSpeed) * input.walkFactor;
    double acceleration = body.onGround ? kGroundAcceleration : kAirAcceleration;
    if (body.inWater) {
        speed = kWaterSpeed;
        acceleration = kWaterAcceleration;
    } else if (body.gliding) {
        speed = input.glideSpeed;
        acceleration = kAirAcceleration;
    }
    body.vx = approach(body.vx, input.wishX * speed, acceleration * dt);
    body.vz = approach(body.vz, input.wishZ * speed, acceleration * dt);
}

// Falling under an acceleration, never faster than the limit: water, a ladder or an opening glider
// catch a faster fall at once.
double fall(double vy, double gravity, double limit, double dt) {
    return std::max(vy - gravity * dt, -limit);
}

double verticalSpeed(const Body& body, const MoveInput& input, double updraft, double dt) {
    if (input.flying) return ((input.jump ? 1.0 : 0.0) - (input.sneak ? 1.0 : 0.0)) * flySpeed(input);
    if (body.onLadder)
        return input.jump || body.againstWall ? kLadderClimbSpeed
                                              : fall(body.vy, kGravity, kLadderSlideSpeed, dt);
    if (body.inWater) {
        if (input.jump) return std::max(body.vy - kWaterGravity * dt, kSwimUpSpeed);
        return fall(body.vy, kWaterGravity, kWaterSinkSpeed, dt);
    }
    if (body.gliding) return updraft > 0.0 ? updraft : fall(body.vy, kGravity, input.glideSink, dt);
    return fall(body.vy, kGravity, kTerminalSpeed, dt);
}

// A jump leaves the ground; in water, pressing against a bank with Space held lifts the body out.
bool jumps(const Body& body, const MoveInput& input) {
    if (!input.jump || input.flying || body.onLadder) return false;
    return body.inWater ? body.againstWall : body.onGround;
}

// Moves along y, x and z in turn; a blocked axis loses its speed.
void moveThrough(Body& body, double dx, double dy, double dz, const CellQuery& cells) {
    const double movedY = clipMove(bodyBounds(body), 1, dy, cells);
    body.y += movedY;
    body.onGround = dy < 0.0 && movedY > dy;
    if (movedY != dy) body.vy = 0.0;
    const double movedX = clipMove(bodyBounds(body), 0, dx, cells);
    body.x += movedX;
    if (movedX != dx) body.vx = 0.0;
    const double movedZ = clipMove(bodyBounds(body), 2, dz, cells);
    body.z += movedZ;
    if (movedZ != dz) body.vz = 0.0;
    body.againstWall = movedX != dx || movedZ != dz;
}

void substep(Body& body, const MoveInput& input, double dt, const CellQuery& cells) {
    const Surroundings around = surroundings(body, cells);
    body.inWater = around.water;
    body.onLadder = around.ladder;
    body.gliding = input.glider && !input.flying && !input.sneak && !body.onGround && !body.inWater &&
                   !body.onLadder && (body.gliding || body.vy < -kGlideOpenSpeed);
    steerHorizontal(body, input, dt);
    if (jumps(body, input)) body.vy = jumpSpeed();
    const double before = body.vy;
    body.vy = verticalSpeed(body, input, around.updraft, dt);
    // The mean of the two speeds is exact under constant acceleration, so a jump's height does not
    // depend on the frame rate.
    moveThrough(body, body.vx * dt, (before + body.vy) * 0.5 * dt, body.vz * dt, cells);
}

}  // namespace

double jumpSpeed() {
    return std::sqrt(2.0 * kGravity * kJumpHeight);
}

voxel::Box bodyBounds(const Body& body) {
    return voxel::bodyBox(body.x, body.y, body.z, kBodyHalfWidth, kBodyHeight);
}

Body stepBody(Body body, const MoveInput& input, double dt, const CellQuery& cells) {
    if (!(dt > 0.0)) return body;
    riseOutOfBlocks(body, cells);
    const int steps = static_cast<int>(std::ceil(dt / kMaxSubstep));
    for (int i = 0; i < steps; ++i) substep(body, input, dt / steps, cells);
    return body;
}

voxel::Box shapeCollisionBounds(int32_t kind, uint8_t state, double angle, double thickness) {
    const voxel::Vec3 size = voxel::shapeSize(kind, thickness);
    if (kind == voxel::shapeBed) return {{0.0, 0.0, 0.0}, {1.0, size.y, 1.0}};
    constexpr double inf = std::numeric_limits<double>::infinity();
    voxel::Box bounds{{inf, inf, inf}, {-inf, -inf, -inf}};
    for (int corner = 0; corner < 8; ++corner) {
        const voxel::Vec3 local{corner & 1 ? size.x : 0.0, corner & 2 ? size.y : 0.0,
                                corner & 4 ? size.z : 0.0};
        const voxel::Vec3 p = voxel::shapePoint(local, kind, state, angle, thickness);
        for (int axis = 0; axis < 3; ++axis) {
            at(bounds.min, axis) = std::min(get(bounds.min, axis), get(p, axis));
            at(bounds.max, axis) = std::max(get(bounds.max, axis), get(p, axis));
        }
    }
    return bounds;
}

voxel::Box blockCollisionBounds(const voxel::BlockDef& def) {
    const voxel::Box whole{{0.0, 0.0, 0.0}, {1.0, 1.0, 1.0}};
    if (def.modelVertices.empty()) return whole;
    voxel::Box bounds;
    for (int axis = 0; axis < 3; ++axis) {
        at(bounds.min, axis) = std::clamp(static_cast<double>(def.modelBounds[axis]), 0.0, 1.0);
        at(bounds.max, axis) = std::clamp(static_cast<double>(def.modelBounds[axis + 3]), 0.0, 1.0);
        // Bounds never measured fill the cell.
        if (get(bounds.min, axis) > get(bounds.max, axis)) return whole;
    }
    return bounds;
}

void notePress(DoubleTap& tap, PressTime time) {
    if (tap.pending.size() >= kPendingPressLimit) tap.pending.erase(tap.pending.begin());
    time.after = std::clamp(time.after, time.at - kLongestPressWait, time.at);
    tap.pending.push_back(time);
}

uint32_t takeDoubleTaps(DoubleTap& tap) {
    // The slack keeps a gap of exactly the window inside it, whatever the clock's rounding.
    constexpr double slack = 1e-9;
    uint32_t taps = 0;
    for (const PressTime& press : tap.pending) {
        if (press.after - tap.lastPress <= kDoubleTapSeconds + slack) {
            ++taps;
            tap.lastPress = -1e9;
        } else {
            tap.lastPress = press.at;
        }
    }
    tap.pending.clear();
    return taps;
}

}  // namespace game
