#include "content/definition.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <stdexcept>
#include <vector>

#include "content/asset_path.h"
#include "content/loading_frame.h"
#include "content/text.h"
#include "models/blockbench_model.h"
#include "platform/file_read.h"
#include "platform/image.h"

namespace fs = std::filesystem;

namespace content {

namespace {

const std::vector<std::string> behaviors = {"alchemy", "workbench", "furnace",  "chest",  "shield",
                                            "bow",     "door",      "trapdoor", "ladder", "bed",
                                            "portal",  "glider",    "updraft"};
const std::vector<std::string> tools = {"pickaxe", "axe", "sword", "hoe"};
const std::vector<std::string> windAnimations = {"none", "plant", "leaves"};
const std::vector<std::string> particleEffects = {"none", "smoke", "sparks", "splash"};

// A door or trapdoor swings at most 30,000 vertices through the world's collision tests.
constexpr std::size_t maxPanelVertices = 30000;
constexpr float panelTolerance = 0.0001f;
constexpr int32_t maxDurability = 100000;  // the largest wear an inventory slot stores

bool isOneOf(const std::string& text, std::initializer_list<const char*> names) {
    return std::any_of(names.begin(), names.end(), [&](const char* name) { return text == name; });
}

bool contains(const std::vector<std::string>& names, const std::string& text) {
    return std::find(names.begin(), names.end(), text) != names.end();
}

bool isPanel(const std::string& behavior) {
    return isOneOf(behavior, {"door", "trapdoor", "ladder", "bed"});
}

bool inRange(double x, double min, double max) {
    return std::isfinite(x) && x >= min && x <= max;
}

double numberOr(const Json& json, const char* key, double fallback) {
    return Json::numberOr(Json::find(json, key), fallback);
}

std::string stringOr(const Json& json, const char* key, const std::string& fallback) {
    return jsonStringOr(Json::find(json, key), fallback);
}

void require(bool condition, const char* message) {
    if (!condition) throw std::runtime_error(message);
}

void readIdentity(voxel::BlockDef& def, const Json& json, std::set<std::string>& seenIds) {
    const std::string id = stringOr(json, "id", "");
    require(!id.empty() && id.find(':') != std::string::npos, "id must have namespace:name format");
    if (!seenIds.insert(id).second) throw std::runtime_error("Duplicate resource id: " + id);
    def.id = id;
    def.name = stringOr(json, "name", id);
    const std::string type = stringOr(json, "type", "block");
    require(type == "block" || type == "item", "type must be block or item");
    def.isBlock = type == "block";
    def.solid = def.isBlock && getBool(Json::find(json, "solid"), true);
    def.opaque = def.isBlock && getBool(Json::find(json, "opaque"), false);
    def.available = true;
}

void readBehavior(voxel::BlockDef& def, const Json& json) {
    def.behavior = stringOr(json, "behavior", "");
    def.dimension = stringOr(json, "dimension", "core:ash");
    require(def.behavior.empty() || contains(behaviors, def.behavior), "Unknown block behavior");
    const std::string& b = def.behavior;
    require(def.isBlock || !isOneOf(b, {"alchemy", "workbench", "furnace", "chest"}),
            "Functional resources must be blocks");
    require(!def.isBlock || !isOneOf(b, {"bow", "shield"}), "Bow must be an item");
    require(def.isBlock || !isPanel(b), "Doors must be blocks");
    const bool facing = isOneOf(b, {"furnace", "chest", "workbench", "door", "trapdoor", "ladder", "bed"});
    def.rotatable = getBool(Json::find(json, "rotatable"), facing);
}

void readDoorSettings(voxel::BlockDef& def, const Json& json) {
    const double thickness = numberOr(json, "door_thickness", 0.1875);
    const double seconds = numberOr(json, "door_seconds", 0.3);
    require(inRange(thickness, 0.0625, 0.375) && inRange(seconds, 0.05, 5.0), "Invalid door settings");
    def.door_thickness = static_cast<float>(thickness);
    def.door_seconds = static_cast<float>(seconds);
    if (!isPanel(def.behavior)) return;
    // A ladder is climbed through, the other panels stop movement; none hides its neighbours.
    def.solid = def.behavior != "ladder";
    def.opaque = false;
    def.rotatable = true;
}

void readLight(voxel::BlockDef& def, const Json& json) {
    const double light = numberOr(json, "light", 0.0);
    require(inRange(light, 0.0, 15.0), "light must be 0..15");
    def.light = static_cast<float>(light);
}

void readEquipmentNumbers(voxel::BlockDef& def, const Json& json) {
    def.max_stack = truncateToInt32(numberOr(json, "max_stack", 64));
    def.durability = truncateToInt32(numberOr(json, "durability", 0));
    def.glide_speed = readFlightSetting(Json::find(json, "glide_speed"), 9.0f, 4.0f, 16.0f);
    def.glide_sink = readFlightSetting(Json::find(json, "glide_sink"), 2.0f, 1.0f, 6.0f);
    def.updraft_lift = readFlightSetting(Json::find(json, "updraft_lift"), 8.0f, 2.0f, 12.0f);
    def.attack = truncateToInt32(numberOr(json, "attack", 3));
    const auto shield = [&](const char* key, int32_t fallback, int32_t min, int32_t max) {
        return readShieldSetting(Json::find(json, key), fallback, min, max);
    };
    def.shield_reduction = static_cast<uint32_t>(shield("shield_reduction", 80, 1, 95));
    def.shield_arc = static_cast<uint32_t>(shield("shield_arc", 110, 20, 180));
    def.quality = shield("quality", 0, 0, 3);
    def.attack_bonus = shield("attack_bonus", 0, 0, 30);
    def.defense_bonus = shield("defense_bonus", 0, 0, 10);
    def.durability_bonus = shield("durability_bonus", 0, 0, 300);
    def.cold_resistance = shield("cold_resistance", 0, 0, 100);
    def.stamina_reduction = shield("stamina_reduction", 0, 0, 50);
    def.base_item = stringOr(json, "base_item", "");
}

void checkQuality(const voxel::BlockDef& def) {
    const bool improved = def.quality != 0 || def.attack_bonus != 0 || def.defense_bonus != 0 ||
                          def.durability_bonus != 0 || def.stamina_reduction != 0;
    const bool equipment =
        !def.isBlock && def.max_stack == 1 && (def.durability > 0 || def.behavior == "bow");
    require(!improved || equipment, "Quality requires equipment item with stack size 1");
}

void readEquipmentAttributes(voxel::BlockDef& def, const Json& json) {
    def.tool = stringOr(json, "tool", "");
    def.armor_slot = truncateToInt32(numberOr(json, "armor_slot", -1));
    def.defense = truncateToInt32(numberOr(json, "defense", 0));
    require(def.durability >= 0 && def.durability <= maxDurability && def.attack >= 1 && def.attack <= 100 &&
                def.armor_slot >= -1 && def.armor_slot <= 3 && def.defense >= 0 && def.defense <= 20 &&
                (def.tool.empty() || contains(tools, def.tool)),
            "Invalid equipment attributes");
}

void checkEquipmentRules(const voxel::BlockDef& def) {
    const bool durable = def.durability > 0;
    const bool armour = def.armor_slot >= 0;
    require(def.behavior != "shield" || (durable && def.max_stack == 1),
            "Shield needs durability and stack size 1");
    require(!durable || (!def.isBlock && def.max_stack == 1),
            "Durable equipment must be an item with max_stack 1");
    require(!(armour || !def.tool.empty()) || durable, "Equipment needs durability");
    require(
        def.behavior != "glider" || (!def.isBlock && def.armor_slot == 1 && def.max_stack == 1 && durable),
        "Glider requires durable chest equipment");
    require(def.behavior != "updraft" || (def.isBlock && !def.solid && !def.opaque),
            "Updraft must be a passable block");
    require(def.cold_resistance <= 0 || armour, "Cold resistance requires armor");
    require(def.defense_bonus <= 0 || armour, "Defense bonus needs armor");
    require(def.durability_bonus <= 0 || durable, "Durability bonus needs durability");
}

void applyEffectiveValues(voxel::BlockDef& def) {
    def.attack += def.attack_bonus;
    def.defense = std::min(def.defense + def.defense_bonus, 20);
    def.durability = (100 + def.durability_bonus) * def.durability / 100;
    require(def.durability <= maxDurability, "Effective durability exceeds save limit");
    require(def.max_stack >= 1 && def.max_stack <= 64, "max_stack must be 1..64");
}

void readTextures(voxel::BlockDef& def, const Json& json, const fs::path& folder) {
    const Json& textures = Json::find(json, "textures");
    require(textures.tag == JsonArray && !textures.items.empty() && textures.items.size() <= 6,
            "textures must contain 1..6 PNG paths in Blockbench order");
    for (const Json& texture : textures.items) {
        const fs::path file = resolveAsset(folder, jsonStringOr(texture, ""));
        checkTextureFile(file);
        def.textures.push_back(pathToUtf8(file));
    }
    const Json& icon = Json::find(json, "icon");
    if (icon.tag != JsonString) return;
    const fs::path file = resolveAsset(folder, icon.text);
    checkTextureFile(file);
    def.icon = pathToUtf8(file);
}

void readAnimationSettings(voxel::BlockDef& def, const Json& json) {
    def.lid_part = stringOr(json, "lid_part", "lid");
    def.latch_part = stringOr(json, "latch_part", "latch");
    const double lidSeconds = numberOr(json, "lid_seconds", 0.3);
    const double lidDegrees = numberOr(json, "lid_degrees", 94.54);
    // Hinges are authored in model pixels, 16 to a block.
    const double hingeY = numberOr(json, "lid_hinge_y", 11.5) * 0.0625;
    const double hingeZ = numberOr(json, "lid_hinge_z", 0.0) * 0.0625;
    const double fireMaterial = numberOr(json, "fire_material", -1);
    const double fireLight = numberOr(json, "fire_light", 9.3);
    const double lastTexture = static_cast<double>(def.textures.size()) - 1;
    require(inRange(lidSeconds, 0.05, 5.0) && inRange(lidDegrees, 0.0, 120.0) && inRange(hingeY, 0.0, 1.0) &&
                inRange(hingeZ, 0.0, 1.0) && inRange(fireMaterial, -1.0, lastTexture) &&
                std::floor(fireMaterial) == fireMaterial && inRange(fireLight, 0.0, 15.0),
            "Invalid block animation settings");
    def.lid_seconds = static_cast<float>(lidSeconds);
    def.lid_degrees = static_cast<float>(lidDegrees);
    def.lid_hinge_y = static_cast<float>(hingeY);
    def.lid_hinge_z = static_cast<float>(hingeZ);
    def.fire_material = truncateToInt32(fireMaterial);
    def.fire_light = static_cast<float>(fireLight);
}

void readModel(voxel::BlockDef& def, const Json& json, const fs::path& folder) {
    const fs::path file = resolveAsset(folder, stringOr(json, "model", ""));
    requireFileSizeNamed(file, fileSizeLimit(ContentFile::Model));
    loadBlockbenchModel(def, loadJsonFile(file, ContentFile::Model));
}

// The box a panel may occupy: one cell wide, as high and as deep as the table of panel kinds says.
void checkPanelModel(const voxel::BlockDef& def) {
    if (!isPanel(def.behavior)) return;
    require(def.modelVertices.size() <= maxPanelVertices, "Door model exceeds 10000 triangles");
    const float t = def.door_thickness;
    const float height = def.behavior == "door"       ? 2.0f
                         : def.behavior == "trapdoor" ? t
                         : def.behavior == "ladder"   ? 1.0f
                                                      : 0.5625f;
    const float depth = def.behavior == "door" || def.behavior == "ladder" ? t
                        : def.behavior == "trapdoor"                       ? 1.0f
                                                                           : 2.0f;
    const auto within = [](float c, float max) { return c >= -panelTolerance && c <= max + panelTolerance; };
    for (const ModelVertex& v : def.modelVertices) {
        require(within(v.x, 1.0f) && within(v.y, height) && within(v.z, depth),
                "Panel model exceeds configured hitbox");
    }
}

}  // namespace

void checkTextureFile(const fs::path& file) {
    const std::string name = "Invalid texture " + pathToUtf8(file) + ": ";
    try {
        requireFileSize(file, fileSizeLimit(ContentFile::Texture));
    } catch (const std::runtime_error& failure) {
        throw std::runtime_error(name + failure.what());
    }
    const std::optional<platform::PngSize> size = platform::readPngSize(file);
    if (!size) throw std::runtime_error(name + "not a PNG image");
    if (uint64_t{size->width} * size->height > maxTexturePixels) {
        throw std::runtime_error(name + "declares " + std::to_string(size->width) + " x " +
                                 std::to_string(size->height) + " pixels, more than " +
                                 std::to_string(maxTexturePixels));
    }
    const std::optional<std::string> bytes = platform::readFileBytes(file);
    if (!bytes) throw std::runtime_error(name + "cannot be read");
    try {
        platform::decodePngBytes(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size());
    } catch (const std::runtime_error& failure) {
        throw std::runtime_error(name + failure.what());
    }
}

void readWorldEffects(voxel::BlockDef& def, const Json& json) {
    // Only blocks sway by default: an item of the same name would otherwise be refused.
    const bool plant = def.isBlock && (def.id == "core:tall_grass" || def.id == "core:flower" ||
                                       def.id.rfind("core:wheat_stage_", 0) == 0);
    const bool lantern = def.id == "demo:lantern";
    def.wind_animation = readNamedValue(json, "wind_animation", windAnimations, plant ? 1 : 0);
    def.wind_strength = static_cast<float>(readBoundedNumber(json, "wind_strength", 0.1, 0.0, 0.25));
    def.wind_speed = static_cast<float>(readBoundedNumber(json, "wind_speed", 1.0, 0.1, 4.0));
    const uint32_t particle = def.behavior == "furnace" ? 1 : lantern ? 2 : 0;
    def.particle_effect = readNamedValue(json, "particle_effect", particleEffects, particle);
    def.particle_size = static_cast<float>(readBoundedNumber(json, "particle_size", 0.08, 0.01, 0.3));
    def.particle_height = static_cast<float>(readBoundedNumber(json, "particle_height", 1.05, 0.0, 3.0));
    const double ticks = readBoundedNumber(json, "particle_interval_ticks", lantern ? 40 : 20, 4, 1200);
    require(std::floor(ticks) == ticks, "Particle ticks must be integer");
    def.particle_interval_ticks = truncateToInt32(ticks);
    require(def.isBlock || (def.wind_animation == 0 && def.particle_effect == 0),
            "World effects require block");
}

voxel::BlockDef readDefinition(const fs::path& file, const Json& json, std::set<std::string>& seenIds) {
    const fs::path folder = file.parent_path();
    voxel::BlockDef def;
    readIdentity(def, json, seenIds);
    readBehavior(def, json);
    readDoorSettings(def, json);
    readLight(def, json);
    readEquipmentNumbers(def, json);
    checkQuality(def);
    readEquipmentAttributes(def, json);
    checkEquipmentRules(def);
    applyEffectiveValues(def);
    readTextures(def, json, folder);
    readAnimationSettings(def, json);
    readWorldEffects(def, json);
    readModel(def, json, folder);
    checkPanelModel(def);
    return def;
}

}  // namespace content
