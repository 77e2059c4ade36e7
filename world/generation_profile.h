#pragma once
// What a dimension generates: terrain kind, sky-island shape, extra ores, custom biomes and
// structure rules. A profile is built once, then shared read-only between the main thread and the
// generation tasks; a different profile replaces it whole.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace content {
struct Json;
}

namespace voxel {

// Built-in biome indices; custom biome k of a profile has index firstCustomBiome + k.
inline constexpr int32_t plainsBiome = 0;
inline constexpr int32_t forestBiome = 1;
inline constexpr int32_t desertBiome = 2;
inline constexpr int32_t mountainsBiome = 3;
inline constexpr int32_t firstCustomBiome = 4;
inline constexpr int32_t oceanBiome = 32;
inline constexpr int32_t swampBiome = 33;

inline constexpr std::size_t maxCustomBiomes = 28;
inline constexpr std::size_t maxStructureRules = 64;
// Structure origins sit 32 blocks inside their cell on each side, city centres 48.
inline constexpr uint32_t minStructureSpacing = 64;
inline constexpr uint32_t minCitySpacing = 96;

struct OreRule {
    uint8_t block = 0;
    uint8_t replace = 3;
    int32_t minY = 1;
    int32_t maxY = 70;
    float density = 0.01f;
    uint32_t seedSalt = 131;
};

struct PlantRule {
    uint8_t block = 0;
    float chance = 0.1f;
    int32_t minHeight = 1;
    int32_t maxHeight = 1;
};

struct BiomeRule {
    std::string id;
    std::string name;
    uint32_t base = plainsBiome;
    float temperatureMin = 0.0f;
    float temperatureMax = 1.0f;
    float humidityMin = 0.0f;
    float humidityMax = 1.0f;
    float chance = 0.25f;
    int32_t heightOffset = 0;
    uint8_t surfaceBlock = 1;
    uint8_t soilBlock = 2;
    uint8_t logBlock = 7;
    uint8_t leavesBlock = 8;
    float treeDensity = 0.1f;
    int32_t trunkMinHeight = 4;
    int32_t trunkMaxHeight = 6;
    std::vector<PlantRule> plants;
};

// One box of a structure, offsets from its origin, exclusive at the "to" end.
struct StructureCuboid {
    int32_t fromX = 0, fromY = 0, fromZ = 0;
    int32_t toX = 0, toY = 0, toZ = 0;
    uint8_t block = 0;
};

struct LootChest {
    int32_t x = 0, y = 0, z = 0;
    uint32_t block = 0;
    std::string lootTable;
};

// A trap cell of a structure, offsets from its origin.
struct StructureTrap {
    int32_t x = 0, y = 0, z = 0;
    std::string kind;
};

// A resident of a structure; generation only asks whether a rule has any.
struct StructureSpawn {
    std::string mob;
    int32_t x = 0, y = 0, z = 0;
    int32_t count = 1;
};

struct StructureRule {
    int32_t entranceX = 0;
    int32_t entranceZ = 0;
    bool dungeon = false;
    std::vector<StructureTrap> traps;
    bool city = false;
    std::string id;
    std::string name;
    uint32_t spacing = 256;
    float chance = 0.0f;
    std::vector<std::string> biomes;  // biome id strings; empty = any biome
    std::vector<StructureCuboid> parts;
    std::vector<LootChest> loot_chests;
    std::vector<StructureSpawn> spawns;
};

struct GenerationProfile {
    int32_t islandSpacing = 128;
    int32_t islandRadius = 36;
    int32_t islandMinY = 64;
    int32_t islandMaxY = 92;
    std::vector<OreRule> ores;
    std::string terrain = "normal";  // "normal", "ashen", "frozen" or "sky"
    std::vector<BiomeRule> biomes;
    std::vector<StructureRule> structures;
    std::string generationText;  // the generation object as stored in generation.json
};

using ProfilePtr = std::shared_ptr<const GenerationProfile>;

// The only input of world generation besides the block registry. Stage 1 is the oldest world
// format; each later stage adds features.
struct GenerationContext {
    uint32_t seed = 0;
    int32_t stage = 4;
    ProfilePtr profile;  // may be empty
};

// Where a structure or city stands in one grid cell of its rule.
struct SiteRecord {
    int32_t gx = 0;
    int32_t gz = 0;
    int32_t x = 0;
    int32_t y = 0;
    int32_t z = 0;
    bool present = false;
};

// "plains" 0, "forest" 1, "desert" 2, "mountains" 3, "ocean" 32, "swamp" 33; else
// "Unknown base biome".
uint32_t baseBiome(const std::string& name);

// The block a name denotes for generation: "core:air" (when allowed), a content id, or "core:" +
// a built-in name. "World generation requires a block: " + name for an item,
// "Unknown world generation block: " + name when nothing matches.
uint8_t generationBlock(const std::string& name, bool airAllowed);

// Reads one custom biome object; throws std::runtime_error with the reader's messages.
BiomeRule loadBiomes(const content::Json& biome);

// Refuses a spacing that the placement offsets cannot fit in (structures below 64, cities below
// 96): "Structure spacing must be at least 64" / "City spacing must be at least 96". Every reader
// of structure rules calls it before the rule reaches a profile.
void checkStructureSpacing(const StructureRule& rule);

// Refresh a world's stored profile from the current content: both rebuild the profile from the
// merged generation texts, keeping the stored world's own sections.
std::shared_ptr<GenerationProfile> ashenDefaults(const GenerationProfile& stored, const GenerationProfile& current);
std::shared_ptr<GenerationProfile> readGenerationSections(const GenerationProfile& stored,
                                                          const GenerationProfile& current);

}  // namespace voxel
