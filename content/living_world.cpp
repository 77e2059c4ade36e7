#include "content/living_world.h"

#include <algorithm>
#include <stdexcept>

#include "content/adventure_text.h"
#include "content/json.h"
#include "content/loading_frame.h"

namespace content {
namespace {

constexpr std::size_t maxNameBytes = 112;
constexpr std::size_t maxFactions = 8;
constexpr std::size_t maxTerritories = 32;

struct LivingSetting {
    const char* key;
    std::int32_t LivingWorldRules::*field;
    std::int32_t min;
    std::int32_t max;
};

const LivingSetting livingSettings[] = {
    {"raid_ticks", &LivingWorldRules::raidTicks, 1200, 480000},
    {"warning_ticks", &LivingWorldRules::warningTicks, 100, 1200},
    {"caravan_ticks", &LivingWorldRules::caravanTicks, 400, 480000},
    {"market_ticks", &LivingWorldRules::marketTicks, 200, 48000},
    {"stock_capacity", &LivingWorldRules::stockCapacity, 1, 4096},
    {"security_discount", &LivingWorldRules::securityDiscount, 0, 50},
};

const std::vector<Json>& elementsOf(const Json& json, const std::string& key) {
    static const std::vector<Json> none;
    const Json& list = Json::find(json, key);
    return list.tag == JsonArray ? list.items : none;
}

LivingFaction readFaction(const Json& json, const std::vector<LivingFaction>& factions) {
    LivingFaction faction;
    faction.id = jsonStringOr(Json::find(json, "id"), "");
    faction.name = adventure::readText(json, "name", "", maxNameBytes);
    faction.relation = adventure::readValue(json, "relation", 0, -100, 100);
    bool taken = std::any_of(factions.begin(), factions.end(),
                             [&](const LivingFaction& known) { return known.id == faction.id; });
    if (!isValidContentId(faction.id) || taken || factions.size() >= maxFactions) {
        throw std::runtime_error("Invalid living faction");
    }
    return faction;
}

LivingTerritory readTerritory(const Json& json, const std::vector<LivingTerritory>& territories) {
    LivingTerritory territory;
    territory.structure = jsonStringOr(Json::find(json, "structure"), "");
    territory.kind = jsonStringOr(Json::find(json, "kind"), "");
    territory.name = adventure::readText(json, "name", "", maxNameBytes);
    territory.productionTicks = adventure::readValue(json, "production_ticks", 1200, 20, 48000);
    territory.amount = adventure::readValue(json, "amount", 1, 1, 64);
    bool taken = std::any_of(territories.begin(), territories.end(), [&](const LivingTerritory& known) {
        return known.structure == territory.structure;
    });
    bool knownKind = territory.kind == "mine" || territory.kind == "outpost";
    if (!isValidContentId(territory.structure) || taken || territories.size() >= maxTerritories ||
        !knownKind) {
        throw std::runtime_error("Invalid living territory");
    }
    return territory;
}

LivingWorldRules readLivingWorld(const Json& json) {
    LivingWorldRules rules;
    rules.enabled = getBool(Json::find(json, "enabled"), true);
    for (const LivingSetting& setting : livingSettings) {
        rules.*setting.field =
            adventure::readValue(json, setting.key, rules.*setting.field, setting.min, setting.max);
    }
    for (const Json& element : elementsOf(json, "factions")) {
        rules.factions.push_back(readFaction(element, rules.factions));
    }
    for (const Json& element : elementsOf(json, "territories")) {
        rules.territories.push_back(readTerritory(element, rules.territories));
    }
    return rules;
}

}  // namespace

LivingWorldRules loadLivingWorld(const std::filesystem::path& contentDir) {
    std::filesystem::path file = contentDir / "living_world.json";
    if (!std::filesystem::exists(file)) {
        LivingWorldRules off;
        off.enabled = false;
        return off;
    }
    requireFileSizeNamed(file, fileSizeLimit(ContentFile::LivingWorld));
    return readLivingWorld(loadJsonFile(file, ContentFile::LivingWorld));
}

}  // namespace content
