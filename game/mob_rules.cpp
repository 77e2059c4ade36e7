#include "game/mob_rules.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace game {

namespace {

constexpr int32_t kDayTicks = 48000;

// A well-mixed 64-bit value from a seed (splitmix64), so spawns need no stored generator.
uint64_t mix(uint64_t v) {
    v += 0x9E3779B97F4A7C15ull;
    v = (v ^ (v >> 30)) * 0xBF58476D1CE4E5B9ull;
    v = (v ^ (v >> 27)) * 0x94D049BB133111EBull;
    return v ^ (v >> 31);
}

double unit(uint64_t v) { return static_cast<double>(v >> 11) / 9007199254740992.0; }

}  // namespace

bool isNight(int32_t timeOfDay) {
    const int32_t t = ((timeOfDay % kDayTicks) + kDayTicks) % kDayTicks;
    return t > kDayTicks / 2;
}

void stepMobTimers(Mob& mob) {
    mob.prevX = mob.x;
    mob.prevY = mob.y;
    mob.prevZ = mob.z;
    ++mob.ticks;
    if (mob.hurtTimer > 0) --mob.hurtTimer;
    if (mob.windupRemaining > 0) --mob.windupRemaining;
    if (mob.postAttackTimer > 0) --mob.postAttackTimer;
    if (mob.health < 1 && mob.deathTimer < kCorpseTicks) ++mob.deathTimer;
}

bool corpseExpired(const Mob& mob) { return mob.health < 1 && mob.deathTimer >= kCorpseTicks; }

std::vector<std::size_t> nightSpawnCandidates(const std::vector<content::MobDef>& defs, const std::string& dimension) {
    std::vector<std::size_t> picks;
    for (std::size_t i = 0; i < defs.size(); ++i) {
        const content::MobDef& def = defs[i];
        const bool here = std::find(def.dimensions.begin(), def.dimensions.end(), dimension) != def.dimensions.end();
        if (def.enabled && def.spawn == "night" && def.spawnLimit > 0 && here) picks.push_back(i);
    }
    return picks;
}

SpawnSpot spawnSpot(uint64_t seed, double x, double z, std::size_t candidates) {
    const uint64_t a = mix(seed), b = mix(a), c = mix(b), d = mix(c);
    const double angle = unit(a) * 2.0 * std::numbers::pi;
    const double distance = kSpawnMinDistance + unit(b) * (kSpawnMaxDistance - kSpawnMinDistance);
    SpawnSpot spot;
    spot.x = x + std::cos(angle) * distance;
    spot.z = z + std::sin(angle) * distance;
    spot.yaw = unit(c) * 2.0 * std::numbers::pi;
    spot.pick = candidates == 0 ? 0 : static_cast<std::size_t>(d % candidates);
    return spot;
}

int32_t killExperience(const content::RpgRules& rewards, const std::vector<content::MobDef>& defs, const Mob& mob) {
    const auto def = std::find_if(defs.begin(), defs.end(), [&](const content::MobDef& d) { return d.id == mob.defId; });
    const std::string behavior =
        def != defs.end() ? def->behavior : content::builtinMob(mob.kind == 1 ? 1 : 0).behavior;
    return behavior == "passive" ? rewards.passiveXp : rewards.hostileXp;
}

}  // namespace game
