#include "content/dimensions.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "content/dungeons.h"
#include "content/loading_frame.h"
#include "content/text.h"
#include "content/whole_number.h"
#include "world/block_registry.h"

namespace content {
namespace {

const std::string invalidDimension = "Invalid dimension definition";

// Island shape keys: default, range, label.
struct IslandKey {
    const char* key;
    int32_t fallback;
    int32_t min;
    int32_t max;
    const char* label;
};

const IslandKey islandKeys[] = {
    {"island_spacing", 128, 96, 192, "island spacing"},
    {"island_radius", 36, 24, 48, "island radius"},
    {"island_min_y", 64, 56, 104, "island min height"},
    {"island_max_y", 92, 56, 104, "island max height"},
};

void readTerrainKind(const Json& generation, voxel::GenerationProfile& profile) {
    static const std::string kinds[] = {"normal", "ashen", "frozen", "sky"};
    profile.terrain = jsonStringOr(Json::find(generation, "terrain"), "normal");
    if (std::find(std::begin(kinds), std::end(kinds), profile.terrain) == std::end(kinds)) {
        throw std::runtime_error("Unknown dimension terrain");
    }
}

void readIslandShape(const Json& generation, voxel::GenerationProfile& profile) {
    int32_t* fields[] = {&profile.islandSpacing, &profile.islandRadius, &profile.islandMinY,
                         &profile.islandMaxY};
    for (std::size_t i = 0; i < std::size(islandKeys); ++i) {
        const IslandKey& k = islandKeys[i];
        *fields[i] = requireInt(Json::find(generation, k.key), k.fallback, k.min, k.max, k.label);
    }
    if (profile.islandMinY > profile.islandMaxY || 2 * profile.islandRadius >= profile.islandSpacing) {
        throw std::runtime_error("Invalid island dimensions");
    }
}

voxel::OreRule readOre(const Json& ore) {
    voxel::OreRule rule;
    rule.block = namedGenerationBlock(jsonStringOr(Json::find(ore, "id"), ""), false);
    rule.replace = namedGenerationBlock(jsonStringOr(Json::find(ore, "replace"), "core:stone"), false);
    if (!voxel::blockDef(rule.block).solid || !voxel::blockDef(rule.replace).solid) {
        throw std::runtime_error("Ore must replace solid rock");
    }
    rule.minY = requireInt(Json::find(ore, "min_y"), 1, 1, 124, "ore min y");
    rule.maxY = requireInt(Json::find(ore, "max_y"), 70, 1, 124, "ore max y");
    if (rule.minY > rule.maxY) throw std::runtime_error("Invalid ore height range");
    rule.density = checkRange(Json::find(ore, "density"), 0.01f, 0.0f, 1.0f, "ore density");
    rule.seedSalt =
        static_cast<uint32_t>(requireInt(Json::find(ore, "seed_salt"), 131, 0, 1000000, "ore seed salt"));
    return rule;
}

void readOres(const Json& generation, voxel::GenerationProfile& profile) {
    const Json& ores = Json::find(generation, "ores");
    if (ores.tag != JsonArray) return;
    if (ores.items.size() > maxOreRules) throw std::runtime_error("At most 16 ore rules");
    for (const Json& ore : ores.items) profile.ores.push_back(readOre(ore));
}

const Json& arrayOrEmpty(const Json& generation, const std::string& key) {
    static const Json empty = [] {
        Json list;
        list.tag = JsonArray;
        return list;
    }();
    const Json& value = Json::find(generation, key);
    return value.tag == JsonArray ? value : empty;
}

template <typename Rule>
bool hasId(const std::vector<Rule>& rules, const std::string& id) {
    return std::any_of(rules.begin(), rules.end(), [&](const Rule& rule) { return rule.id == id; });
}

void readCustomBiomes(const Json& generation, voxel::GenerationProfile& profile) {
    for (const Json& item : arrayOrEmpty(generation, "biomes").items) {
        voxel::BiomeRule biome = voxel::loadBiomes(item);
        if (hasId(profile.biomes, biome.id) || profile.biomes.size() >= voxel::maxCustomBiomes) {
            throw std::runtime_error("Duplicate biome ID or more than 28 custom biomes");
        }
        profile.biomes.push_back(std::move(biome));
    }
}

void readStructures(const Json& generation, voxel::GenerationProfile& profile) {
    for (const Json& item : arrayOrEmpty(generation, "structures").items) {
        voxel::StructureRule rule = loadDungeons(item);
        if (hasId(profile.structures, rule.id) || profile.structures.size() >= voxel::maxStructureRules) {
            throw std::runtime_error("Duplicate structure ID or more than 64 structures");
        }
        profile.structures.push_back(std::move(rule));
    }
}

std::string readDimensionId(const Json& object) {
    std::string id = jsonStringOr(Json::find(object, "id"), "");
    if (!isValidResourceId(id) || id == "core:overworld") throw std::runtime_error(invalidDimension);
    return id;
}

uint32_t readSeedSalt(const Json& object) {
    const Json& value = Json::find(object, "seed_salt");
    if (value.tag != JsonNumber) return 130;
    if (!isWholeNumberIn(value.number, 0.0, 4294967295.0)) throw std::runtime_error(invalidDimension);
    return static_cast<uint32_t>(value.number);
}

// The f32 value is tested too: a time just below 1 would otherwise round up to a whole day.
float readTime(const Json& object) {
    const Json& value = Json::find(object, "time");
    if (value.tag != JsonNumber) return 0.76f;
    const float time = static_cast<float>(value.number);
    if (!std::isfinite(value.number) || value.number < 0.0 || value.number >= 1.0 || time >= 1.0f) {
        throw std::runtime_error(invalidDimension);
    }
    return time;
}

int32_t readColdInterval(const Json& object) {
    const int32_t ticks = requireInt(Json::find(object, "cold_interval_ticks"), 0, 0, 72000, "cold interval");
    if (ticks > 0 && ticks < 20) throw std::runtime_error("Cold interval must be at least 20 ticks");
    return ticks;
}

const Json& requireGeneration(const Json& object) {
    const Json& generation = Json::find(object, "generation");
    const Json& biomes = Json::find(generation, "biomes");
    if (generation.tag != JsonObject || biomes.tag != JsonArray || biomes.items.empty()) {
        throw std::runtime_error("Dimension requires generation and at least one biome");
    }
    return generation;
}

}  // namespace

std::shared_ptr<voxel::GenerationProfile> readTerrain(const Json& generation) {
    auto profile = std::make_shared<voxel::GenerationProfile>();
    readTerrainKind(generation, *profile);
    readIslandShape(generation, *profile);
    readOres(generation, *profile);
    readCustomBiomes(generation, *profile);
    readStructures(generation, *profile);
    profile->generationText = writeJson(generation);
    return profile;
}

void readDimension(const Json& object, std::map<std::string, DimensionDef>& dimensions) {
    DimensionDef def;
    def.id = readDimensionId(object);
    def.name = jsonStringOr(Json::find(object, "name"), "");
    if (def.name.empty() || def.name.size() > 112) throw std::runtime_error(invalidDimension);
    def.seed_salt = readSeedSalt(object);
    def.time = readTime(object);
    if (dimensions.size() >= maxDimensions) throw std::runtime_error(invalidDimension);
    def.day_cycle = getBool(Json::find(object, "day_cycle"), false);
    def.cold_interval_ticks = readColdInterval(object);
    def.cold_damage = requireInt(Json::find(object, "cold_damage"), 1, 1, 10, "cold damage");
    def.profile = readTerrain(requireGeneration(object));
    if (dimensions.count(def.id) != 0) throw std::runtime_error("Duplicate dimension ID");
    std::string id = def.id;
    dimensions.emplace(std::move(id), std::move(def));
}

std::map<std::string, DimensionDef> loadDimensions(const std::filesystem::path& contentDir) {
    ErrorFile errors(contentDir, "dimension_errors.txt", false);
    // A missing Content folder is no empty one here: it ends the load as a folder that cannot be walked.
    const std::vector<std::filesystem::path> files =
        findFilesEndingWith(contentDir, ".dimension.json", MissingContent::Fails);
    std::map<std::string, DimensionDef> dimensions;
    forEachContentFile(files, errors, [&](const std::filesystem::path& file) {
        readDimension(loadJsonFile(file, ContentFile::Dimension), dimensions);
    });
    return dimensions;
}

}  // namespace content
