#include "support/largest_files.h"

#include <zlib.h>

#include <charconv>
#include <map>
#include <stdexcept>

#include "content/json.h"
#include "support/temp_dir.h"

namespace largest {

namespace {

using content::ContentFile;
using content::Json;

constexpr std::size_t kNumberWidth = 20;

// Ids the readers bound are at their bound (79 bytes for a resource, 100 for a content id); texts
// they do not bound are counted as the longest names elsewhere (112 bytes) and paths as the
// system's limit (4,096 bytes). Generation names its blocks by the one shared resource id. A string
// "@name" in a template stands for the piece of that name.
const std::map<std::string, std::string> kPieces = {
    {"@vector", "[-0.12345678901234, -0.12345678901234, -0.12345678901234]"},
    {"@uv", "[-0.12345678901234, -0.12345678901234]"},
    {"@ore",
     R"({"id": "=79", "replace": "=79", "min_y": 1, "max_y": 124, "density": 0.5, "seed_salt": 1000000})"},
    {"@biome", R"({"id": "$100", "name": "$112", "base": "mountains", "temperature": [0.1, 0.9],
        "humidity": [0.1, 0.9], "chance": 0.5, "height_offset": -20, "surface": "=79", "soil": "=79",
        "trees": {"density": 0.5, "trunk": "=79", "leaves": "=79", "min_height": 2, "max_height": 8},
        "plants": ["*6", {"id": "=79", "density": 0.1, "min_height": 1, "max_height": 4}]})"},
    {"@structure", R"({"id": "$100", "name": "$112", "city": false, "dungeon": true,
        "spacing": 4096, "chance": 0.5, "entrance_x": -32, "entrance_z": -32, "biomes": ["*32", "$100"],
        "parts": ["*128", {"from": [-32, -64, -32], "to": [32, 64, 32], "block": "=79"}],
        "loot_chests": ["*16", {"x": -32, "y": -64, "z": -32, "block": "=79", "loot": "$100"}],
        "traps": ["*32", {"x": -32, "y": -64, "z": -32, "kind": "$112"}],
        "spawns": ["*16", {"mob": "$100", "x": -32, "y": -64, "z": -32, "count": 16}]})"},
    {"@generation", R"({"terrain": "frozen", "island_spacing": 192, "island_radius": 48,
        "island_min_y": 56, "island_max_y": 104, "ores": ["*16", "@ore"], "biomes": ["*28", "@biome"],
        "structures": ["*64", "@structure"]})"},
    {"@heldClip", R"({"duration": 10, "loop": true, "keyframes": ["*128",
        {"time": 0.5, "rotation": "@vector", "translation": "@vector", "scale": "@vector"}]})"},
    {"@heldView", R"({"idle": "@heldClip", "walk": "@heldClip", "attack": "@heldClip", "use": "@heldClip",
        "bow": "@heldClip"})"},
    {"@displaySlot", R"({"rotation": "@vector", "translation": "@vector", "scale": "@vector",
        "rotation_pivot": "@vector", "scale_pivot": "@vector", "mirror": [true, true, true]})"},
    // The most text a triangle can take: a mesh element of its own, one face over three vertices.
    {"@triangle", R"({"name": "$112", "type": "mesh", "uuid": "$36", "origin": "@vector",
        "rotation": "@vector", "export": true, "visibility": true,
        "vertices": {"aaaa": "@vector", "bbbb": "@vector", "cccc": "@vector"},
        "faces": {"abcdefgh": {"texture": 5, "vertices": ["aaaa", "bbbb", "cccc"],
            "uv": {"aaaa": "@uv", "bbbb": "@uv", "cccc": "@uv"}}}})"},
};

class Writer {
   public:
    File file;

    void write(const Json& value) {
        if (value.tag == content::JsonString && value.text.starts_with('@')) return write(piece(value.text));
        ++file.values;
        if (value.tag == content::JsonNumber) return number(value.number);
        if (value.tag == content::JsonString) return quoted(value.text);
        if (value.tag == content::JsonBool) return text(value.boolean ? "true" : "false");
        if (value.tag == content::JsonArray) return array(value);
        if (value.tag == content::JsonObject) return object(value);
        text("null");
    }

