#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace content {

struct LivingFaction {
    std::string id;
    std::string name;
    std::int32_t relation = 0;
};

struct LivingTerritory {
    std::string structure;
    std::string kind;
    std::string name;
    std::int32_t productionTicks = 1200;
    std::int32_t amount = 1;
};

struct LivingWorldRules {
    bool enabled = true;
    std::int32_t raidTicks = 12000;
    std::int32_t warningTicks = 200;
    std::int32_t caravanTicks = 6000;
    std::int32_t marketTicks = 1200;
    std::int32_t stockCapacity = 64;
    std::int32_t securityDiscount = 10;
    std::vector<LivingFaction> factions;
    std::vector<LivingTerritory> territories;
};

// Reads living_world.json; without it the living world is switched off. Has no error file:
// any fault of the file propagates and ends start-up.
LivingWorldRules loadLivingWorld(const std::filesystem::path& contentDir);

}  // namespace content
