#pragma once
// The geometry of a melee swing: where a segment enters a box, which blocking cell it meets first
// and which live mob it reaches first.
#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

#include "game/entities.h"

namespace game {

using Point3 = std::array<double, 3>;

inline constexpr double kMeleeReach = 4.0;  // blocks along the view ray

// Parameter t in 0..1 at which the segment start..end enters the box [min, max]; none when the
// segment misses it. An axis along which the segment does not move needs the start inside the slab.
std::optional<double> segmentEntry(const Point3& start, const Point3& end, const Point3& min, const Point3& max);

// The view ray of the swing: reach blocks from the eye along yaw and pitch.
Point3 meleeRayEnd(const Point3& eye, double yaw, double pitch);

// The first cell the segment meets: cellEntry gives the segment's entry into the cell's blocking
// shape, or none. Every cell that the segment's bounding box touches is asked.
std::optional<double> firstBlockingCell(const Point3& start, const Point3& end,
                                        const std::function<std::optional<double>(int, int, int)>& cellEntry);

// Index of the live mob (health 1 or more) whose body the segment enters first before tmax; ties
// keep the earlier mob. Mobs with a non-finite position or size are never hit.
std::optional<std::size_t> nearestMobOnSegment(const std::vector<Mob>& mobs, const Point3& start, const Point3& end,
                                               double tmax);

}  // namespace game