   private:
    uint32_t depth_ = 0;
    uint64_t texts_ = 0;
    std::map<std::string, Json> pieces_;

    const Json& piece(const std::string& name) {
        const auto found = pieces_.find(name);
        if (found != pieces_.end()) return found->second;
        return pieces_[name] = content::parseJsonText(kPieces.at(name));
    }

    void text(const std::string& bytes) { file.bytes += bytes; }
    void newLine() {
        file.bytes += '\n';
        file.bytes.append(depth_, '\t');
    }
    // Kept to its value: "0.5" becomes "0.500000000000000000".
    void number(double x) {
        char digits[32];
        std::string written(digits, std::to_chars(digits, digits + sizeof digits, x).ptr);
        if (written.find_first_of(".e") == std::string::npos) written += '.';
        if (written.find('e') == std::string::npos && written.size() < kNumberWidth)
            written.append(kNumberWidth - written.size(), '0');
        text(written);
    }
    // "$N": N bytes, a colon among them so that it also serves as an id, unlike any other.
    void quoted(const std::string& value) {
        std::string bytes = value;
        if (value.size() > 1 && value[0] == '$') {
            bytes = "t:" + std::to_string(++texts_);
            bytes.resize(std::stoul(value.substr(1)), 'x');
        } else if (value.size() > 1 && value[0] == '=') {
            bytes = sharedText(std::stoul(value.substr(1)));
        }
        text('"' + bytes + '"');
    }
    void array(const Json& value) {
        const bool repeated = value.items.size() == 2 && value.items[0].tag == content::JsonString &&
                              value.items[0].text.starts_with('*');
        const uint64_t count = repeated ? std::stoull(value.items[0].text.substr(1)) : value.items.size();
        text("[");
        ++depth_;
        for (uint64_t i = 0; i < count; ++i) {
            if (i != 0) text(",");
            newLine();
            write(repeated ? value.items[1] : value.items[i]);
        }
        --depth_;
        if (count != 0) newLine();
        text("]");
    }
    void object(const Json& value) {
        text("{");
        ++depth_;
        bool first = true;
        for (const auto& [key, member] : value.members) {
            if (!first) text(",");
            first = false;
            newLine();
            quoted(key);
            text(": ");
            write(member);
        }
        --depth_;
        if (!first) newLine();
        text("}");
    }
};

const char* const kModel = R"({"resolution": {"width": 16, "height": 16},
    "textures": ["*6", {"uuid": "$36", "width": 1024, "height": 1024}],
    "elements": ["*100000", "@triangle"], "outliner": ["*100000", "$36"],
    "display": {"firstperson_righthand": "@displaySlot", "thirdperson_righthand": "@displaySlot"},
    "held_bow_deformation": true,
    "held_animations": {"firstperson_righthand": "@heldView", "thirdperson_righthand": "@heldView"}})";

const char* const kDefinition = R"({"id": "$79", "name": "$112", "type": "block", "solid": true,
    "opaque": true, "behavior": "workbench", "dimension": "$79", "rotatable": true, "door_thickness": 0.1875,
    "door_seconds": 0.3, "light": 15, "max_stack": 64, "durability": 100000, "glide_speed": 9,
    "glide_sink": 2, "updraft_lift": 8, "attack": 100, "shield_reduction": 95, "shield_arc": 180,
    "quality": 3, "attack_bonus": 30, "defense_bonus": 10, "durability_bonus": 300, "cold_resistance": 100,
    "stamina_reduction": 50, "base_item": "$79", "tool": "pickaxe", "armor_slot": 3, "defense": 20,
    "textures": ["*6", "$4096"], "icon": "$4096", "lid_part": "$112", "latch_part": "$112",
    "lid_seconds": 5, "lid_degrees": 120, "lid_hinge_y": 16, "lid_hinge_z": 16, "fire_material": 5,
    "fire_light": 15, "model": "$4096", "wind_animation": "leaves", "wind_strength": 0.25, "wind_speed": 4,
    "particle_effect": "sparks", "particle_size": 0.3, "particle_height": 3,
    "particle_interval_ticks": 1200, "description": "$960"})";

