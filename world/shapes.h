#pragma once
// Doors, trapdoors, ladders and beds: thin boxes placed in their cell by a facing and a few state
// bits. Point transforms between a part's own space and cell space, the exact overlap test against
// an axis-aligned box, the facing of a placement and the swing of a door.
#include <array>
#include <cstdint>

#include "world/block_registry.h"

namespace voxel {

inline constexpr int32_t shapeNone = -1;
inline constexpr int32_t shapeDoor = 0;
inline constexpr int32_t shapeTrapdoor = 1;
inline constexpr int32_t shapeLadder = 2;
inline constexpr int32_t shapeBed = 3;

// State byte bits of a shaped block.
inline constexpr uint8_t stateFacing = 3;     // quarter turns about the vertical axis
inline constexpr uint8_t stateOpen = 4;       // doors and trapdoors
inline constexpr uint8_t stateUpper = 8;      // door upper half, trapdoor top, bed second half
inline constexpr uint8_t stateWall = 16;      // trapdoor mounted on a wall
inline constexpr uint8_t storedStateBits = 31;

inline constexpr double halfPi = 1.5707963267948966;
// Within this margin touching parts do not overlap.
inline constexpr double overlapMargin = 0.00001;

struct Vec3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

// An axis-aligned box.
struct Box {
    Vec3 min;
    Vec3 max;
};

// A horizontal cell offset.
struct CellStep {
    int32_t dx = 0;
    int32_t dz = 0;
};

// By behaviour: "door" 0, "trapdoor" 1, "ladder" 2, "bed" 3, anything else -1 (a plain cube).
int32_t shapeKind(const BlockDef& def);
// Per id whether the registry's definition has a shape kind; ids past the registry are false.
std::array<bool, 256> shapedFlags();
// Part size in blocks; t is the definition's door_thickness.
Vec3 shapeSize(int32_t kind, double t);

// The door transform: the swing a about the hinge, then the facing turn.
Vec3 doorPartPoint(Vec3 p, int32_t facing, double a, double t);
// Part space to cell space.
Vec3 shapePoint(Vec3 p, int32_t kind, uint8_t state, double a, double t);
// The exact inverse of shapePoint.
Vec3 shapePointToLocal(Vec3 p, int32_t kind, uint8_t state, double a, double t);

// True when the part placed with its cell corner at origin overlaps box b.
bool shapeOverlaps(const Box& b, Vec3 origin, int32_t kind, uint8_t state, double a, double t);

// Strict overlap of two axis-aligned boxes (touching faces do not count).
bool boxesOverlap(const Box& a, const Box& b);
// The unit box of a cell.
Box cellBox(int32_t x, int32_t y, int32_t z);

// The cell a ladder or wall trapdoor of this facing hangs on, relative to its own cell.
CellStep wallStep(int32_t facing);
// Where the second half of a bed of this facing lies, relative to its first half.
CellStep bedStep(int32_t facing);

// Facing of a placed block from the player's yaw in radians.
int32_t facingFromYaw(float yaw);

// The swing target of a door or trapdoor state.
double doorTarget(uint8_t state);
// One swing step towards the target, at most step / seconds quarter turns.
double swingToward(double angle, double target, double step, double seconds);

// Bodies a placed block or a swinging door must not pass through: feet position, half-width and
// height.
Box bodyBox(double x, double feetY, double z, double halfWidth, double height);
// The player's collision box around the eye position.
Box playerBox(double x, double eyeY, double z);
// A mob's box with its defaults for unset sizes (0 or below): a mob of kind 0 is wide and low.
Box mobBox(uint32_t kind, double x, double y, double z, double halfWidth, double height);
// An NPC's box with its defaults for unset sizes.
Box npcBox(double x, double y, double z, double halfWidth, double modelHeight);

// The 13 evenly spaced angles from one swing angle to another at which a swing is tested.
std::array<double, 13> swingSamples(double from, double to);

}  // namespace voxel
