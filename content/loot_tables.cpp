#include "content/loot_tables.h"

#include <stdexcept>

#include "content/json.h"
#include "content/loading_frame.h"
#include "content/resource_ids.h"

namespace content {
namespace {

constexpr std::size_t maxTables = 64;
constexpr std::size_t maxEntries = 64;

LootEntry readLootEntry(const Json& json) {
    LootEntry entry;
    entry.item = lootItemId(jsonStringOr(Json::find(json, "id"), ""));
    entry.min = requireInt(Json::find(json, "min"), 1, 1, 64, "loot min");
    entry.max = requireInt(Json::find(json, "max"), 1, 1, 64, "loot max");
    entry.chance = Json::numberOr(Json::find(json, "chance"), 1.0);
    if (!(entry.chance >= 0.0 && entry.chance <= 1.0)) {
        throw std::runtime_error("loot chance outside range");
    }
    if (entry.min > entry.max) {
        throw std::runtime_error("Invalid loot amount range");
    }
    return entry;
}

std::string readTableId(const Json& json, const std::map<std::string, std::vector<LootEntry>>& tables) {
    std::string id = jsonStringOr(Json::find(json, "id"), "");
    if (id.empty() || id.find(':') == std::string::npos || tables.count(id) != 0 ||
        tables.size() >= maxTables) {
        throw std::runtime_error("Invalid or duplicate loot ID / too many tables");
    }
    return id;
}

}  // namespace

std::vector<LootEntry> readLootTable(const Json& table) {
    const Json& list = Json::find(table, "entries");
    if (list.tag != JsonArray || list.items.empty() || list.items.size() > maxEntries) {
        throw std::runtime_error("Loot needs 1..64 entries");
    }
    std::vector<LootEntry> entries;
    entries.reserve(list.items.size());
    for (const Json& element : list.items) {
        entries.push_back(readLootEntry(element));
    }
    return entries;
}

std::map<std::string, std::vector<LootEntry>> loadLootTables(const std::filesystem::path& contentDir) {
    std::vector<std::filesystem::path> files = findFilesEndingWith(contentDir, ".loot.json");
    ErrorFile errors(contentDir, "loot_errors.txt", false);
    std::map<std::string, std::vector<LootEntry>> tables;
    forEachContentFile(files, errors, [&](const std::filesystem::path& file) {
        Json json = loadJsonFile(file, ContentFile::Loot);
        std::string id = readTableId(json, tables);
        tables.emplace(std::move(id), readLootTable(json));
    });
    return tables;
}

}  // namespace content
