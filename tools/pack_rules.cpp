#include "tools/pack_rules.h"

#include <tuple>
#include <utility>

namespace packgen {
namespace {

struct Amount {
    const char* id;
    int count;
};

Value ingredientList(std::initializer_list<Amount> ingredients) {
    Value list = Value::array();
    for (const Amount& a : ingredients) list.push(Value::object().set("id", a.id).set("count", a.count));
    return list;
}

RuleFile recipe(const char* station, const std::string& name, const char* result, int count,
                std::initializer_list<Amount> ingredients) {
    Value json = Value::object();
    json.set("id", "core:" + name)
        .set("station", station)
        .set("result", result)
        .set("count", count)
        .set("ingredients", ingredientList(ingredients));
    return {"recipes/" + name + ".recipe.json", std::move(json)};
}

RuleFile craft(const std::string& name, const char* result, int count,
               std::initializer_list<Amount> ingredients) {
    return recipe("workbench", name, result, count, ingredients);
}

RuleFile brew(const std::string& name, const char* result, std::initializer_list<Amount> ingredients) {
    return recipe("alchemy", name, result, 1, ingredients);
}

// What a player makes at the workbench: materials first, then the stations, building blocks,
// tools, armour, weapons, food and the three portals, each reached from the dimension before it.
void addRecipes(std::vector<RuleFile>& files) {
    const std::vector<RuleFile> list = {
        craft("oak_planks", "core:oak_planks", 4, {{"core:oak_log", 1}}),
        craft("stick", "core:stick", 4, {{"core:oak_planks", 2}}),
        craft("string", "core:string", 1, {{"core:tall_grass", 4}}),
        craft("glass_bottle", "core:glass_bottle", 3, {{"core:city_glass", 3}}),
        craft("farmland", "core:farmland", 1, {{"core:dirt", 1}}),
        craft("workbench", "core:workbench", 1, {{"core:oak_planks", 4}}),
        craft("furnace", "core:furnace", 1, {{"core:stone", 8}}),
        craft("chest", "core:chest", 1, {{"core:oak_planks", 8}}),
        craft("alchemy_table", "core:alchemy_table", 1,
              {{"core:oak_planks", 4}, {"core:glass_bottle", 1}, {"core:gold_ingot", 1}}),
        craft("torch", "core:torch", 4, {{"core:stick", 1}, {"core:coal", 1}}),
        craft("lantern", "demo:lantern", 1, {{"core:iron_ingot", 2}, {"core:torch", 1}}),
        craft("oak_door", "core:oak_door", 1, {{"core:oak_planks", 6}}),
        craft("oak_trapdoor", "core:oak_trapdoor", 2, {{"core:oak_planks", 6}}),
        craft("ladder", "core:ladder", 3, {{"core:stick", 7}}),
        craft("bed", "core:bed", 1, {{"core:oak_planks", 3}, {"core:wheat", 3}, {"core:string", 3}}),
        craft("city_paving", "core:city_paving", 4, {{"core:stone", 4}}),
        craft("wooden_pickaxe", "core:wooden_pickaxe", 1, {{"core:oak_planks", 3}, {"core:stick", 2}}),
        craft("iron_pickaxe", "core:iron_pickaxe", 1, {{"core:iron_ingot", 3}, {"core:stick", 2}}),
        craft("iron_axe", "core:iron_axe", 1, {{"core:iron_ingot", 3}, {"core:stick", 2}}),
        craft("iron_sword", "core:iron_sword", 1, {{"core:iron_ingot", 2}, {"core:stick", 1}}),
        craft("iron_hoe", "core:iron_hoe", 1, {{"core:iron_ingot", 2}, {"core:stick", 2}}),
        craft("iron_helmet", "core:iron_helmet", 1, {{"core:iron_ingot", 5}}),
        craft("iron_chestplate", "core:iron_chestplate", 1, {{"core:iron_ingot", 8}}),
        craft("iron_leggings", "core:iron_leggings", 1, {{"core:iron_ingot", 7}}),
        craft("iron_boots", "core:iron_boots", 1, {{"core:iron_ingot", 4}}),
        craft("fur_coat", "core:fur_coat", 1, {{"core:string", 8}, {"core:raw_pork", 2}}),
        craft("bow", "core:bow", 1, {{"core:stick", 3}, {"core:string", 3}}),
        craft("arrow", "core:arrow", 4, {{"core:stick", 1}, {"core:bone", 1}}),
        craft("shield", "core:shield", 1, {{"core:oak_planks", 6}, {"core:iron_ingot", 1}}),
        craft("glider", "core:glider", 1, {{"core:stick", 4}, {"core:string", 6}}),
        craft("bread", "core:bread", 1, {{"core:wheat", 3}}),
        craft("ash_portal", "core:ash_portal", 1, {{"core:diamond", 1}, {"core:coal", 4}, {"core:stone", 4}}),
        craft("frost_portal", "core:frost_portal", 1, {{"core:diamond", 1}, {"core:ash_crystal", 4}}),
        craft("sky_portal", "core:sky_portal", 1,
              {{"core:diamond", 1}, {"core:frost_ice", 4}, {"core:snow", 4}}),
        brew("healing_potion", "core:healing_potion", {{"core:glass_bottle", 1}, {"core:flower", 2}}),
        brew("speed_potion", "core:speed_potion",
             {{"core:glass_bottle", 1}, {"core:cactus", 1}, {"core:wheat_seeds", 2}}),
        brew("protection_potion", "core:protection_potion",
             {{"core:glass_bottle", 1}, {"core:ash_crystal", 1}}),
        brew("water_breathing_potion", "core:water_breathing_potion",
             {{"core:glass_bottle", 1}, {"core:tall_grass", 2}, {"core:frost_ice", 1}}),
    };
    files.insert(files.end(), list.begin(), list.end());
}

RuleFile potion(const std::string& name, const char* display, const char* effect, int strength, int ticks) {
    Value json = Value::object();
    json.set("id", "core:" + name)
        .set("name", display)
        .set("effect", effect)
        .set("item", "core:" + name)
        .set("strength", strength)
        .set("ticks", ticks);
    return {"potions/" + name + ".potion.json", std::move(json)};
}

void addPotions(std::vector<RuleFile>& files) {
    files.push_back(potion("healing_potion", "ЗЕЛЬЕ ЛЕЧЕНИЯ", "healing", 8, 0));
    files.push_back(potion("speed_potion", "ЗЕЛЬЕ СКОРОСТИ", "speed", 30, 1800));
    files.push_back(potion("protection_potion", "ЗЕЛЬЕ ЗАЩИТЫ", "protection", 25, 1800));
    files.push_back(potion("water_breathing_potion", "ЗЕЛЬЕ ПОДВОДНОГО ДЫХАНИЯ", "water_breathing", 1, 3600));
}

void addCrops(std::vector<RuleFile>& files) {
    Value stages = Value::array();
    for (int i = 0; i < 4; ++i) stages.push("core:wheat_stage_" + std::to_string(i));
    Value json = Value::object();
    json.set("id", "core:wheat")
        .set("seed", "core:wheat_seeds")
        .set("soil", "core:farmland")
        .set("yield", "core:wheat")
        .set("stages", std::move(stages))
        .set("grow_ticks", 1800)
        .set("yield_count", 1)
        .set("seed_count", 2);
    files.push_back({"crops/wheat.crop.json", std::move(json)});
}

struct Drop {
    const char* id;
    int min;
    int max;
    double chance;
};

RuleFile loot(const std::string& name, std::initializer_list<Drop> drops) {
    Value entries = Value::array();
    for (const Drop& d : drops) {
        entries.push(
            Value::object().set("id", d.id).set("min", d.min).set("max", d.max).set("chance", d.chance));
    }
    Value json = Value::object();
    json.set("id", "core:" + name).set("entries", std::move(entries));
    return {"loot/" + name + ".loot.json", std::move(json)};
}

void addLoot(std::vector<RuleFile>& files) {
    files.push_back(loot("ruins", {{"core:coal", 2, 6, 0.8},
                                   {"core:iron_ingot", 1, 3, 0.6},
                                   {"core:bread", 1, 2, 0.5},
                                   {"core:wheat_seeds", 2, 5, 0.5},
                                   {"core:string", 1, 4, 0.4},
                                   {"core:gold_ingot", 1, 2, 0.3},
                                   {"core:arrow", 4, 12, 0.3},
                                   {"core:diamond", 1, 1, 0.08}}));
    files.push_back(loot("iron_mine", {{"core:iron_ore", 2, 6, 0.9},
                                       {"core:coal", 3, 8, 0.8},
                                       {"core:torch", 2, 6, 0.6},
                                       {"core:iron_ingot", 1, 4, 0.5},
                                       {"core:iron_pickaxe", 1, 1, 0.1}}));
    files.push_back(loot("road_outpost", {{"core:bread", 1, 3, 0.7},
                                          {"core:apple", 1, 4, 0.6},
                                          {"core:arrow", 4, 16, 0.5},
                                          {"core:cooked_pork", 1, 2, 0.4},
                                          {"core:bow", 1, 1, 0.1}}));
    files.push_back(loot("ash_fortress", {{"core:ash_crystal", 1, 4, 0.8},
                                          {"core:gold_ingot", 2, 6, 0.6},
                                          {"core:healing_potion", 1, 2, 0.5},
                                          {"core:shield", 1, 1, 0.15},
                                          {"core:diamond", 1, 2, 0.2}}));
}

Value cuboid(std::initializer_list<double> from, std::initializer_list<double> to, const char* block) {
    return Value::object()
        .set("from", Value::numbers(from))
        .set("to", Value::numbers(to))
        .set("block", block);
}

Value lootChest(int x, int y, int z, const std::string& table) {
    return Value::object().set("x", x).set("y", y).set("z", z).set("block", "core:chest").set("loot", table);
}

Value spawn(const char* mob, int x, int y, int z, int count) {
    return Value::object().set("mob", mob).set("x", x).set("y", y).set("z", z).set("count", count);
}

Value structure(const std::string& id, const char* name, int spacing, double chance) {
    Value json = Value::object();
    json.set("id", id).set("name", name).set("spacing", spacing).set("chance", chance);
    return json;
}

// A timbered shaft head over a pit into the rock; offsets are from the ground cell of the site.
Value ironMine() {
    Value parts = Value::array();
    parts.push(cuboid({-3, 0, -3}, {4, 1, 4}, "core:oak_planks"));
    parts.push(cuboid({-1, -12, -1}, {2, 1, 2}, "core:air"));
    parts.push(cuboid({-3, 1, -3}, {-2, 5, -2}, "core:oak_log"));
    parts.push(cuboid({3, 1, -3}, {4, 5, -2}, "core:oak_log"));
    parts.push(cuboid({-3, 1, 3}, {-2, 5, 4}, "core:oak_log"));
    parts.push(cuboid({3, 1, 3}, {4, 5, 4}, "core:oak_log"));
    parts.push(cuboid({-3, 5, -3}, {4, 6, 4}, "core:oak_planks"));
    parts.push(cuboid({-1, 1, -3}, {0, 2, -2}, "core:torch"));
    Value json = structure("core:iron_mine", "ЖЕЛЕЗНЫЙ РУДНИК", 320, 0.45);
    json.set("parts", std::move(parts))
        .set("loot_chests", Value::array({lootChest(2, 1, -2, "core:iron_mine")}))
        .set("spawns", Value::array({spawn("core:skeleton", 0, 1, 2, 2)}));
    return json;
}

// A small watchtower beside the road with a lookout platform.
Value roadOutpost() {
    Value parts = Value::array();
    parts.push(cuboid({-2, 0, -2}, {3, 1, 3}, "core:city_paving"));
    parts.push(cuboid({-2, 1, -2}, {-1, 7, -1}, "core:oak_log"));
    parts.push(cuboid({2, 1, -2}, {3, 7, -1}, "core:oak_log"));
    parts.push(cuboid({-2, 1, 2}, {-1, 7, 3}, "core:oak_log"));
    parts.push(cuboid({2, 1, 2}, {3, 7, 3}, "core:oak_log"));
    parts.push(cuboid({-3, 6, -3}, {4, 7, 4}, "core:oak_planks"));
    parts.push(cuboid({-3, 7, -3}, {4, 8, -2}, "core:oak_planks"));
    parts.push(cuboid({-3, 7, 3}, {4, 8, 4}, "core:oak_planks"));
    parts.push(cuboid({0, 7, 0}, {1, 8, 1}, "demo:lantern"));
    Value json = structure("core:road_outpost", "ДОРОЖНАЯ ЗАСТАВА", 288, 0.5);
    json.set("parts", std::move(parts))
        .set("loot_chests", Value::array({lootChest(1, 1, 1, "core:road_outpost")}))
        .set("spawns", Value::array({spawn("core:skeleton", 0, 1, -1, 1)}));
    return json;
}

// A cuboid turned over the x axis of the site: what stood at x now stands at 1 - x.
Value mirroredCuboid(int fromX, int fromY, int fromZ, int toX, int toY, int toZ, const char* block, bool mirrored) {
    if (mirrored) std::tie(fromX, toX) = std::pair(1 - toX, 1 - fromX);
    return cuboid({double(fromX), double(fromY), double(fromZ)}, {double(toX), double(toY), double(toZ)}, block);
}

// A clearing with a workbench, common enough that a new player sees one within the first minute:
// the start kit holds no workbench and every recipe needs one. A mast with a red flag and a lantern
// stands well above the tree tops, so the camp shows over the forest and across water. Nobody lives
// there, so it stands wherever the ground is above the sea.
Value workCamp(const std::string& id, const char* name, int spacing, bool mirrored) {
    Value parts = Value::array();
    const auto part = [&](int x0, int y0, int z0, int x1, int y1, int z1, const char* block) {
        parts.push(mirroredCuboid(x0, y0, z0, x1, y1, z1, block, mirrored));
    };
    part(-2, -3, -2, 3, 0, 3, "core:dirt");
    part(-2, 0, -2, 3, 1, 3, "core:oak_planks");
    part(-2, 1, -2, 3, 6, 3, "core:air");
    part(0, 1, 0, 1, 2, 1, "core:workbench");
    part(1, 1, -1, 2, 2, 0, "core:oak_log");
    part(-2, 1, 1, -1, 2, 3, "core:oak_log");
    part(-2, 1, -2, -1, 12, -1, "core:oak_log");
    part(-1, 9, -2, 1, 11, -1, "core:city_roof");
    part(-2, 12, -2, -1, 13, -1, "demo:lantern");
    Value json = structure(id, name, spacing, 1.0);
    json.set("parts", std::move(parts));
    return json;
}

Value ashFortress() {
    Value parts = Value::array();
    parts.push(cuboid({-8, 0, -8}, {9, 1, 9}, "core:basalt_bricks"));
    parts.push(cuboid({-8, 1, -8}, {9, 7, 9}, "core:basalt_bricks"));
    parts.push(cuboid({-7, 1, -7}, {8, 7, 8}, "core:air"));
    parts.push(cuboid({-1, 1, -8}, {2, 4, -7}, "core:air"));
    parts.push(cuboid({-8, 7, -8}, {-5, 11, -5}, "core:basalt_bricks"));
    parts.push(cuboid({6, 7, 6}, {9, 11, 9}, "core:basalt_bricks"));
    parts.push(cuboid({-8, 7, 6}, {-5, 11, 9}, "core:basalt_bricks"));
    parts.push(cuboid({6, 7, -8}, {9, 11, -5}, "core:basalt_bricks"));
    parts.push(cuboid({0, 1, 0}, {1, 2, 1}, "core:torch"));
    Value json = structure("core:ash_fortress", "ПЕПЕЛЬНАЯ КРЕПОСТЬ", 256, 0.6);
    json.set("parts", std::move(parts))
        .set("loot_chests", Value::array({lootChest(5, 1, 5, "core:ash_fortress")}))
        .set("spawns", Value::array({Value("core:basalt_golem"), Value("core:fortress_warden")}));
    return json;
}

// The smith keeps his stall on the plaza, beside the fountain.
Value city() {
    return structure("core:city", "ГОРОД", 384, 0.6)
        .set("city", true)
        .set("spawns", Value::array({spawn("core:smith", 6, 1, 6, 1)}));
}

struct Plant {
    const char* id;
    double density;
    int minHeight;
    int maxHeight;
};

Value biome(const std::string& id, const char* name, const char* base,
            std::initializer_list<double> temperature, std::initializer_list<double> humidity,
            double chance) {
    Value json = Value::object();
    json.set("id", id)
        .set("name", name)
        .set("base", base)
        .set("temperature", Value::numbers(temperature))
        .set("humidity", Value::numbers(humidity))
        .set("chance", chance);
    return json;
}

Value trees(double density, const char* trunk, const char* leaves) {
    return Value::object()
        .set("density", density)
        .set("trunk", trunk)
        .set("leaves", leaves)
        .set("min_height", 4)
        .set("max_height", 6);
}

Value plants(std::initializer_list<Plant> list) {
    Value out = Value::array();
    for (const Plant& p : list) {
        out.push(Value::object()
                     .set("id", p.id)
                     .set("density", p.density)
                     .set("min_height", p.minHeight)
                     .set("max_height", p.maxHeight));
    }
    return out;
}

Value flowerMeadow() {
    return biome("core:flower_meadow", "ЦВЕТОЧНЫЙ ЛУГ", "plains", {0.3, 0.7}, {0.4, 0.8}, 0.3)
        .set("trees", trees(0.02, "core:oak_log", "core:oak_leaves"))
        .set("plants", plants({{"core:tall_grass", 0.25, 1, 1}, {"core:flower", 0.08, 1, 1}}));
}

Value cactusDunes() {
    return biome("core:cactus_dunes", "КАКТУСОВЫЕ ДЮНЫ", "desert", {0.7, 1.0}, {0.0, 0.3}, 0.35)
        .set("surface", "core:sand")
        .set("soil", "core:sand")
        .set("trees", trees(0.0, "core:oak_log", "core:oak_leaves"))
        .set("plants", plants({{"core:cactus", 0.03, 1, 3}}));
}

void addWorldgen(std::vector<RuleFile>& files) {
    files.push_back({"worldgen/flower_meadow.biome.json", flowerMeadow()});
    files.push_back({"worldgen/cactus_dunes.biome.json", cactusDunes()});
    files.push_back({"worldgen/city.structure.json", city()});
    files.push_back({"worldgen/iron_mine.structure.json", ironMine()});
    files.push_back({"worldgen/road_outpost.structure.json", roadOutpost()});
    // Two grids of camps, so that one stands in view even where water or a city takes a cell.
    files.push_back({"worldgen/woodcutter_camp.structure.json",
                     workCamp("core:woodcutter_camp", "СТОЯНКА ЛЕСОРУБА", 96, false)});
    files.push_back({"worldgen/carpenter_camp.structure.json",
                     workCamp("core:carpenter_camp", "ЛАГЕРЬ ПЛОТНИКА", 64, true)});
}

Value dimension(const std::string& id, const char* name, int seedSalt, double time, bool dayCycle,
                Value generation) {
    Value json = Value::object();
    json.set("id", id)
        .set("name", name)
        .set("seed_salt", seedSalt)
        .set("time", time)
        .set("day_cycle", dayCycle);
    json.set("generation", std::move(generation));
    return json;
}

Value ashDimension() {
    Value wastes = biome("core:ash_wastes", "ПЕПЕЛЬНАЯ ПУСТОШЬ", "desert", {0.0, 1.0}, {0.0, 1.0}, 1.0)
                       .set("surface", "core:ash_soil")
                       .set("soil", "core:ash_stone")
                       .set("trees", trees(0.0, "core:oak_log", "core:oak_leaves"));
    Value ore = Value::object();
    ore.set("id", "core:ash_ore")
        .set("replace", "core:ash_stone")
        .set("min_y", 4)
        .set("max_y", 90)
        .set("density", 0.02)
        .set("seed_salt", 131);
    Value generation = Value::object();
    generation.set("terrain", "ashen")
        .set("biomes", Value::array({std::move(wastes)}))
        .set("ores", Value::array({std::move(ore)}))
        .set("structures", Value::array({ashFortress()}));
    return dimension("core:ash", "ПЕПЕЛЬНЫЕ ЗЕМЛИ", 131, 0.82, false, std::move(generation));
}

Value frostDimension() {
    Value plains = biome("core:frost_plains", "СНЕЖНАЯ РАВНИНА", "plains", {0.0, 1.0}, {0.0, 1.0}, 1.0)
                       .set("surface", "core:snow")
                       .set("soil", "core:dirt")
                       .set("trees", trees(0.04, "core:oak_log", "core:oak_leaves"));
    Value generation = Value::object();
    generation.set("terrain", "frozen").set("biomes", Value::array({std::move(plains)}));
    return dimension("core:frost", "ЛЕДЯНОЙ КРАЙ", 137, 0.3, true, std::move(generation))
        .set("cold_interval_ticks", 100)
        .set("cold_damage", 1);
}

Value skyDimension() {
    Value meadow = biome("core:sky_meadow", "НЕБЕСНЫЙ ЛУГ", "plains", {0.0, 1.0}, {0.0, 1.0}, 1.0)
                       .set("surface", "core:sky_grass")
                       .set("soil", "core:dirt")
                       .set("trees", trees(0.3, "core:oak_log", "core:oak_leaves"))
                       .set("plants", plants({{"core:tall_grass", 0.2, 1, 1}, {"core:flower", 0.05, 1, 1}}));
    Value generation = Value::object();
    generation.set("terrain", "sky").set("biomes", Value::array({std::move(meadow)}));
    return dimension("core:sky", "НЕБЕСНЫЕ ОСТРОВА", 139, 0.25, true, std::move(generation));
}

void addDimensions(std::vector<RuleFile>& files) {
    files.push_back({"dimensions/ash.dimension.json", ashDimension()});
    files.push_back({"dimensions/frost.dimension.json", frostDimension()});
    files.push_back({"dimensions/sky.dimension.json", skyDimension()});
}

Value timed(const char* key, const char* id, int ticks) {
    return Value::object().set(key, id).set("ticks", ticks);
}

Value smelt(const char* input, const char* result, int ticks) {
    return Value::object().set("input", input).set("result", result).set("ticks", ticks);
}

Value furnaceRules() {
    Value recipes = Value::array(
        {smelt("core:iron_ore", "core:iron_ingot", 200), smelt("core:gold_ore", "core:gold_ingot", 200),
         smelt("core:coal_ore", "core:coal", 100), smelt("core:diamond_ore", "core:diamond", 300),
         smelt("core:ash_ore", "core:ash_crystal", 240), smelt("core:sand", "core:city_glass", 100),
         smelt("core:oak_log", "core:coal", 160), smelt("core:raw_pork", "core:cooked_pork", 120)});
    Value fuels = Value::array({timed("id", "core:coal", 1600), timed("id", "core:oak_log", 300),
                                timed("id", "core:oak_planks", 150), timed("id", "core:stick", 50)});
    return Value::object().set("recipes", std::move(recipes)).set("fuels", std::move(fuels));
}

Value foodRules() {
    Value foods = Value::array();
    const std::pair<const char*, int> list[] = {
        {"core:apple", 4}, {"core:bread", 5}, {"core:raw_pork", 3}, {"core:cooked_pork", 8}};
    for (const auto& [id, nutrition] : list)
        foods.push(Value::object().set("id", id).set("nutrition", nutrition));
    return Value::object().set("foods", std::move(foods));
}

Value faction(const char* id, const char* name, int relation) {
    return Value::object().set("id", id).set("name", name).set("relation", relation);
}

Value territory(const char* structureId, const char* kind, const char* name, int ticks, int amount) {
    return Value::object()
        .set("structure", structureId)
        .set("kind", kind)
        .set("name", name)
        .set("production_ticks", ticks)
        .set("amount", amount);
}

Value livingWorld() {
    Value json = Value::object();
    json.set("enabled", true)
        .set("raid_ticks", 12000)
        .set("warning_ticks", 200)
        .set("caravan_ticks", 6000)
        .set("market_ticks", 1200)
        .set("stock_capacity", 64)
        .set("security_discount", 10)
        .set("factions", Value::array({faction("core:miners_guild", "ГИЛЬДИЯ ГОРНЯКОВ", 20),
                                       faction("core:road_wardens", "ДОРОЖНАЯ СТРАЖА", 40),
                                       faction("core:ash_raiders", "ПЕПЕЛЬНЫЕ НАЛЁТЧИКИ", -60)}))
        .set("territories",
             Value::array({territory("core:iron_mine", "mine", "ЖЕЛЕЗНЫЙ РУДНИК", 1200, 2),
                           territory("core:road_outpost", "outpost", "ДОРОЖНАЯ ЗАСТАВА", 2400, 1)}));
    return json;
}

}  // namespace

std::vector<RuleFile> ruleFiles() {
    std::vector<RuleFile> files;
    addRecipes(files);
    addPotions(files);
    addCrops(files);
    addLoot(files);
    addWorldgen(files);
    addDimensions(files);
    files.push_back({"furnace_rules.json", furnaceRules()});
    files.push_back({"food_rules.json", foodRules()});
    files.push_back({"living_world.json", livingWorld()});
    return files;
}

}  // namespace packgen