const char* const kMob = R"({"template": "skeleton", "flying": true, "boss": true, "id": "$100",
    "name": "$112", "dimensions": ["*9", "$79"], "territory_radius": 128, "pursuit_memory_ticks": 1200,
    "boss_attacks": true, "rush_ticks": 40, "rush_windup_ticks": 100, "wave_ticks": 80,
    "wave_windup_ticks": 120, "phase_health_percent": 90, "rush_speed": 10, "wave_range": 10,
    "phase_speed_multiplier": 2, "phase_damage_multiplier": 2, "phase_cooldown_multiplier": 1,
    "windup_ticks": 100, "heavy_every": 20, "heavy_damage": 100, "heavy_windup_ticks": 200,
    "heavy_range": 6, "health": 1000, "damage": 100, "attack_ticks": 1200, "spawn_limit": 12,
    "spawn_interval_ticks": 480000, "speed": 6, "flee_speed": 6, "width": 2, "height": 3, "range": 40,
    "enabled": true, "behavior": "passive", "spawn": "always", "faction": "$100", "loot_table": "$100",
    "model_resource": "$79", "hurt_sound": "$100", "death_sound": "$100", "idle_sound": "$100",
    "attack_sound": "$100", "drops": ["*8", {"id": "$79", "count": 64}]})";

const char* const kCombatRules = R"({"heavy_cost": 100, "quick_windup_ticks": 20,
    "heavy_windup_ticks": 60, "quick_recovery_ticks": 40, "heavy_recovery_ticks": 80,
    "heavy_multiplier": 3, "maximum": 1000, "regeneration": 100, "regen_delay_ticks": 200,
    "melee_cost": 100, "bow_cost": 100, "dodge_cost": 100, "sprint_cost": 100, "block_cost": 20,
    "dodge_speed": 20, "dodge_ticks": 10, "guard_stun_ticks": 100})";

// A rule file lists each of the 255 resources at most once.
const char* const kFurnaceRules = R"({"recipes": ["*255", {"input": "$79", "result": "$79",
    "ticks": 72000}], "fuels": ["*255", {"id": "$79", "ticks": 72000}]})";

const char* const kLivingWorld = R"({"enabled": true, "raid_ticks": 480000, "warning_ticks": 1200,
    "caravan_ticks": 480000, "market_ticks": 48000, "stock_capacity": 4096, "security_discount": 50,
    "factions": ["*8", {"id": "$100", "name": "$112", "relation": -100}],
    "territories": ["*32", {"structure": "$100", "kind": "outpost", "name": "$112",
        "production_ticks": 48000, "amount": 64}]})";

