#pragma once
// Content dimensions (`*.dimension.json`) and the one reader of a "generation" object, which turns
// it into a generation profile.
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "content/json.h"
#include "world/generation_profile.h"

namespace content {

inline constexpr std::size_t maxDimensions = 8;
inline constexpr std::size_t maxOreRules = 16;

struct DimensionDef {
    std::string id;
    std::string name;
    uint32_t seed_salt = 130;
    float time = 0.76f;  // fraction of a day, 0 <= time < 1
    bool day_cycle = false;
    int32_t cold_interval_ticks = 0;  // 0: no cold
    int32_t cold_damage = 1;
    std::shared_ptr<const voxel::GenerationProfile> profile;
};

// Reads every dimension file under contentDir in sorted path order; a faulty file is left out with
// its line in "dimension_errors.txt". core:overworld is never among the result. A contentDir that
// cannot be walked, a missing one included, raises the directory iterator's error.
std::map<std::string, DimensionDef> loadDimensions(const std::filesystem::path& contentDir);

// Reads one dimension object (the per-file step of loadDimensions) against the dimensions loaded
// so far, and inserts it; throws with the file's message.
void readDimension(const Json& object, std::map<std::string, DimensionDef>& dimensions);

// A new profile from a generation object: terrain kind, island shape, ore rules, custom biomes,
// structure rules and the object's own JSON text. Needs the block registry.
std::shared_ptr<voxel::GenerationProfile> readTerrain(const Json& generation);

}  // namespace content
