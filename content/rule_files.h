#pragma once
#include <cstdint>
#include <filesystem>
#include <map>
#include <vector>

namespace content {

// Experience rewards.
struct RpgRules {
    std::int32_t hostileXp = 25;
    std::int32_t passiveXp = 5;
    std::int32_t regionXp = 12;
    std::int32_t biomeXp = 25;

    bool operator==(const RpgRules&) const = default;
};

struct SmeltingRecipe {
    std::uint8_t input = 0;
    std::uint8_t result = 0;
    std::int32_t ticks = 0;
};

struct FurnaceRules {
    std::vector<SmeltingRecipe> recipes;
    std::map<std::uint8_t, std::int32_t> fuels;  // resource -> burn ticks
};

// Resource -> nutrition 1..20.
using FoodRules = std::map<std::uint8_t, std::int32_t>;

// These three never fail on their rule file's content: faults go to their error files as bare
// message lines. RPG rules are all-or-nothing; furnace and food rules keep every good entry.
RpgRules loadRpgRules(const std::filesystem::path& contentDir);
FurnaceRules loadFurnaceRules(const std::filesystem::path& contentDir);
FoodRules loadFoodRules(const std::filesystem::path& contentDir);

}  // namespace content
