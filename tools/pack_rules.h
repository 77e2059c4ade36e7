#pragma once
// The rule files of the content pack: recipes, potions, crops, loot tables, dimensions, biomes,
// structures, the furnace and food rules and the living world.
#include <string>
#include <vector>

#include "tools/pack_json.h"

namespace packgen {

struct RuleFile {
    std::string path;  // relative to Content
    Value json;
};

std::vector<RuleFile> ruleFiles();

}  // namespace packgen
