#include "content/recipes.h"

#include <gtest/gtest.h>

#include <tuple>

#include "loader_fixture.h"

namespace {

using loadertest::LoaderTest;
using RecipesTest = LoaderTest;

std::string recipeJson(const std::string& id, const std::string& extra = "") {
    return R"({"id": ")" + id + R"(", "result": "test:stick", "count": 4,
              "ingredients": [{"id": "core:oak_log", "count": 1}])" +
           extra + "}";
}

TEST_F(RecipesTest, ReadsRecipeFilesInSortedPathOrder) {
    write("b/planks.recipe.json", recipeJson("test:b"));
    write("a/recipe.json", recipeJson("test:a", R"(, "station": "alchemy")"));
    write("a/.recipe.json", recipeJson("test:hidden"));
    write("a/x.recipe.json.bak", recipeJson("test:backup"));
    std::vector<content::Recipe> recipes = content::loadRecipes(content());
    ASSERT_EQ(recipes.size(), 2u);
    EXPECT_EQ(std::tie(recipes[0].id, recipes[0].station), std::tuple("test:a", "alchemy"));
    EXPECT_EQ(std::tie(recipes[1].id, recipes[1].station, recipes[1].result, recipes[1].count),
              std::tuple("test:b", "workbench", loadertest::stick, 4));
    ASSERT_EQ(recipes[1].ingredients.size(), 1u);
    EXPECT_EQ(recipes[1].ingredients[0].resource, 7) << "built-ins resolve by core: and their name";
    EXPECT_EQ(errors("recipe_errors.txt"), "");
}

TEST_F(RecipesTest, EachFaultSkipsOnlyItsFileWithOneLine) {
    const char* const badCount = "count must be an integer 1..64";
    const FileCase cases[] = {
        {"a01.recipe.json", recipeJson("test:r1", R"(, "station": "Workbench")"), "Unknown crafting station"},
        {"a02.recipe.json", recipeJson("nocolon"), "Recipe id must use namespace:name"},
        {"a03.recipe.json",
         R"({"result": "test:stick", "count": 1, "ingredients": [{"id": "test:stick", "count": 1}]})",
         "Recipe id must use namespace:name"},
        {"a04.recipe.json", R"({"id": "test:r4", "result": "core:bedrock", "count": 1})", "Bedrock cannot be crafted"},
        {"a05.recipe.json", R"({"id": "test:r5", "result": "test:nothing", "count": 1})",
         "Unknown or unavailable resource: test:nothing"},
        {"a06.recipe.json", R"({"id": "test:r6", "result": "test:stick", "count": 2.5})", badCount},
        {"a07.recipe.json", R"({"id": "test:r7", "result": "test:stick", "count": 65})", badCount},
        {"a08.recipe.json", R"({"id": "test:r8", "result": "test:stick"})", badCount},
        {"a09.recipe.json", R"({"id": "test:r9", "result": "test:stick", "count": 1, "ingredients": []})",
         "ingredients must contain 1..6 entries"},
        {"a10.recipe.json",
         R"({"id": "test:r10", "result": "test:stick", "count": 1, "ingredients": [{"id": "test:seeds", "count": 40},
             {"id": "test:seeds", "count": 30}]})",
         "Combined ingredient count exceeds 64"},
        {"a11.recipe.json",
         R"({"id": "test:r11", "result": "test:stick", "count": 1, "ingredients": [{"id": "test:seeds", "count": 0}]})",
         badCount},
        {"a12.recipe.json", R"({"id": "test:r12",})", "Expected JSON string"},
        // A merged ingredient may reach a full stack, not one more.
        {"a12a.recipe.json",
         R"({"id": "test:r12a", "result": "test:stick", "count": 1, "ingredients": [{"id": "test:seeds", "count": 40},
             {"id": "test:seeds", "count": 25}]})",
         "Combined ingredient count exceeds 64"},
        {"a13.recipe.json", recipeJson("test:ok"), ""},
        {"a14.recipe.json", recipeJson("test:ok"), "Duplicate recipe id"},
    };
    const std::string expected = writeCases(cases);
    std::vector<content::Recipe> recipes = content::loadRecipes(content());
    ASSERT_EQ(recipes.size(), 1u);
    EXPECT_EQ(recipes[0].id, "test:ok");
    EXPECT_EQ(errors("recipe_errors.txt"), expected);
}

