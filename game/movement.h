#pragma once
// The player's body in the world: one movement step with gravity, collision against block boxes,
// jumping, ladders, water, flight and gliding. Pure: the world is reached only through a cell query,
// so every rule can be tried on a handful of hand-made cells.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "world/shapes.h"

namespace game {

// The body around the feet: eye 1.62 above them, the top 0.18 above the eye.
inline constexpr double kBodyHalfWidth = 0.29;
inline constexpr double kEyeHeight = 1.62;
inline constexpr double kBodyHeight = kEyeHeight + 0.18;

// Our own movement numbers, in blocks and seconds.
inline constexpr double kGravity = 28.0;
inline constexpr double kTerminalSpeed = 60.0;  // falling never gets faster
inline constexpr double kJumpHeight = 1.25;     // clears one block, not two
inline constexpr double kWalkSpeed = 4.3;
inline constexpr double kSneakSpeed = 1.3;
inline constexpr double kGroundAcceleration = 40.0;  // start and stop within about a tenth of a second
inline constexpr double kAirAcceleration = 10.0;     // some steering in the air, not a full turn
inline constexpr double kWaterSpeed = 2.0;
inline constexpr double kWaterAcceleration = 12.0;
inline constexpr double kWaterGravity = 6.0;    // what buoyancy leaves of gravity
inline constexpr double kWaterSinkSpeed = 1.5;  // drag holds the sinking to this
inline constexpr double kSwimUpSpeed = 3.0;
inline constexpr double kLadderClimbSpeed = 2.4;
inline constexpr double kLadderSlideSpeed = 1.5;  // a ladder slows every fall to this
inline constexpr double kGlideOpenSpeed = 8.0;    // a worn glider opens once a fall passes a one-block drop
inline constexpr double kFlySpeed = 10.0;
inline constexpr double kFastFlySpeed = 30.0;     // with Control held
inline constexpr double kMaxSubstep = 0.05;       // longer frames are cut into steps of this
inline constexpr double kDoubleTapSeconds = 0.3;  // two Space presses this close toggle flight
inline constexpr int kMaxRiseSteps = 256;         // more than the world is tall
// Faces closer than this touch without blocking, so a gap exactly the body's width lets it through.
inline constexpr double kTouchMargin = 1e-6;

// What one cell holds for movement. Boxes are in world coordinates.
struct MoveCell {
    bool hasBox = false;
    voxel::Box box;
    bool water = false;
    bool ladder = false;
    float updraftLift = 0.0f;  // blocks per second upwards for a glider; 0 when no updraft
    // A body found inside the box rises onto it: set for plain blocks, not for swinging parts (their
    // box is the one around the turning panel) nor for chunks still streaming in.
    bool liftsOut = false;
};
using CellQuery = std::function<MoveCell(int32_t x, int32_t y, int32_t z)>;

struct MoveInput {
    double wishX = 0.0, wishZ = 0.0;  // horizontal direction, length at most 1
    bool jump = false;                // Space held
    bool sneak = false;               // Shift held
    bool fast = false;                // Control held
    bool flying = false;
    bool glider = false;  // a glider is worn
    double glideSpeed = 9.0;
    double glideSink = 2.0;
    double walkFactor = 1.0;  // walking and sneaking speed times this (a speed potion raises it)
};

struct Body {
    double x = 0.0, y = 0.0, z = 0.0;  // feet
    double vx = 0.0, vy = 0.0, vz = 0.0;
    bool onGround = false;
    bool inWater = false;
    bool onLadder = false;
    bool gliding = false;
    bool againstWall = false;  // a horizontal move was stopped in the last step
};

// Speed of a jump that rises exactly kJumpHeight.
double jumpSpeed();
// The body's box at its feet position.
voxel::Box bodyBounds(const Body& body);
// Moves the body by dt seconds (cut into steps of at most kMaxSubstep). A body that starts inside
// blocks first rises onto them.
Body stepBody(Body body, const MoveInput& input, double dt, const CellQuery& cells);

// The box a shaped part (door, trapdoor, ladder, bed) fills in its anchor cell's own coordinates, by
// state and swing angle: the box around the turned part. A bed half fills its own cell's low part.
voxel::Box shapeCollisionBounds(int32_t kind, uint8_t state, double angle, double thickness);
// The box a plain solid block fills in its cell: its model's bounds within the cell, or the whole
// cell when it has no model.
voxel::Box blockCollisionBounds(const voxel::BlockDef& def);

// When a press happened, as near as the window system tells. GLFW hands events over only while the
// frame polls them, so the callback's clock reads the poll, not the press: the press came after the
// previous poll ended and no later than its callback. A frame longer than kLongestPressWait is a
// stall, and no press is dated further back than that.
struct PressTime {
    double after = 0.0;  // GLFW seconds
    double at = 0.0;
};
inline constexpr double kLongestPressWait = 0.25;

// Double-tap detection for the flight toggle, decided from the times of the presses themselves: the
// key callback notes each press as it comes, however many come between two frames, and the frame
// step takes the taps they made, so a slow frame rate loses none.
struct DoubleTap {
    std::vector<PressTime> pending;  // presses not yet taken, oldest first
    double lastPress = -1e9;         // the latest time the first press of an open pair can have come
};
inline constexpr std::size_t kPendingPressLimit = 16;  // a stuck key or a stalled game keeps no more
void notePress(DoubleTap& tap, PressTime time);
// The double taps made by the presses noted since the last call: a second press that can have come
// within kDoubleTapSeconds of the first completes a pair and starts none of its own.
uint32_t takeDoubleTaps(DoubleTap& tap);

}  // namespace game
