#include "content/rule_files.h"

#include <algorithm>
#include <functional>
#include <stdexcept>

#include "content/json.h"
#include "content/loading_frame.h"
#include "content/resource_ids.h"
#include "content/text.h"
#include "content/whole_number.h"

namespace content {
namespace {

constexpr std::uint8_t bedrockId = 6;

struct RpgReward {
    const char* key;
    std::int32_t RpgRules::*field;
};

const RpgReward rpgRewards[] = {
    {"hostile_xp", &RpgRules::hostileXp},
    {"passive_xp", &RpgRules::passiveXp},
    {"region_xp", &RpgRules::regionXp},
    {"biome_xp", &RpgRules::biomeXp},
};

RpgRules readRpgFile(const std::filesystem::path& file) {
    requireFileSizeNamed(file, fileSizeLimit(ContentFile::RpgRules));
    Json json = loadJsonFile(file, ContentFile::RpgRules);
    RpgRules rules;
    for (const RpgReward& reward : rpgRewards) {
        double value = Json::numberOr(Json::find(json, reward.key), rules.*reward.field);
        if (!isWholeNumberIn(value, 0.0, 10000.0)) {
            throw std::runtime_error("RPG reward must be an integer in 0..10000");
        }
        rules.*reward.field = truncateToInt32(value);
    }
    return rules;
}

std::uint8_t readResource(const Json& json, const std::string& key) {
    return resourceId(jsonStringOr(Json::find(json, key), ""));
}

std::int32_t readFurnaceTicks(const Json& json) {
    double ticks = Json::numberOr(Json::find(json, "ticks"), -1.0);
    if (!isWholeNumberIn(ticks, 1.0, 72000.0)) {
        throw std::runtime_error("ticks must be an integer 1..72000");
    }
    return truncateToInt32(ticks);
}

void addSmeltingRecipe(const Json& json, FurnaceRules& rules) {
    SmeltingRecipe recipe;
    recipe.input = readResource(json, "input");
    recipe.result = readResource(json, "result");
    bool inputTaken = std::any_of(rules.recipes.begin(), rules.recipes.end(),
                                  [&](const SmeltingRecipe& known) { return known.input == recipe.input; });
    if (recipe.result == bedrockId || inputTaken) {
        throw std::runtime_error("Invalid or duplicate smelting recipe");
    }
    recipe.ticks = readFurnaceTicks(json);
    rules.recipes.push_back(recipe);
}

void addFuel(const Json& json, FurnaceRules& rules) {
    std::uint8_t fuel = readResource(json, "id");
    if (rules.fuels.count(fuel) != 0) {
        throw std::runtime_error("Duplicate fuel");
    }
    rules.fuels[fuel] = readFurnaceTicks(json);
}

void addFood(const Json& json, FoodRules& foods) {
    std::uint8_t food = readResource(json, "id");
    double nutrition = Json::numberOr(Json::find(json, "nutrition"), -1.0);
    if (!isWholeNumberIn(nutrition, 1.0, 20.0) || foods.count(food) != 0) {
        throw std::runtime_error("Invalid or duplicate food (nutrition must be 1..20)");
    }
    foods[food] = truncateToInt32(nutrition);
}

// Each element of the array member key in its own failure scope: a bad entry costs only itself.
void forEachEntry(const Json& json, const std::string& key, ErrorFile& errors,
                  const std::function<void(const Json& entry)>& read) {
    const Json& list = Json::find(json, key);
    if (list.tag != JsonArray) {
        return;
    }
    for (const Json& entry : list.items) {
        try {
            read(entry);
        } catch (const std::exception& failure) {
            errors.writeLine(failure.what());
        }
    }
}

}  // namespace

RpgRules loadRpgRules(const std::filesystem::path& contentDir) {
    ErrorFile errors(contentDir, "rpg_errors.txt", false);
    std::filesystem::path file = contentDir / "rpg_rules.json";
    if (!std::filesystem::exists(file)) {
        return RpgRules{};
    }
    try {
        return readRpgFile(file);
    } catch (const std::exception& failure) {
        // All or nothing: one bad reward brings back every default.
        errors.writeLine(failure.what());
        return RpgRules{};
    }
}

FurnaceRules loadFurnaceRules(const std::filesystem::path& contentDir) {
    ErrorFile errors(contentDir, "furnace_errors.txt", false);
    FurnaceRules rules;
    try {
        const std::filesystem::path file = contentDir / "furnace_rules.json";
        requireFileSizeNamed(file, fileSizeLimit(ContentFile::FurnaceRules));
        Json json = loadJsonFile(file, ContentFile::FurnaceRules);
        forEachEntry(json, "recipes", errors, [&](const Json& entry) { addSmeltingRecipe(entry, rules); });
        forEachEntry(json, "fuels", errors, [&](const Json& entry) { addFuel(entry, rules); });
    } catch (const std::exception& failure) {
        errors.writeLine(failure.what());
    }
    return rules;
}

FoodRules loadFoodRules(const std::filesystem::path& contentDir) {
    ErrorFile errors(contentDir, "food_errors.txt", false);
    FoodRules foods;
    try {
        const std::filesystem::path file = contentDir / "food_rules.json";
        requireFileSizeNamed(file, fileSizeLimit(ContentFile::FoodRules));
        Json json = loadJsonFile(file, ContentFile::FoodRules);
        forEachEntry(json, "foods", errors, [&](const Json& entry) { addFood(entry, foods); });
    } catch (const std::exception& failure) {
        errors.writeLine(failure.what());
    }
    return foods;
}

}  // namespace content
