#include "world/generation_profile.h"

#include <stdexcept>

#include "content/dimensions.h"
#include "content/json.h"
#include "content/loading_frame.h"
#include "world/block_registry.h"

namespace voxel {

namespace {

struct BaseBiomeName {
    const char* name;
    uint32_t index;
};

const BaseBiomeName baseBiomeNames[] = {
    {"plains", plainsBiome}, {"forest", forestBiome}, {"desert", desertBiome},
    {"mountains", mountainsBiome}, {"ocean", oceanBiome}, {"swamp", swampBiome},
};

constexpr std::size_t maxPlantRules = 6;

using content::Json;

const Json& member(const Json& object, const char* key) {
    return Json::find(object, key);
}

std::string textOr(const Json& object, const char* key, const std::string& fallback) {
    return content::jsonStringOr(member(object, key), fallback);
}

// A biome names only real blocks; air is for structures, which carve rooms with it.
uint8_t blockNamed(const Json& object, const char* key, const char* fallback) {
    return generationBlock(textOr(object, key, fallback), false);
}

// A climate range: absent gives 0..1; present, exactly two numbers each within 0..1.
void readClimate(const Json& biome, const char* key, float& low, float& high) {
    const Json& range = member(biome, key);
    if (range.tag == content::JsonNull) return;
    if (range.tag != content::JsonArray || range.items.size() != 2 || range.items[0].tag != content::JsonNumber ||
        range.items[1].tag != content::JsonNumber) {
        throw std::runtime_error("Climate ranges require two values");
    }
    low = content::checkRange(range.items[0], 0.0f, 0.0f, 1.0f, key);
    high = content::checkRange(range.items[1], 1.0f, 0.0f, 1.0f, key);
}

void readIdentity(const Json& biome, BiomeRule& rule) {
    rule.id = textOr(biome, "id", "");
    rule.name = textOr(biome, "name", "");
    if (rule.id.find(':') == std::string::npos || rule.name.empty()) {
        throw std::runtime_error("Biome requires id and name");
    }
}

void readClimates(const Json& biome, BiomeRule& rule) {
    readClimate(biome, "temperature", rule.temperatureMin, rule.temperatureMax);
    readClimate(biome, "humidity", rule.humidityMin, rule.humidityMax);
    if (!(rule.temperatureMax > rule.temperatureMin) || !(rule.humidityMax > rule.humidityMin)) {
        throw std::runtime_error("Invalid climate range");
    }
}

void readTrees(const Json& biome, BiomeRule& rule) {
    const Json& trees = member(biome, "trees");
    rule.treeDensity = content::checkRange(member(trees, "density"), 0.1f, 0.0f, 1.0f, "tree density");
    rule.logBlock = blockNamed(trees, "trunk", "core:oak_log");
    rule.leavesBlock = blockNamed(trees, "leaves", "core:oak_leaves");
    rule.trunkMinHeight = content::requireInt(member(trees, "min_height"), 4, 2, 8, "tree height");
    rule.trunkMaxHeight = content::requireInt(member(trees, "max_height"), 6, 2, 8, "tree height");
    if (rule.trunkMaxHeight < rule.trunkMinHeight) throw std::runtime_error("Invalid tree height range");
}

PlantRule readPlant(const Json& entry) {
    PlantRule plant;
    plant.block = blockNamed(entry, "id", "");
    plant.chance = content::checkRange(member(entry, "density"), 0.1f, 0.0f, 1.0f, "plant density");
    plant.minHeight = content::requireInt(member(entry, "min_height"), 1, 1, 4, "plant height");
    plant.maxHeight = content::requireInt(member(entry, "max_height"), 1, 1, 4, "plant height");
    if (plant.maxHeight < plant.minHeight) throw std::runtime_error("Invalid plant height range");
    return plant;
}

void readPlants(const Json& biome, BiomeRule& rule) {
    const Json& plants = member(biome, "plants");
    if (plants.tag != content::JsonArray) return;
    if (plants.items.size() > maxPlantRules) throw std::runtime_error("At most 6 plant rules are supported");
    double total = 0.0;
    for (const Json& entry : plants.items) {
        rule.plants.push_back(readPlant(entry));
        total += rule.plants.back().chance;
    }
    if (total > 1.00001) throw std::runtime_error("Combined plant density exceeds 100%");
}

bool denotes(uint32_t id, const BlockDef& def, const std::string& name) {
    if (!def.id.empty() && def.id == name) return true;
    return id < builtinBlockCount && "core:" + def.name == name;
}

// The generation object of a profile; a profile without an object text stands for an empty one.
Json generationObject(const GenerationProfile& profile) {
    Json object;
    if (!profile.generationText.empty()) object = content::parseJsonText(profile.generationText);
    if (object.tag != content::JsonObject) {
        object = Json();
        object.tag = content::JsonObject;
    }
    return object;
}

bool lacksSpawns(const Json& structure) {
    const Json& spawns = Json::find(structure, "spawns");
    return spawns.tag != content::JsonArray || spawns.items.empty();
}

Json& arrayMember(Json& object, const std::string& key) {
    Json& value = object.members[key];
    if (value.tag != content::JsonArray) {
        value = Json();
        value.tag = content::JsonArray;
    }
    return value;
}

// The entry of an array whose "id" is id, or null.
Json* entryWithId(Json& list, const std::string& id) {
    if (list.tag != content::JsonArray) return nullptr;
    for (Json& entry : list.items) {
        if (content::jsonStringOr(Json::find(entry, "id"), "") == id) return &entry;
    }
    return nullptr;
}

void addMissingEntry(Json& stored, Json& current, const std::string& key, const std::string& id) {
    Json& storedList = arrayMember(stored, key);
    if (entryWithId(storedList, id)) return;
    Json* source = entryWithId(current.members[key], id);
    if (source) storedList.items.push_back(*source);
}

// The stored entry takes the content's member, or loses its own when the content has none.
void takeMember(Json& stored, const Json& current, const std::string& key) {
    const auto found = current.members.find(key);
    if (found == current.members.end()) {
        stored.members.erase(key);
    } else {
        stored.members[key] = found->second;
    }
}

std::shared_ptr<GenerationProfile> rebuild(const Json& generation) {
    return content::readTerrain(generation);
}

}  // namespace

uint32_t baseBiome(const std::string& name) {
    for (const BaseBiomeName& entry : baseBiomeNames) {
        if (name == entry.name) return entry.index;
    }
    throw std::runtime_error("Unknown base biome");
}

uint8_t generationBlock(const std::string& name, bool airAllowed) {
    if (airAllowed && name == "core:air") return 0;
    const std::vector<BlockDef>& registry = blockRegistry();
    bool itemMatched = false;
    for (uint32_t id = 1; id < registry.size(); ++id) {
        if (!denotes(id, registry[id], name)) continue;
        if (registry[id].isBlock) return static_cast<uint8_t>(id);
        itemMatched = true;
    }
    if (itemMatched) throw std::runtime_error("World generation requires a block: " + name);
    throw std::runtime_error("Unknown world generation block: " + name);
}

BiomeRule loadBiomes(const content::Json& biome) {
    BiomeRule rule;
    readIdentity(biome, rule);
    rule.base = baseBiome(textOr(biome, "base", "plains"));
    readClimates(biome, rule);
    rule.chance = content::checkRange(member(biome, "chance"), 0.25f, 0.0f, 1.0f, "chance");
    rule.heightOffset = content::requireInt(member(biome, "height_offset"), 0, -20, 20, "height_offset");
    rule.surfaceBlock = blockNamed(biome, "surface", "core:grass");
    rule.soilBlock = blockNamed(biome, "soil", "core:dirt");
    readTrees(biome, rule);
    readPlants(biome, rule);
    return rule;
}

void checkStructureSpacing(const StructureRule& rule) {
    if (rule.city && rule.spacing < minCitySpacing) throw std::runtime_error("City spacing must be at least 96");
    if (rule.spacing < minStructureSpacing) throw std::runtime_error("Structure spacing must be at least 64");
}

std::shared_ptr<GenerationProfile> ashenDefaults(const GenerationProfile& stored, const GenerationProfile& current) {
    Json merged = generationObject(stored);
    Json source = generationObject(current);
    addMissingEntry(merged, source, "structures", "core:ash_fortress");
    addMissingEntry(merged, source, "ores", "core:ash_ore");
    Json* fortress = entryWithId(merged.members["structures"], "core:ash_fortress");
    const Json* sourceFortress = entryWithId(source.members["structures"], "core:ash_fortress");
    if (fortress && sourceFortress && lacksSpawns(*fortress) && !lacksSpawns(*sourceFortress)) {
        fortress->members["spawns"] = sourceFortress->members.at("spawns");
    }
    return rebuild(merged);
}

std::shared_ptr<GenerationProfile> readGenerationSections(const GenerationProfile& stored,
                                                          const GenerationProfile& current) {
    Json merged = generationObject(stored);
    Json source = generationObject(current);
    Json& structures = merged.members["structures"];
    if (structures.tag == content::JsonArray) {
        for (Json& entry : structures.items) {
            const std::string id = content::jsonStringOr(Json::find(entry, "id"), "");
            const Json* match = entryWithId(source.members["structures"], id);
            if (id.empty() || !match || entry.tag != content::JsonObject) continue;
            takeMember(entry, *match, "city");
            takeMember(entry, *match, "spawns");
        }
    }
    return rebuild(merged);
}

}  // namespace voxel