TEST_F(RecipesTest, IngredientsMergeAndTheirNumberIsBounded) {
    write("merge.recipe.json",
          R"({"id": "test:merge", "station": 5, "result": "test:stick", "count": 64, "ingredients": [
              {"id": "test:seeds", "count": 20}, {"id": "core:stone", "count": 1}, {"id": "test:seeds", "count": 30}]})");
    write("six.recipe.json",
          R"({"id": "test:six", "result": "test:stick", "count": 1, "ingredients": [
              {"id": "test:seeds", "count": 40}, {"id": "test:seeds", "count": 24}, {"id": "test:stick", "count": 1},
              {"id": "test:flask", "count": 1}, {"id": "test:tonic", "count": 1}, {"id": "test:blade", "count": 1}]})");
    write("seven.recipe.json",
          R"({"id": "test:seven", "result": "test:stick", "count": 1, "ingredients": [
              {"id": "test:seeds", "count": 1}, {"id": "test:seeds", "count": 1}, {"id": "test:seeds", "count": 1},
              {"id": "test:seeds", "count": 1}, {"id": "test:seeds", "count": 1}, {"id": "test:seeds", "count": 1},
              {"id": "test:seeds", "count": 1}]})");
    std::vector<content::Recipe> recipes = content::loadRecipes(content());
    ASSERT_EQ(recipes.size(), 2u);
    ASSERT_EQ(recipes[1].ingredients.size(), 5u) << "six entries, two of them merged";
    EXPECT_EQ(recipes[1].ingredients[0].count, 64);
    EXPECT_EQ(recipes[0].station, "workbench") << "a station that is no string is the workbench";
    ASSERT_EQ(recipes[0].ingredients.size(), 2u);
    EXPECT_EQ(std::tie(recipes[0].ingredients[0].resource, recipes[0].ingredients[0].count,
                       recipes[0].ingredients[1].resource),
              std::tuple(loadertest::seeds, 50, 3));
    EXPECT_EQ(errors("recipe_errors.txt"),
              lineFor("seven.recipe.json", "ingredients must contain 1..6 entries"));
}

TEST_F(RecipesTest, RefusedFileDoesNotReserveItsId) {
    write("a.recipe.json", R"({"id": "test:same", "result": "test:stick", "count": 0})");
    write("b.recipe.json", recipeJson("test:same"));
    std::vector<content::Recipe> recipes = content::loadRecipes(content());
    ASSERT_EQ(recipes.size(), 1u);
    EXPECT_EQ(recipes[0].id, "test:same");
}

TEST_F(RecipesTest, MissingContentDirectoryGivesNoRecipes) {
    std::filesystem::remove_all(content());
    EXPECT_TRUE(content::loadRecipes(content()).empty());
}

TEST(SplitAlchemyRecipes, MovesAlchemyRecipesKeepingLoadOrder) {
    std::vector<content::Recipe> recipes(5);
    const char* stations[] = {"alchemy", "workbench", "alchemy", "workbench", "alchemy"};
    for (int i = 0; i < 5; ++i) {
        recipes[i].id = "test:r" + std::to_string(i);
        recipes[i].station = stations[i];
    }
    content::RecipeLists lists = content::splitAlchemyRecipes(recipes);
    ASSERT_EQ(lists.crafting.size(), 2u);
    ASSERT_EQ(lists.alchemy.size(), 3u);
    EXPECT_EQ(std::tie(lists.crafting[0].id, lists.crafting[1].id), std::tuple("test:r1", "test:r3"));
    EXPECT_EQ(std::tie(lists.alchemy[0].id, lists.alchemy[1].id, lists.alchemy[2].id),
              std::tuple("test:r0", "test:r2", "test:r4"));
}

}  // namespace
