#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace content {

struct RecipeIngredient {
    std::uint8_t resource = 0;
    std::int32_t count = 0;
};

struct Recipe {
    std::string id;
    std::string station;
    std::uint8_t result = 0;
    std::int32_t count = 0;
    std::vector<RecipeIngredient> ingredients;
};

// Every recipe file under the content directory, in sorted path order; a faulty file is
// skipped with its line in recipe_errors.txt. Needs the block and item registry loaded.
std::vector<Recipe> loadRecipes(const std::filesystem::path& contentDir);

struct RecipeLists {
    std::vector<Recipe> crafting;
    std::vector<Recipe> alchemy;
};

// Moves the alchemy-station recipes into their own list; both lists keep load order.
RecipeLists splitAlchemyRecipes(std::vector<Recipe> recipes);

}  // namespace content
