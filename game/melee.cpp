#include "game/melee.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "world/shapes.h"

namespace game {

namespace {

constexpr double kFlatExtent = 1e-12;

int32_t cellOf(double v) { return static_cast<int32_t>(std::floor(v)); }

}  // namespace

std::optional<double> segmentEntry(const Point3& start, const Point3& end, const Point3& min, const Point3& max) {
    double enter = 0.0, exit = 1.0;
    for (int axis = 0; axis < 3; ++axis) {
        const double d = end[axis] - start[axis];
        if (std::abs(d) < kFlatExtent) {
            if (start[axis] < min[axis] || start[axis] > max[axis]) return std::nullopt;
            continue;
        }
        double t0 = (min[axis] - start[axis]) / d, t1 = (max[axis] - start[axis]) / d;
        if (t0 > t1) std::swap(t0, t1);
        enter = std::max(enter, t0);
        exit = std::min(exit, t1);
        if (enter > exit) return std::nullopt;
    }
    return enter;
}

Point3 meleeRayEnd(const Point3& eye, double yaw, double pitch) {
    return {eye[0] + kMeleeReach * std::cos(yaw) * std::cos(pitch), eye[1] + kMeleeReach * std::sin(pitch),
            eye[2] + kMeleeReach * std::sin(yaw) * std::cos(pitch)};
}

std::optional<double> firstBlockingCell(const Point3& start, const Point3& end,
                                        const std::function<std::optional<double>(int, int, int)>& cellEntry) {
    std::optional<double> first;
    for (int x = cellOf(std::min(start[0], end[0])); x <= cellOf(std::max(start[0], end[0])); ++x) {
        for (int y = cellOf(std::min(start[1], end[1])); y <= cellOf(std::max(start[1], end[1])); ++y) {
            for (int z = cellOf(std::min(start[2], end[2])); z <= cellOf(std::max(start[2], end[2])); ++z) {
                const std::optional<double> t = cellEntry(x, y, z);
                if (t && (!first || *t < *first)) first = t;
            }
        }
    }
    return first;
}

std::optional<std::size_t> nearestMobOnSegment(const std::vector<Mob>& mobs, const Point3& start, const Point3& end,
                                               double tmax) {
    std::optional<std::size_t> nearest;
    for (std::size_t i = 0; i < mobs.size(); ++i) {
        const Mob& mob = mobs[i];
        if (mob.health < 1) continue;
        const voxel::Box box = voxel::mobBox(mob.kind, mob.x, mob.y, mob.z, mob.halfWidth, mob.height);
        // A box with a non-finite side (a bad record) would pass every slab test: such a mob is never hit.
        const double sides[] = {box.min.x, box.min.y, box.min.z, box.max.x, box.max.y, box.max.z};
        if (!std::all_of(std::begin(sides), std::end(sides), [](double v) { return std::isfinite(v); })) continue;
        const std::optional<double> t =
            segmentEntry(start, end, {box.min.x, box.min.y, box.min.z}, {box.max.x, box.max.y, box.max.z});
        if (t && *t < tmax) {
            tmax = *t;
            nearest = i;
        }
    }
    return nearest;
}

}  // namespace game
