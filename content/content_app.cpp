#include "app/app.h"
#include "content/resource_ids.h"
#include "content/worldgen.h"
#include "world/shapes.h"

namespace fs = std::filesystem;

void App::loadContentResources() {
    const fs::path contentDir = files.base / "Content";
    fs::create_directories(contentDir);
    content::loadResources(contentDir, files.saves / "content_ids.txt");
    world.shaped = voxel::shapedFlags();
}

void App::loadContentRules() {
    const fs::path contentDir = files.base / "Content";
    content::RecipeLists recipes = content::splitAlchemyRecipes(content::loadRecipes(contentDir));
    rules.recipes = std::move(recipes.crafting);
    rules.alchemyRecipes = std::move(recipes.alchemy);
    rules.potions = content::loadPotions(contentDir);
    rules.furnace = content::loadFurnaceRules(contentDir);
    rules.food = content::loadFoodRules(contentDir);
    rules.crops = content::loadCrops(contentDir);
    stream.defaultProfile = content::loadWorldgen(contentDir);
    rules.lootTables = content::loadLootTables(contentDir);
    rules.rpg = content::loadRpgRules(contentDir);
    rules.dimensions = content::loadDimensions(contentDir);
    rules.combat = content::loadCombatRules(contentDir);
    rules.livingWorld = content::loadLivingWorld(contentDir);
}
