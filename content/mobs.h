#pragma once
// Mob definitions: the built-in boar and skeleton, and the "*.mob.json" files of Content that add
// kinds or replace a built-in by its id.
#include <array>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "content/json.h"

namespace content {

struct MobDrop {
    uint8_t item = 0;
    int32_t count = 1;
};

inline constexpr std::size_t maxMobDrops = 8;
inline constexpr std::size_t maxMobDimensions = 9;
inline constexpr std::size_t maxMobModelVertices = 30000;

// Defaults are the boar's; ranges apply to values read from a file.
struct MobDef {
    // Model fields: never read from a file, filled by the mob model preparation.
    std::array<double, 6> modelBounds{};  // min x, y, z, max x, y, z
    double modelScale = 1.0;
    std::vector<uint32_t> modelPartIndices;
    std::array<std::array<double, 3>, 6> partPivots{};  // parts 0..5

    int32_t windupTicks = 12;
    int32_t heavyEvery = 0;
    int32_t heavyDamage = 18;
    int32_t heavyWindupTicks = 28;
    double heavyRange = 3.25;
    double territoryRadius = 48.0;
    int32_t pursuitMemoryTicks = 100;
    bool bossAttacks = false;
    int32_t rushTicks = 16;
    int32_t rushWindupTicks = 30;
    int32_t waveTicks = 24;
    int32_t waveWindupTicks = 40;
    int32_t phaseHealthPercent = 50;
    double rushSpeed = 6.0;
    double waveRange = 6.0;
    double phaseSpeedMultiplier = 1.3;
    double phaseDamageMultiplier = 1.25;
    double phaseCooldownMultiplier = 0.75;
    bool flying = false;
    bool boss = false;
    std::vector<std::string> dimensions{"core:overworld"};
    std::string faction;
    std::string lootTable;
    std::string id = "core:boar";
    std::string name = "КАБАН";
    std::string modelResource;
    std::string behavior = "passive";
    std::string spawn = "day";
    std::string hurtSound = "mob.boar.hurt";
    std::string deathSound = "mob.boar.death";
    std::string idleSound = "mob.boar.idle";
    std::string attackSound = "mob.skeleton.attack";
    int32_t templateKind = 0;  // 0 boar-based, 1 skeleton-based
    int32_t health = 10;
    int32_t damage = 3;
    int32_t attackTicks = 60;
    int32_t spawnLimit = 12;
    int32_t spawnIntervalTicks = 100;
    double speed = 1.1;
    double fleeSpeed = 3.6;
    double width = 1.4;
    double height = 0.95;
    double range = 28.0;
    bool enabled = true;
    std::vector<MobDrop> drops;
};

// The boar for kind 0 (and any kind but 1), the skeleton for kind 1; no drops.
MobDef builtinMob(int32_t kind);
// The two built-ins with their drops; "Unknown mob resource: " + name when an item is missing.
std::vector<MobDef> builtinMobs();

// One mob file's object. takenIds holds the ids of files accepted earlier in this load; the new id
// is not added. Throws std::runtime_error with the file's message. Needs the block registry.
MobDef readMob(const Json& object, const std::set<std::string>& takenIds);

// The built-ins, then every "*.mob.json" under contentDir in sorted path order, each replacing the
// built-in of its id or appended; faulty files are reported in "mob_errors.txt" and skipped.
std::vector<MobDef> loadMobs(const std::filesystem::path& contentDir);

}  // namespace content
