#include "game/progression.h"

#include <algorithm>
#include <limits>

namespace adventure {

namespace {

uint32_t saturatingAdd(uint32_t value, uint32_t amount) {
    return value + std::min(amount, std::numeric_limits<uint32_t>::max() - value);
}

}  // namespace

uint32_t levelCost(uint32_t level) { return level * 40 + 60; }

uint64_t totalExperience(const Progression& progression) {
    uint64_t total = progression.experience;
    for (uint32_t level = 1; level < progression.level; ++level) total += levelCost(level);
    return total;
}

uint32_t settleLevel(Progression& progression) {
    uint32_t gained = 0;
    while (progression.level < kMaxLevel && progression.experience >= levelCost(progression.level)) {
        progression.experience -= levelCost(progression.level);
        ++progression.level;
        ++gained;
    }
    return gained;
}

uint32_t addExperience(Progression& progression, int32_t amount) {
    if (amount < 1) return 0;
    progression.experience = saturatingAdd(progression.experience, static_cast<uint32_t>(amount));
    return settleLevel(progression);
}

uint32_t skillLevel(uint32_t experience) { return std::min(experience / kExperiencePerSkillLevel, kMaxSkillLevel); }

uint32_t skillLevelProgress(uint32_t experience) {
    if (skillLevel(experience) == kMaxSkillLevel) return kExperiencePerSkillLevel;
    return experience % kExperiencePerSkillLevel;
}

bool addSkillExperience(Progression& progression, int32_t skill, int32_t amount) {
    if (skill < 0 || skill >= static_cast<int32_t>(kSkillCount) || amount < 1) return false;
    uint32_t& experience = progression.skillExperience[static_cast<std::size_t>(skill)];
    experience = saturatingAdd(experience, static_cast<uint32_t>(amount));
    progression.skills[static_cast<std::size_t>(skill)] = skillLevel(experience);
    return true;
}

std::pair<int32_t, int32_t> regionOf(int32_t x, int32_t z) {
    const auto floorDiv = [](int32_t v) { return v >= 0 ? v / kRegionSide : -((-(v + 1)) / kRegionSide) - 1; };
    return {floorDiv(x), floorDiv(z)};
}

int32_t noteExplored(Progression& progression, const ExploredRegion& region, const std::string& biome,
                     const content::RpgRules& rewards) {
    int32_t reward = 0;
    const std::string& dimension = std::get<0>(region);
    const bool regionFits = !dimension.empty() && dimension.size() <= kMaxExplorationIdLength &&
                            progression.exploredRegions.size() < kMaxExploredRegions;
    if (regionFits && progression.exploredRegions.insert(region).second) reward += rewards.regionXp;
    const bool biomeFits = !biome.empty() && biome.size() <= kMaxExplorationIdLength &&
                           progression.discoveredBiomes.size() < kMaxDiscoveredBiomes;
    if (biomeFits && progression.discoveredBiomes.insert(biome).second) reward += rewards.biomeXp;
    return reward;
}

int32_t maxHealth(const Progression& progression) {
    // A record filled by hand may hold more than the top level; the health bits stay in range.
    const uint32_t level = std::min(progression.skills[0], kMaxSkillLevel);
    return 20 + 2 * static_cast<int32_t>(level);
}

}  // namespace adventure
