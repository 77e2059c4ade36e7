#include "game/hit_sparks.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "app/app.h"

namespace game {

void spawnSparks(std::vector<HitSpark>& sparks, double x, double y, double z, double r, double g, double b) {
    if (sparks.size() + kSparksPerBurst > kMaxSparks) {
        sparks.erase(sparks.begin(), sparks.begin() + static_cast<std::ptrdiff_t>(sparks.size() + kSparksPerBurst - kMaxSparks));
    }
    // Evenly around the point, each a little higher and longer-lived than the one before, so the
    // burst reads as a spray rather than a ring.
    for (int32_t k = 0; k < kSparksPerBurst; ++k) {
        const double angle = 2.0 * std::numbers::pi * k / kSparksPerBurst;
        HitSpark s;
        s.x = s.prevX = x;
        s.y = s.prevY = y;
        s.z = s.prevZ = z;
        s.velocityX = std::cos(angle) * kSparkSpeed;
        s.velocityY = kSparkLift * (1.0 + 0.1 * (k % 3));
        s.velocityZ = std::sin(angle) * kSparkSpeed;
        s.r = r;
        s.g = g;
        s.b = b;
        s.life = kSparkLife + k % 3;
        sparks.push_back(s);
    }
}

void stepSparks(std::vector<HitSpark>& sparks) {
    for (HitSpark& s : sparks) {
        s.prevX = s.x;
        s.prevY = s.y;
        s.prevZ = s.z;
        s.velocityY -= kSparkGravity * kStepSeconds;
        s.x += s.velocityX * kStepSeconds;
        s.y += s.velocityY * kStepSeconds;
        s.z += s.velocityZ * kStepSeconds;
        --s.life;
    }
    std::erase_if(sparks, [](const HitSpark& s) { return s.life < 1; });
}

}  // namespace game

void App::spawnSparks(double x, double y, double z, double r, double g, double b) {
    game::spawnSparks(entities.sparks, x, y, z, r, g, b);
}

void App::stepSparks() { game::stepSparks(entities.sparks); }
