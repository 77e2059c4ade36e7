#pragma once
// The player's progression record: a level from 1 to 50 bought with experience, and four skills,
// the player's professions, each levelled by its own experience up to level 20. Melee damage adds
// the second skill value, the first raises the health maximum.
#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <tuple>
#include <utility>

#include "content/rule_files.h"

// A region explored: dimension id and region coordinates (floor of block x and z by kRegionSide).
using ExploredRegion = std::tuple<std::string, int32_t, int32_t>;

struct Progression {
    uint32_t level = 1;
    // Gathered towards the next level: below its cost, except at the top level, where it still counts.
    uint32_t experience = 0;
    std::array<uint32_t, 4> skills{};           // levels
    std::array<uint32_t, 4> skillExperience{};  // the levels follow from these
    std::set<ExploredRegion> exploredRegions{};
    std::set<std::string> discoveredBiomes{};  // biome ids
};

namespace adventure {

inline constexpr uint32_t kMaxLevel = 50;
inline constexpr uint32_t kSkillCount = 4;
inline constexpr uint32_t kMaxSkillLevel = 20;
// The rule files name no skill curve: every skill level costs the same.
inline constexpr uint32_t kExperiencePerSkillLevel = 400;

// The experience that takes a player at `level` to the next one: level x 40 + 60.
uint32_t levelCost(uint32_t level);
// Adds experience (saturating) and raises the level as far as it pays for, never past kMaxLevel.
// An amount below 1 changes nothing. Answers the levels gained.
uint32_t addExperience(Progression& progression, int32_t amount);
// Every point earned: the costs of the levels reached and the experience gathered since.
uint64_t totalExperience(const Progression& progression);
// Turns experience at or over the cost of the next level into levels; the top level keeps the rest.
uint32_t settleLevel(Progression& progression);

uint32_t skillLevel(uint32_t experience);
// Experience gained towards the next skill level, 0..kExperiencePerSkillLevel - 1; a skill at its
// top level shows kExperiencePerSkillLevel, a full bar.
uint32_t skillLevelProgress(uint32_t experience);
// Adds to skill 0..3 (saturating) and updates its level. A skill outside 0..3 or an amount below 1
// changes nothing and answers false.
bool addSkillExperience(Progression& progression, int32_t skill, int32_t amount);
// Exploring pays once per region and once per biome.
inline constexpr int32_t kRegionSide = 128;  // blocks
// Beyond these counts nothing more is recorded or paid, so that the record stays bounded.
inline constexpr uint32_t kMaxExploredRegions = 65536;
inline constexpr uint32_t kMaxDiscoveredBiomes = 1024;
inline constexpr uint32_t kMaxExplorationIdLength = 256;

// The region of a block column.
std::pair<int32_t, int32_t> regionOf(int32_t x, int32_t z);
// Records the region and biome the player stands in and answers the experience they pay: the
// rewards' region_xp for a region first seen, biome_xp for a biome first seen; 0 when both are known,
// when their list is full or for an empty or over-long id.
int32_t noteExplored(Progression& progression, const ExploredRegion& region, const std::string& biome,
                     const content::RpgRules& rewards);

// 20, and 2 more per level of the first skill.
int32_t maxHealth(const Progression& progression);

}  // namespace adventure
