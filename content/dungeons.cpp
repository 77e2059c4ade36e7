#include "content/dungeons.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "content/loading_frame.h"

namespace content {
namespace {

// Chunk generation looks 32 blocks past a chunk's sides for structure origins, so a part that
// reached further from its origin would be drawn in some chunks and cut off in others.
constexpr int32_t maxHorizontalOffset = 32;
constexpr int32_t maxVerticalOffset = 64;
constexpr int32_t maxSpacing = 4096;
constexpr uint32_t defaultStructureSpacing = 256;
constexpr uint32_t defaultCitySpacing = 384;
constexpr std::size_t maxStructureBiomes = 32;

using Triple = std::array<int32_t, 3>;

const Json& arrayMember(const Json& object, const std::string& key, std::size_t limit,
                        const std::string& message) {
    const Json& list = Json::find(object, key);
    if (list.tag != JsonNull && (list.tag != JsonArray || list.items.size() > limit)) {
        throw std::runtime_error(message);
    }
    return list;
}

bool isWholeNumber(const Json& value) {
    return value.tag == JsonNumber && std::isfinite(value.number) && std::floor(value.number) == value.number;
}

// A [x, y, z] of whole numbers, else message.
Triple readTriple(const Json& value, const std::string& message) {
    if (value.tag != JsonArray || value.items.size() != 3) throw std::runtime_error(message);
    Triple out{};
    for (std::size_t i = 0; i < 3; ++i) {
        const Json& item = value.items[i];
        if (!isWholeNumber(item) || std::fabs(item.number) > 1.0e6) throw std::runtime_error(message);
        out[i] = static_cast<int32_t>(item.number);
    }
    return out;
}

bool offsetInside(const Triple& p) {
    return std::abs(p[0]) <= maxHorizontalOffset && std::abs(p[2]) <= maxHorizontalOffset &&
           std::abs(p[1]) <= maxVerticalOffset;
}

// "x", "y" and "z" members of a chest, trap or spawn, within the structure's reach.
Triple readCell(const Json& object, const std::string& what) {
    Triple cell{};
    static const std::array<const char*, 3> keys = {"x", "y", "z"};
    for (std::size_t i = 0; i < 3; ++i) {
        const int32_t limit = i == 1 ? maxVerticalOffset : maxHorizontalOffset;
        cell[i] = requireInt(Json::find(object, keys[i]), 0, -limit, limit, what + " " + keys[i]);
    }
    return cell;
}

void readIdentity(const Json& object, voxel::StructureRule& rule) {
    rule.id = jsonStringOr(Json::find(object, "id"), "");
    rule.name = jsonStringOr(Json::find(object, "name"), "");
    if (!isValidContentId(rule.id) || rule.name.empty() || rule.name.size() > 112) {
        throw std::runtime_error("Structure requires id and name");
    }
}

void readPlacement(const Json& object, voxel::StructureRule& rule) {
    rule.city = getBool(Json::find(object, "city"), false);
    rule.dungeon = getBool(Json::find(object, "dungeon"), false);
    const int32_t fallback = static_cast<int32_t>(rule.city ? defaultCitySpacing : defaultStructureSpacing);
    rule.spacing = static_cast<uint32_t>(
        requireInt(Json::find(object, "spacing"), fallback, 0, maxSpacing, "structure spacing"));
    voxel::checkStructureSpacing(rule);
    rule.chance = checkRange(Json::find(object, "chance"), 0.5f, 0.0f, 1.0f, "structure chance");
    rule.entranceX = requireInt(Json::find(object, "entrance_x"), 0, -maxHorizontalOffset,
                                maxHorizontalOffset, "entrance x");
    rule.entranceZ = requireInt(Json::find(object, "entrance_z"), 0, -maxHorizontalOffset,
                                maxHorizontalOffset, "entrance z");
}

void readBiomeList(const Json& object, voxel::StructureRule& rule) {
    const std::string message = "Structure biomes must be biome ids";
    for (const Json& item : arrayMember(object, "biomes", maxStructureBiomes, message).items) {
        if (item.tag != JsonString || !isValidContentId(item.text)) throw std::runtime_error(message);
        rule.biomes.push_back(item.text);
    }
}

voxel::StructureCuboid readCuboid(const Json& object) {
    const Triple from = readTriple(Json::find(object, "from"), "Structure cuboid requires from and to");
    const Triple to = readTriple(Json::find(object, "to"), "Structure cuboid requires from and to");
    if (!offsetInside(from) || !offsetInside(to) || from[0] >= to[0] || from[1] >= to[1] ||
        from[2] >= to[2]) {
        throw std::runtime_error("Invalid structure cuboid");
    }
    voxel::StructureCuboid cuboid;
    cuboid.fromX = from[0];
    cuboid.fromY = from[1];
    cuboid.fromZ = from[2];
    cuboid.toX = to[0];
    cuboid.toY = to[1];
    cuboid.toZ = to[2];
    cuboid.block = namedGenerationBlock(jsonStringOr(Json::find(object, "block"), ""), true);
    return cuboid;
}

// A city's blocks come from the city builder, so a city rule may have no cuboids.
void readCuboids(const Json& object, voxel::StructureRule& rule) {
    const std::string message = "Structure requires 1..128 cuboids";
    const Json& list = arrayMember(object, "parts", maxStructureCuboids, message);
    if (list.items.empty() && !rule.city) throw std::runtime_error(message);
    for (const Json& item : list.items) rule.parts.push_back(readCuboid(item));
}

void readLootChests(const Json& object, voxel::StructureRule& rule) {
    const Json& list = arrayMember(object, "loot_chests", maxStructureLootChests,
                                   "Structure loot chests must be a list of at most 16");
    for (const Json& item : list.items) {
        voxel::LootChest chest;
        const Triple cell = readCell(item, "loot chest");
        chest.x = cell[0];
        chest.y = cell[1];
        chest.z = cell[2];
        chest.block = namedGenerationBlock(jsonStringOr(Json::find(item, "block"), "core:chest"), false);
        chest.lootTable = jsonStringOr(Json::find(item, "loot"), "");
        if (!isValidContentId(chest.lootTable)) throw std::runtime_error("Loot chest requires a loot table");
        rule.loot_chests.push_back(std::move(chest));
    }
}

void readTraps(const Json& object, voxel::StructureRule& rule) {
    for (const Json& item :
         arrayMember(object, "traps", maxStructureTraps, "Structure traps must be a list of at most 32")
             .items) {
        voxel::StructureTrap trap;
        const Triple cell = readCell(item, "trap");
        trap.x = cell[0];
        trap.y = cell[1];
        trap.z = cell[2];
        trap.kind = jsonStringOr(Json::find(item, "kind"), "");
        if (trap.kind.empty()) throw std::runtime_error("Structure trap requires a kind");
        rule.traps.push_back(std::move(trap));
    }
}

// A resident is a mob id, or an object with the mob id, its offset and a count.
voxel::StructureSpawn readSpawn(const Json& item) {
    voxel::StructureSpawn spawn;
    if (item.tag == JsonString) {
        spawn.mob = item.text;
    } else {
        spawn.mob = jsonStringOr(Json::find(item, "mob"), "");
        const Triple cell = readCell(item, "spawn");
        spawn.x = cell[0];
        spawn.y = cell[1];
        spawn.z = cell[2];
        spawn.count = requireInt(Json::find(item, "count"), 1, 1, 16, "spawn count");
    }
    if (!isValidContentId(spawn.mob)) throw std::runtime_error("Invalid structure spawn");
    return spawn;
}

void readSpawns(const Json& object, voxel::StructureRule& rule) {
    for (const Json& item :
         arrayMember(object, "spawns", maxStructureSpawns, "Structure spawns must be a list of at most 16")
             .items) {
        rule.spawns.push_back(readSpawn(item));
    }
}

}  // namespace

uint8_t namedGenerationBlock(const std::string& name, bool airAllowed) {
    if (name.empty()) throw std::runtime_error("Unknown world generation block: ");
    return voxel::generationBlock(name, airAllowed);
}

voxel::StructureRule loadDungeons(const Json& structure) {
    if (structure.tag != JsonObject) throw std::runtime_error("Structure requires id and name");
    voxel::StructureRule rule;
    readIdentity(structure, rule);
    readPlacement(structure, rule);
    readBiomeList(structure, rule);
    readCuboids(structure, rule);
    readLootChests(structure, rule);
    readTraps(structure, rule);
    readSpawns(structure, rule);
    return rule;
}

}  // namespace content
