#include "game/progression.h"

#include <limits>

namespace adventure {

uint32_t skillLevel(uint32_t experience) { return experience / kExperiencePerSkillLevel; }

uint32_t skillLevelProgress(uint32_t experience) { return experience % kExperiencePerSkillLevel; }

bool addSkillExperience(Progression& progression, int32_t skill, int32_t amount) {
    if (skill < 0 || skill >= static_cast<int32_t>(kSkillCount) || amount < 1) return false;
    uint32_t& experience = progression.skillExperience[static_cast<std::size_t>(skill)];
    const uint32_t room = std::numeric_limits<uint32_t>::max() - experience;
    experience += static_cast<uint32_t>(amount) < room ? static_cast<uint32_t>(amount) : room;
    progression.skills[static_cast<std::size_t>(skill)] = skillLevel(experience);
    return true;
}

int32_t maxHealth(const Progression& progression) {
    // Capped so that the health bits of the interface and the arithmetic stay in range.
    const uint32_t level = progression.skills[0] < 1000u ? progression.skills[0] : 1000u;
    return 20 + 2 * static_cast<int32_t>(level);
}

}  // namespace adventure
