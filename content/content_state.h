#pragma once
// The rules and catalogs read from Content at start-up, as the App holds them.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "content/combat_rules.h"
#include "content/crops.h"
#include "content/descriptions.h"
#include "content/dimensions.h"
#include "content/living_world.h"
#include "content/loot_tables.h"
#include "content/potions.h"
#include "content/recipes.h"
#include "content/rule_files.h"

struct ContentState {
    std::vector<content::Recipe> recipes;         // workbench and hand recipes
    std::vector<content::Recipe> alchemyRecipes;  // the "alchemy" station's, in load order
    std::map<uint8_t, content::PotionDef> potions;
    content::FurnaceRules furnace;
    content::FoodRules food;
    std::vector<content::CropRule> crops;
    std::map<std::string, std::vector<LootEntry>> lootTables;
    content::RpgRules rpg;
    // The default dimension's biomes and structures; shared with the generation tasks.
    std::map<std::string, content::DimensionDef> dimensions;
    content::CombatRules combat;
    content::LivingWorldRules livingWorld;
    content::DescriptionTable descriptions;
};
