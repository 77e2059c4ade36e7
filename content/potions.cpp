#include "content/potions.h"

#include <array>
#include <set>
#include <stdexcept>

#include "content/json.h"
#include "content/loading_frame.h"
#include "content/resource_ids.h"
#include "world/block_registry.h"

namespace content {
namespace {

constexpr std::size_t maxNameBytes = 112;
const std::array<std::string, 4> potionEffects = {"healing", "speed", "protection", "water_breathing"};

bool isKnownEffect(const std::string& effect) {
    for (const std::string& known : potionEffects) {
        if (effect == known) {
            return true;
        }
    }
    return false;
}

// A potion is a plain item: not placeable and without wear.
bool isPotionItem(std::uint8_t item) {
    const voxel::BlockDef& def = voxel::blockDef(item);
    return !def.isBlock && def.durability == 0;
}

void checkDefinition(const PotionDef& potion) {
    bool idValid = !potion.id.empty() && potion.id.find(':') != std::string::npos;
    bool nameValid = !potion.name.empty() && potion.name.size() <= maxNameBytes;
    if (!idValid || !nameValid || !isPotionItem(potion.item) || !isKnownEffect(potion.effect)) {
        throw std::runtime_error("Invalid potion definition");
    }
}

// Healing acts at once: its duration must be stated as exactly 0.
void readStrengthAndTicks(const Json& json, PotionDef& potion) {
    bool healing = potion.effect == "healing";
    potion.strength = readPotionNumber(Json::find(json, "strength"), 1, healing ? 100 : 75);
    potion.ticks = readPotionNumber(Json::find(json, "ticks"), healing ? 0 : 20, healing ? 0 : 72000);
}

PotionDef readPotion(const Json& json) {
    PotionDef potion;
    potion.id = jsonStringOr(Json::find(json, "id"), "");
    potion.name = jsonStringOr(Json::find(json, "name"), "");
    potion.effect = jsonStringOr(Json::find(json, "effect"), "");
    potion.item = resourceId(jsonStringOr(Json::find(json, "item"), ""));
    checkDefinition(potion);
    readStrengthAndTicks(json, potion);
    return potion;
}

}  // namespace

std::map<std::uint8_t, PotionDef> loadPotions(const std::filesystem::path& contentDir) {
    std::vector<std::filesystem::path> files = findFilesEndingWith(contentDir, ".potion.json");
    ErrorFile errors(contentDir, "potion_errors.txt", false);
    std::set<std::string> ids;
    std::map<std::uint8_t, PotionDef> potions;
    forEachContentFile(files, errors, [&](const std::filesystem::path& file) {
        PotionDef potion = readPotion(loadJsonFile(file, ContentFile::Potion));
        if (ids.count(potion.id) != 0 || potions.count(potion.item) != 0) {
            throw std::runtime_error("Duplicate potion item or ID");
        }
        ids.insert(potion.id);
        std::uint8_t item = potion.item;
        potions.emplace(item, std::move(potion));
    });
    return potions;
}

}  // namespace content
