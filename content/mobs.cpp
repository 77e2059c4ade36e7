#include "content/mobs.h"

#include <algorithm>
#include <stdexcept>

#include "content/loading_frame.h"
#include "content/resource_ids.h"
#include "world/block_registry.h"

namespace content {
namespace {

// One numeric key: exactly one of the two fields is set.
struct MobNumber {
    const char* key;
    double min;
    double max;
    int32_t MobDef::*whole;
    double MobDef::*real;
};

// The file's reading order, which decides which fault is reported first.
const MobNumber mobNumbers[] = {
    {"territory_radius", 8, 128, nullptr, &MobDef::territoryRadius},
    {"pursuit_memory_ticks", 0, 1200, &MobDef::pursuitMemoryTicks, nullptr},
    {"rush_ticks", 4, 40, &MobDef::rushTicks, nullptr},
    {"rush_windup_ticks", 10, 100, &MobDef::rushWindupTicks, nullptr},
    {"wave_ticks", 10, 80, &MobDef::waveTicks, nullptr},
    {"wave_windup_ticks", 15, 120, &MobDef::waveWindupTicks, nullptr},
    {"phase_health_percent", 10, 90, &MobDef::phaseHealthPercent, nullptr},
    {"rush_speed", 2, 10, nullptr, &MobDef::rushSpeed},
    {"wave_range", 2, 10, nullptr, &MobDef::waveRange},
    {"phase_speed_multiplier", 1, 2, nullptr, &MobDef::phaseSpeedMultiplier},
    {"phase_damage_multiplier", 1, 2, nullptr, &MobDef::phaseDamageMultiplier},
    {"phase_cooldown_multiplier", 0.4, 1.0, nullptr, &MobDef::phaseCooldownMultiplier},
    {"windup_ticks", 4, 100, &MobDef::windupTicks, nullptr},
    {"heavy_every", 0, 20, &MobDef::heavyEvery, nullptr},
    {"heavy_damage", 1, 100, &MobDef::heavyDamage, nullptr},
    {"heavy_windup_ticks", 8, 200, &MobDef::heavyWindupTicks, nullptr},
    {"heavy_range", 1.5, 6.0, nullptr, &MobDef::heavyRange},
    {"health", 1, 1000, &MobDef::health, nullptr},
    {"damage", 1, 100, &MobDef::damage, nullptr},
    {"attack_ticks", 10, 1200, &MobDef::attackTicks, nullptr},
    {"spawn_limit", 0, 12, &MobDef::spawnLimit, nullptr},
    {"spawn_interval_ticks", 20, 480000, &MobDef::spawnIntervalTicks, nullptr},
    {"speed", 0, 6, nullptr, &MobDef::speed},
    {"flee_speed", 0, 6, nullptr, &MobDef::fleeSpeed},
    {"width", 0.3, 2.0, nullptr, &MobDef::width},
    {"height", 0.3, 3.0, nullptr, &MobDef::height},
    {"range", 2, 40, nullptr, &MobDef::range},
};

bool hasColon(const std::string& text) {
    return text.find(':') != std::string::npos;
}

MobDef startFromTemplate(const Json& object) {
    const std::string name = jsonStringOr(Json::find(object, "template"), "boar");
    if (name != "boar" && name != "skeleton") throw std::runtime_error("Invalid mob template");
    return builtinMob(name == "skeleton" ? 1 : 0);
}

void readDimensions(const Json& object, MobDef& def) {
    const Json& list = Json::find(object, "dimensions");
    if (list.tag == JsonNull) return;
    if (list.tag != JsonArray || list.items.empty() || list.items.size() > maxMobDimensions) {
        throw std::runtime_error("Mob requires 1..9 dimensions");
    }
    def.dimensions.clear();
    for (const Json& item : list.items) {
        std::string id = jsonStringOr(item, "");
        const bool repeated =
            std::find(def.dimensions.begin(), def.dimensions.end(), id) != def.dimensions.end();
        if (id.empty() || id.size() > 79 || !hasColon(id) || repeated) {
            throw std::runtime_error("Invalid mob dimension");
        }
        def.dimensions.push_back(std::move(id));
    }
}

void readNumbers(const Json& object, MobDef& def) {
    def.bossAttacks = getBool(Json::find(object, "boss_attacks"), false);
    for (const MobNumber& number : mobNumbers) {
        if (number.whole) {
            def.*number.whole = static_cast<int32_t>(
                readMobValue(object, number.key, def.*number.whole, number.min, number.max, true));
        } else {
            def.*number.real =
                readMobValue(object, number.key, def.*number.real, number.min, number.max, false);
        }
    }
}

void readBehaviour(const Json& object, MobDef& def) {
    def.enabled = getBool(Json::find(object, "enabled"), true);
    def.behavior = jsonStringOr(Json::find(object, "behavior"), def.behavior);
    def.spawn = jsonStringOr(Json::find(object, "spawn"), def.spawn);
    const bool behaviorKnown =
        def.behavior == "passive" || def.behavior == "melee" || def.behavior == "ranged";
    const bool spawnKnown = def.spawn == "day" || def.spawn == "night" || def.spawn == "always";
    if (!behaviorKnown || !spawnKnown) throw std::runtime_error("Invalid behavior or spawn time");
    def.faction = jsonStringOr(Json::find(object, "faction"), "");
    if (def.faction.size() > 100) throw std::runtime_error("Invalid mob faction");
    def.lootTable = jsonStringOr(Json::find(object, "loot_table"), "");
}

void readModelResource(const Json& object, MobDef& def) {
    def.modelResource = jsonStringOr(Json::find(object, "model_resource"), "");
    if (def.modelResource.empty()) return;
    const std::size_t vertices = voxel::blockDef(mobResourceId(def.modelResource)).modelVertices.size();
    if (vertices < 1 || vertices > maxMobModelVertices) {
        throw std::runtime_error("Mob model needs 1..10000 triangles");
    }
}

void readSounds(const Json& object, MobDef& def) {
    def.hurtSound = jsonStringOr(Json::find(object, "hurt_sound"), def.hurtSound);
    def.deathSound = jsonStringOr(Json::find(object, "death_sound"), def.deathSound);
    def.idleSound = jsonStringOr(Json::find(object, "idle_sound"), def.idleSound);
    def.attackSound = jsonStringOr(Json::find(object, "attack_sound"), def.attackSound);
}

void readDrops(const Json& object, MobDef& def) {
    def.drops.clear();
    const Json& list = Json::find(object, "drops");
    if (list.tag != JsonArray) return;
    for (const Json& item : list.items) {
        const double count = Json::numberOr(Json::find(item, "count"), 1.0);
        const bool whole =
            count >= 1 && count <= 64 && count == static_cast<double>(static_cast<int32_t>(count));
        if (!whole || def.drops.size() >= maxMobDrops) throw std::runtime_error("Invalid mob drops");
        const uint8_t id = mobResourceId(jsonStringOr(Json::find(item, "id"), ""));
        def.drops.push_back({id, static_cast<int32_t>(count)});
    }
}

}  // namespace

MobDef builtinMob(int32_t kind) {
    MobDef def;
    def.templateKind = kind;
    if (kind != 1) return def;
    def.id = "core:skeleton";
    def.name = "СКЕЛЕТ";
    def.behavior = "ranged";
    def.spawn = "night";
    def.health = 16;
    def.speed = 1.8;
    def.width = 0.8;
    def.height = 1.9;
    def.hurtSound = "mob.skeleton.hurt";
    def.deathSound = "mob.skeleton.death";
    def.idleSound = "mob.skeleton.idle";
    return def;
}

std::vector<MobDef> builtinMobs() {
    std::vector<MobDef> mobs{builtinMob(0), builtinMob(1)};
    mobs[0].drops = {{mobResourceId("core:raw_pork"), 2}};
    mobs[1].drops = {{mobResourceId("core:bone"), 2}, {mobResourceId("core:arrow"), 2}};
    return mobs;
}

MobDef readMob(const Json& object, const std::set<std::string>& takenIds) {
    MobDef def = startFromTemplate(object);
    def.flying = getBool(Json::find(object, "flying"), false);
    def.boss = getBool(Json::find(object, "boss"), false);
    def.id = jsonStringOr(Json::find(object, "id"), "");
    def.name = jsonStringOr(Json::find(object, "name"), def.id);
    readDimensions(object, def);
    if (def.id.empty() || def.id.size() > 100 || !hasColon(def.id) || takenIds.count(def.id) != 0) {
        throw std::runtime_error("Invalid or duplicate mob ID");
    }
    readNumbers(object, def);
    readBehaviour(object, def);
    readModelResource(object, def);
    readSounds(object, def);
    readDrops(object, def);
    return def;
}

std::vector<MobDef> loadMobs(const std::filesystem::path& contentDir) {
    std::vector<MobDef> mobs = builtinMobs();
    const std::vector<std::filesystem::path> files = findFilesEndingWith(contentDir, ".mob.json");
    ErrorFile errors(contentDir, "mob_errors.txt", false);
    std::set<std::string> takenIds;
    forEachContentFile(files, errors, [&](const std::filesystem::path& file) {
        MobDef def = readMob(loadJsonFile(file, ContentFile::Mob), takenIds);
        takenIds.insert(def.id);
        const auto same =
            std::find_if(mobs.begin(), mobs.end(), [&](const MobDef& m) { return m.id == def.id; });
        if (same != mobs.end()) {
            *same = std::move(def);
        } else {
            mobs.push_back(std::move(def));
        }
    });
    return mobs;
}

}  // namespace content
