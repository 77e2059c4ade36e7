#pragma once
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

namespace content {

struct PotionDef {
    std::string id;
    std::string name;
    std::string effect;
    std::uint8_t item = 0;
    std::int32_t strength = 0;
    std::int32_t ticks = 0;
};

// Potion definitions keyed by the numeric id of the item that is the potion; a faulty file is
// skipped with its line in potion_errors.txt. Needs the block and item registry loaded.
std::map<std::uint8_t, PotionDef> loadPotions(const std::filesystem::path& contentDir);

}  // namespace content