std::string templateOf(ContentFile kind) {
    switch (kind) {
        case ContentFile::Definition:
            return kDefinition;
        case ContentFile::Recipe:
            return R"({"station": "workbench", "id": "$100", "result": "$79", "count": 64,
                "ingredients": ["*6", {"id": "$79", "count": 64}]})";
        case ContentFile::Potion:
            return R"({"id": "$100", "name": "$112", "effect": "water_breathing", "item": "$79",
                "strength": 75, "ticks": 72000})";
        case ContentFile::Crop:
            return R"({"id": "$100", "seed": "$79", "soil": "$79", "yield": "$79", "stages": ["*8", "$79"],
                "grow_ticks": 72000, "yield_count": 64, "seed_count": 64})";
        case ContentFile::Loot:
            return R"({"id": "$100", "entries": ["*64", {"id": "$79", "min": 64, "max": 64, "chance": 0.5}]})";
        case ContentFile::Mob:
            return kMob;
        case ContentFile::Dimension:
            return R"({"id": "$79", "name": "$112", "seed_salt": 4294967295, "time": 0.5, "day_cycle": true,
                "cold_interval_ticks": 72000, "cold_damage": 10, "generation": "@generation"})";
        case ContentFile::Biome:
        case ContentFile::Structure: {
            // The piece with the flag that keeps it out of a dimension's own generation.
            const std::string& piece = kPieces.at(kind == ContentFile::Biome ? "@biome" : "@structure");
            return piece.substr(0, piece.size() - 1) + R"(, "dimension_only": false})";
        }
        case ContentFile::Quest:
            return R"({"id": "$100", "title": "$80", "description": "$400", "previous": "$100",
                "objective": {"kind": "gather", "target": "$100", "count": 999},
                "reward": {"item": "$100", "count": 64, "experience": 100000}})";
        case ContentFile::Npc:
            return R"({"id": "$100", "name": "$48", "model": "$100", "parts": ["$64", "$64", "$64"], "height": 4,
                "animations": {"idle": "$64", "walk": "$64", "gesture": "$64"}, "quests": ["*16", "$100"],
                "trade": {"wants": "$100", "gives": "$100", "wants_count": 64, "gives_count": 64}})";
        case ContentFile::Sound:
            return R"({"id": "$100", "file": "$4096", "volume": 1})";
        case ContentFile::CombatRules:
            return kCombatRules;
        case ContentFile::RpgRules:
            return R"({"hostile_xp": 10000, "passive_xp": 10000, "region_xp": 10000, "biome_xp": 10000})";
        case ContentFile::FoodRules:
            return R"({"foods": ["*255", {"id": "$79", "nutrition": 20}]})";
        case ContentFile::FurnaceRules:
            return kFurnaceRules;
        case ContentFile::LivingWorld:
            return kLivingWorld;
        case ContentFile::Model:
            return kModel;
        default:
            throw std::logic_error("not a JSON kind");
    }
}

std::string bigEndian(uint32_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
            static_cast<char>(value)};
}

std::string littleEndian(uint32_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i));
    return out;
}

std::string pngChunk(const std::string& type, const std::string& data) {
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type.data()), 4);
    crc = crc32(crc, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));
    return bigEndian(static_cast<uint32_t>(data.size())) + type + data +
           bigEndian(static_cast<uint32_t>(crc));
}

}  // namespace

std::string sharedText(std::size_t bytes) {
    std::string text = "t:shared";
    text.resize(bytes, 'x');
    return text;
}

File expand(const std::string& jsonTemplate) {
    Writer writer;
    writer.write(content::parseJsonText(jsonTemplate));
    return std::move(writer.file);
}

File largestJson(ContentFile kind) {
    return expand(templateOf(kind));
}

std::string largestTexture() {
    // 64 x 16,384 is 1,048,576 pixels; the decoder allows no side above 16,384, and the taller the
    // picture the more row filter bytes it carries.
    const uint32_t width = 64, height = 16384;
    std::string rows;
    for (uint32_t y = 0; y < height; ++y) rows += std::string(1, '\0') + std::string(width * 8, '\x55');
    std::string stored(compressBound(rows.size()), '\0');
    uLongf size = stored.size();
    if (compress2(reinterpret_cast<Bytef*>(stored.data()), &size, reinterpret_cast<const Bytef*>(rows.data()),
                  rows.size(), Z_NO_COMPRESSION) != Z_OK)
        throw std::runtime_error("compress2");
    stored.resize(size);
    std::string png = "\x89PNG\r\n\x1a\n";
    png += pngChunk("IHDR", bigEndian(width) + bigEndian(height) + std::string("\x10\x06\0\0\0", 5));
    for (std::size_t at = 0; at < stored.size(); at += 8192) png += pngChunk("IDAT", stored.substr(at, 8192));
    return png + pngChunk("IEND", "");
}

uint64_t writeLargestWave(const std::filesystem::path& file) {
    const uint32_t dataBytes = 44100u * 600u * 4u;
    testsupport::writeFile(file, "RIFF" + littleEndian(36 + dataBytes, 4) + "WAVEfmt " + littleEndian(16, 4) +
                                     littleEndian(1, 2) + littleEndian(2, 2) + littleEndian(44100, 4) +
                                     littleEndian(44100 * 4, 4) + littleEndian(4, 2) + littleEndian(16, 2) +
                                     "data" + littleEndian(dataBytes, 4));
    std::filesystem::resize_file(file, 44 + uint64_t{dataBytes});
    return 44 + uint64_t{dataBytes};
}

}  // namespace largest
