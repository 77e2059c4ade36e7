#include "content/combat_rules.h"

#include <stdexcept>
#include <system_error>

#include "content/json.h"
#include "content/loading_frame.h"
#include "content/text.h"

namespace content {
namespace {

// One key of the file: exactly one of the two member pointers is set.
struct CombatSetting {
    const char* key;
    std::int32_t CombatRules::*whole;
    double CombatRules::*real;
    double min;
    double max;
};

// In the order the keys are read, which decides the message when several are wrong.
const CombatSetting combatSettings[] = {
    {"heavy_cost", &CombatRules::heavyCost, nullptr, 1, 100},
    {"quick_windup_ticks", &CombatRules::quickWindupTicks, nullptr, 1, 20},
    {"heavy_windup_ticks", &CombatRules::heavyWindupTicks, nullptr, 2, 60},
    {"quick_recovery_ticks", &CombatRules::quickRecoveryTicks, nullptr, 2, 40},
    {"heavy_recovery_ticks", &CombatRules::heavyRecoveryTicks, nullptr, 4, 80},
    {"heavy_multiplier", nullptr, &CombatRules::heavyMultiplier, 1.1, 3.0},
    {"maximum", &CombatRules::maximum, nullptr, 20, 1000},
    {"regeneration", nullptr, &CombatRules::regeneration, 1.0, 100.0},
    {"regen_delay_ticks", &CombatRules::regenDelayTicks, nullptr, 0, 200},
    {"melee_cost", &CombatRules::meleeCost, nullptr, 1, 100},
    {"bow_cost", &CombatRules::bowCost, nullptr, 1, 100},
    {"dodge_cost", &CombatRules::dodgeCost, nullptr, 1, 100},
    {"sprint_cost", nullptr, &CombatRules::sprintCost, 1.0, 100.0},
    {"block_cost", nullptr, &CombatRules::blockCost, 1.0, 20.0},
    {"dodge_speed", nullptr, &CombatRules::dodgeSpeed, 5.0, 20.0},
    {"dodge_ticks", &CombatRules::dodgeTicks, nullptr, 2, 10},
    {"guard_stun_ticks", &CombatRules::guardStunTicks, nullptr, 1, 100},
};

void readSetting(const Json& file, const CombatSetting& setting, CombatRules& rules) {
    if (setting.whole != nullptr) {
        double value =
            readCombatSetting(file, setting.key, rules.*setting.whole, setting.min, setting.max, true);
        rules.*setting.whole = truncateToInt32(value);
    } else {
        rules.*setting.real =
            readCombatSetting(file, setting.key, rules.*setting.real, setting.min, setting.max, false);
    }
}

// The heavy attack is checked first, so a small maximum with the default heavy cost is reported
// as a heavy-attack fault.
void checkCombinations(const CombatRules& rules) {
    if (rules.heavyCost > rules.maximum || rules.heavyWindupTicks <= rules.quickWindupTicks ||
        rules.heavyRecoveryTicks <= rules.quickRecoveryTicks) {
        throw std::runtime_error("Invalid heavy attack timing/cost");
    }
    if (rules.meleeCost > rules.maximum || rules.bowCost > rules.maximum || rules.dodgeCost > rules.maximum) {
        throw std::runtime_error("Combat action cost exceeds maximum");
    }
}

CombatRules readCombatFile(const std::filesystem::path& file) {
    requireFileSizeNamed(file, fileSizeLimit(ContentFile::CombatRules));
    Json json = loadJsonFile(file, ContentFile::CombatRules);
    CombatRules rules;
    for (const CombatSetting& setting : combatSettings) {
        readSetting(json, setting, rules);
    }
    checkCombinations(rules);
    return rules;
}

}  // namespace

CombatRules loadCombatRules(const std::filesystem::path& contentDir) {
    ErrorFile errors(contentDir, "combat_errors.txt", false);
    std::filesystem::path file = contentDir / "combat_rules.json";
    std::error_code status;
    if (!std::filesystem::exists(file, status)) {
        return CombatRules{};
    }
    try {
        return readCombatFile(file);
    } catch (const std::exception& failure) {
        // All or nothing: values read before the fault are dropped with it.
        errors.writeLine(failure.what());
        return CombatRules{};
    }
}

}  // namespace content
