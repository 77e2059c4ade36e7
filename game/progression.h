#pragma once
// The player's progression record: melee damage adds the second skill value, the first raises the
// health maximum; each skill's level follows from its experience.
#include <array>
#include <cstdint>

struct Progression {
    uint32_t level = 1;
    uint32_t experience = 0;
    std::array<uint32_t, 4> skills{};           // levels
    std::array<uint32_t, 4> skillExperience{};  // the levels follow from these
};

namespace adventure {

inline constexpr uint32_t kSkillCount = 4;
// The rule files name no level curve: every level costs the same.
inline constexpr uint32_t kExperiencePerSkillLevel = 400;

uint32_t skillLevel(uint32_t experience);
// Experience gained towards the next level, 0..kExperiencePerSkillLevel - 1.
uint32_t skillLevelProgress(uint32_t experience);
// Adds to skill 0..3 (saturating) and updates its level. A skill outside 0..3 or an amount below 1
// changes nothing and answers false.
bool addSkillExperience(Progression& progression, int32_t skill, int32_t amount);
// 20, and 2 more per level of the first skill.
int32_t maxHealth(const Progression& progression);

}  // namespace adventure
