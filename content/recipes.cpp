#include "content/recipes.h"

#include <algorithm>
#include <set>
#include <stdexcept>

#include "content/json.h"
#include "content/loading_frame.h"
#include "content/resource_ids.h"
#include "content/text.h"

namespace content {
namespace {

constexpr std::uint8_t bedrockId = 6;
constexpr std::size_t maxIngredients = 6;
constexpr std::int32_t maxStack = 64;

// "recipe.json" itself, or a name with something in front of ".recipe.json".
bool isRecipeFileName(const std::string& name) {
    return name == "recipe.json" || (name.size() >= 13 && endsWith(name, ".recipe.json"));
}

std::string readStation(const Json& json) {
    std::string station = jsonStringOr(Json::find(json, "station"), "workbench");
    if (station != "workbench" && station != "alchemy") {
        throw std::runtime_error("Unknown crafting station");
    }
    return station;
}

std::string readRecipeId(const Json& json, const std::set<std::string>& acceptedIds) {
    std::string id = jsonStringOr(Json::find(json, "id"), "");
    if (id.empty() || id.find(':') == std::string::npos) {
        throw std::runtime_error("Recipe id must use namespace:name");
    }
    if (acceptedIds.count(id) != 0) {
        throw std::runtime_error("Duplicate recipe id");
    }
    return id;
}

std::uint8_t readResult(const Json& json) {
    std::uint8_t result = resourceId(jsonStringOr(Json::find(json, "result"), ""));
    if (result == bedrockId) {
        throw std::runtime_error("Bedrock cannot be crafted");
    }
    return result;
}

// A resource named twice counts once, with the counts added.
void addIngredient(std::vector<RecipeIngredient>& ingredients, RecipeIngredient ingredient) {
    auto same = std::find_if(ingredients.begin(), ingredients.end(), [&](const RecipeIngredient& known) {
        return known.resource == ingredient.resource;
    });
    if (same == ingredients.end()) {
        ingredients.push_back(ingredient);
        return;
    }
    if (same->count + ingredient.count > maxStack) {
        throw std::runtime_error("Combined ingredient count exceeds 64");
    }
    same->count += ingredient.count;
}

std::vector<RecipeIngredient> readIngredients(const Json& json) {
    const Json& list = Json::find(json, "ingredients");
    if (list.tag != JsonArray || list.items.empty() || list.items.size() > maxIngredients) {
        throw std::runtime_error("ingredients must contain 1..6 entries");
    }
    std::vector<RecipeIngredient> ingredients;
    for (const Json& entry : list.items) {
        RecipeIngredient ingredient;
        ingredient.resource = resourceId(jsonStringOr(Json::find(entry, "id"), ""));
        ingredient.count = requireCount(Json::find(entry, "count"));
        addIngredient(ingredients, ingredient);
    }
    return ingredients;
}

Recipe readRecipe(const Json& json, const std::set<std::string>& acceptedIds) {
    Recipe recipe;
    recipe.station = readStation(json);
    recipe.id = readRecipeId(json, acceptedIds);
    recipe.result = readResult(json);
    recipe.count = requireCount(Json::find(json, "count"));
    recipe.ingredients = readIngredients(json);
    return recipe;
}

}  // namespace

std::vector<Recipe> loadRecipes(const std::filesystem::path& contentDir) {
    // The walk comes first: a tree that cannot be walked leaves the error file untouched.
    std::vector<std::filesystem::path> files = findContentFiles(contentDir, isRecipeFileName);
    ErrorFile errors(contentDir, "recipe_errors.txt", false);
    std::set<std::string> acceptedIds;
    std::vector<Recipe> recipes;
    forEachContentFile(files, errors, [&](const std::filesystem::path& file) {
        Recipe recipe = readRecipe(loadJsonFile(file, ContentFile::Recipe), acceptedIds);
        acceptedIds.insert(recipe.id);
        recipes.push_back(std::move(recipe));
    });
    return recipes;
}

RecipeLists splitAlchemyRecipes(std::vector<Recipe> recipes) {
    RecipeLists lists;
    for (Recipe& recipe : recipes) {
        std::vector<Recipe>& target = recipe.station == "alchemy" ? lists.alchemy : lists.crafting;
        target.push_back(std::move(recipe));
    }
    return lists;
}

}  // namespace content
