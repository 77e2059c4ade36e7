#include "adventure/npc_rig.h"
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
    rules.mobs = content::loadMobs(contentDir);
    stream.defaultProfile = content::loadWorldgen(contentDir);
    rules.lootTables = content::loadLootTables(contentDir);
    rules.rpg = content::loadRpgRules(contentDir);
    rules.dimensions = content::loadDimensions(contentDir);
    rules.combat = content::loadCombatRules(contentDir);
    loadAdventureContent();
    prepareMobModels();
    content::loadDescriptions(*this);
    rules.livingWorld = content::loadLivingWorld(contentDir);
}

void App::loadAdventureContent() {
    std::set<std::string> mobIds;
    for (const content::MobDef& mob : rules.mobs) mobIds.insert(mob.id);
    std::set<std::string> structureIds;
    if (stream.defaultProfile) {
        for (const voxel::StructureRule& rule : stream.defaultProfile->structures) {
            if (!rule.spawns.empty()) structureIds.insert(rule.id);
        }
    }
    adventure::Catalog catalog = adventure::loadContent(files.base / "Content", mobIds, structureIds);
    std::vector<std::string> textures;
    for (const adventure::Npc& npc : catalog.npcs) {
        if (npc.modelResource.empty()) continue;
        const std::vector<std::string>& paths = voxel::blockDef(content::adventureResourceId(npc.modelResource)).textures;
        textures.insert(textures.end(), paths.begin(), paths.end());
    }
    adventureState.catalog = std::move(catalog);
    content::buildFaceTextureTable(std::move(textures));
    // The block atlas gets a tile for each, so that 300000 + index draws the named texture.
    atlases.npcTextures = content::faceTextureTable().paths;
}

void App::prepareMobModels() {
    const fs::path contentDir = files.base / "Content";
    for (content::MobDef& mob : rules.mobs) adventure::prepareMobModel(mob, contentDir);
}

void content::loadDescriptions(App& app) {
    app.rules.descriptions = content::readDescriptions(app.files.base / "Content");
}

uint8_t App::arrowResourceId() const { return customResourceId("core:arrow"); }

uint8_t App::customResourceId(const std::string& contentId) const { return voxel::findCustomBlock(contentId); }
