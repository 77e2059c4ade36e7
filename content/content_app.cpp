#include "app/app.h"
#include "content/descriptions.h"
#include "content/face_textures.h"
#include "content/resource_ids.h"
#include "content/worldgen.h"
#include "world/shapes.h"

namespace fs = std::filesystem;

void App::loadContentResources() {
    const fs::path contentDir = files.base / "Content";
    fs::create_directories(contentDir);
    content::loadResources(contentDir, files.saves / "content_ids.txt");
}

void App::buildBlockFlagTable() {
    world.shaped = voxel::shapedFlags();
}

void App::loadContentRules() {
    const fs::path contentDir = files.base / "Content";
    buildBlockFlagTable();
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
    // No non-player character draws from a resource's textures yet, so the table holds the
    // built-in layers of every id.
    content::buildFaceTextureTable(content::resourceTexturePaths({}));
    content::loadDescriptions(*this);
    rules.livingWorld = content::loadLivingWorld(contentDir);
}

void content::loadDescriptions(App& app) {
    app.rules.descriptions = content::readDescriptions(app.files.base / "Content");
}
