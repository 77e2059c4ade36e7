#pragma once
// Hit sparks: a short burst of small glowing cubes where a blow lands, thrown outwards and falling.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "game/entities.h"

namespace game {

// A burst adds kSparksPerBurst sparks; the list never holds more than kMaxSparks (the oldest go).
inline constexpr int32_t kSparksPerBurst = 6;
inline constexpr std::size_t kMaxSparks = 256;
inline constexpr int32_t kSparkLife = 10;  // world steps, half a second
inline constexpr double kSparkSpeed = 2.5;  // blocks per second, outwards
inline constexpr double kSparkLift = 3.0;   // blocks per second, upwards at spawn
inline constexpr double kSparkGravity = 16.0;  // blocks per second squared
inline constexpr double kStepSeconds = 0.05;

void spawnSparks(std::vector<HitSpark>& sparks, double x, double y, double z, double r, double g, double b);
// One world step: remember the position, fall, move, age; sparks whose life drops below 1 go.
void stepSparks(std::vector<HitSpark>& sparks);

}  // namespace game
