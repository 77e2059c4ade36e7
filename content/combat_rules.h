#pragma once
#include <cstdint>
#include <filesystem>

namespace content {

// Timing and stamina numbers of melee, heavy attacks, bow, dodge, sprint and blocking.
// Ticks are world ticks of 0.05 s; costs are stamina points.
struct CombatRules {
    std::int32_t heavyCost = 24;
    std::int32_t quickWindupTicks = 3;
    std::int32_t heavyWindupTicks = 10;
    std::int32_t quickRecoveryTicks = 7;
    std::int32_t heavyRecoveryTicks = 18;
    double heavyMultiplier = 1.8;
    std::int32_t maximum = 100;
    std::int32_t regenDelayTicks = 20;
    std::int32_t meleeCost = 12;
    std::int32_t bowCost = 6;
    std::int32_t dodgeCost = 25;
    std::int32_t dodgeTicks = 4;
    std::int32_t guardStunTicks = 20;
    double regeneration = 12.0;
    double sprintCost = 10.0;
    double blockCost = 3.0;
    double dodgeSpeed = 12.0;

    bool operator==(const CombatRules&) const = default;
};

// Reads the optional combat_rules.json of the content directory. Never fails on the file's
// content: any fault is written to combat_errors.txt and every default comes back.
CombatRules loadCombatRules(const std::filesystem::path& contentDir);

}  // namespace content
