#pragma once
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "content/json.h"

// One possible drop of a loot table.
struct LootEntry {
    std::uint32_t item = 0;
    std::int32_t min = 1;
    std::int32_t max = 1;
    double chance = 1.0;
};

namespace content {

// Loot tables by id, at most 64; a faulty file is skipped with its line in loot_errors.txt.
// Needs the block and item registry loaded.
std::map<std::string, std::vector<LootEntry>> loadLootTables(const std::filesystem::path& contentDir);

// Reads the "entries" of one table object.
std::vector<LootEntry> readLootTable(const Json& table);

}  // namespace content
