#pragma once
// The world's moving things as the world simulation keeps them: mobs, dropped items, arrows, hit
// sparks and particles. The renderer reads these records every frame to draw them.
#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct Mob {
    uint32_t kind = 0;  // template: 0 boar-based, 1 skeleton-based
    uint32_t id = 0;    // numeric id, the key of LAN snapshot records
    std::string defId;  // matched against the mob definition's id
    double x = 0.0, y = 0.0, z = 0.0;
    double prevX = 0.0, prevY = 0.0, prevZ = 0.0;  // before the last world step
    double velocityX = 0.0, velocityZ = 0.0;       // blocks per second
    double yaw = 0.0;                              // radians
    double walkPhase = 0.0;                        // radians
    uint64_t ticks = 0;
    double halfWidth = 0.0;  // 0: the template's default
    double height = 0.0;     // 0: the template's default
    int32_t health = 10;     // below 1 the mob is dead and lying
    int32_t windupRemaining = 0;
    int32_t windupLength = 0;
    int32_t attackKind = 0;  // 3 heavy, 4 rush, 5 wave
    int32_t hurtTimer = 0;   // non-zero while the hurt flash shows
    int32_t postAttackTimer = 0;
    int32_t deathTimer = 0;  // ticks since death
};

// The previous yaw and walk phase of a mob from the last entity message of a LAN host.
struct MobSnapshot {
    double yaw = 0.0;
    double walkPhase = 0.0;
};

struct DroppedItem {
    uint8_t id = 0;
    float x = 0.0f, y = 0.0f, z = 0.0f;
    float phase = 0.0f;  // spin
    float prevX = 0.0f, prevY = 0.0f, prevZ = 0.0f;
    float prevPhase = 0.0f;
    uint8_t interpolate = 0;  // set when the previous values are valid
    int32_t count = 1;        // items in this one pile
    float velocityY = 0.0f;   // blocks per world step
    int32_t age = 0;          // world steps since it was dropped
    uint32_t pile = 0;        // names the pile in a LAN session
};

struct Arrow {
    double x = 0.0, y = 0.0, z = 0.0;
    double prevX = 0.0, prevY = 0.0, prevZ = 0.0;
    std::array<double, 3> facing{1.0, 0.0, 0.0};  // unit launch direction
};

namespace game {

// Arrows in flight at most; beyond it the oldest (first in the list) make room for the newest.
inline constexpr std::size_t kMaxArrows = 512;

inline void keepNewestArrows(std::vector<Arrow>& arrows) {
    if (arrows.size() > kMaxArrows) arrows.erase(arrows.begin(), arrows.end() - kMaxArrows);
}

}  // namespace game

struct HitSpark {
    double x = 0.0, y = 0.0, z = 0.0;
    double prevX = 0.0, prevY = 0.0, prevZ = 0.0;
    double velocityX = 0.0, velocityY = 0.0, velocityZ = 0.0;
    double r = 1.0, g = 1.0, b = 1.0;
    int32_t life = 0;  // ticks; removed below 1
};

struct Particle {
    double x = 0.0, y = 0.0, z = 0.0;
    double prevX = 0.0, prevY = 0.0, prevZ = 0.0;
    double velocityX = 0.0, velocityY = 0.0, velocityZ = 0.0;
    int32_t kind = 0;  // 1 smoke, 2 sparks, 3 splash
    int32_t life = 0;  // remaining world steps
    int32_t fullLife = 0;
    float size = 0.0f;  // half-extent of the quad at spawn
};

struct EntityState {
    std::vector<Mob> mobs;
    uint32_t nextMobId = 1;
    uint32_t nextPileId = 1;
    std::vector<DroppedItem> droppedItems;
    std::vector<Arrow> arrows;
    std::vector<HitSpark> sparks;
    std::vector<Particle> particles;  // in spawn order
    std::map<uint32_t, MobSnapshot> mobSnapshots;  // LAN guest only
    double lastEntityMessage = 0.0;       // GLFW seconds, LAN guest
    double lastDroppedItemMessage = 0.0;  // GLFW seconds, LAN guest
};
