#pragma once
// The least rules that keep mobs in the world: they appear near the player at night and stand
// still; their hurt, wind-up, post-attack and death timers run per world step; the dead are removed
// once they have lain for a while.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "content/mobs.h"
#include "content/rule_files.h"
#include "game/entities.h"

namespace game {

inline constexpr int32_t kHurtTicks = 10;         // the red flash after a hit
inline constexpr int32_t kCorpseTicks = 40;       // a dead mob lies 2 s (tipped over after 16)
inline constexpr std::size_t kNightMobLimit = 4;  // live mobs around the player at night
inline constexpr uint64_t kSpawnEveryTicks = 100;  // one try every 5 s
inline constexpr double kSpawnMinDistance = 10.0;
inline constexpr double kSpawnMaxDistance = 20.0;

// The second half of the day, when the sun is below the horizon.
bool isNight(int32_t timeOfDay);

// One world step of a mob that stands still: previous position, tick counter and its timers.
void stepMobTimers(Mob& mob);

// Dead long enough to be removed.
bool corpseExpired(const Mob& mob);

// Indices of the enabled definitions that appear at night in this dimension.
std::vector<std::size_t> nightSpawnCandidates(const std::vector<content::MobDef>& defs, const std::string& dimension);

// The experience the player earns for killing the mob: the passive reward for a kind whose behaviour
// is "passive", the hostile one for any other. The kind is the definition of the mob's id, else
// the built-in template it is based on.
int32_t killExperience(const content::RpgRules& rewards, const std::vector<content::MobDef>& defs, const Mob& mob);

// A spawn place around (x, z) chosen from the seed: distance in kSpawnMinDistance..kSpawnMaxDistance.
struct SpawnSpot {
    double x = 0.0, z = 0.0, yaw = 0.0;
    std::size_t pick = 0;  // which candidate
};
SpawnSpot spawnSpot(uint64_t seed, double x, double z, std::size_t candidates);

}  // namespace game
