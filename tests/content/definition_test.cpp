#include "content/definition.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "content/face_textures.h"
#include "definition_fixture.h"
#include "world/block_registry.h"
#include "world/shapes.h"

namespace fs = std::filesystem;

namespace {

using deftest::DefinitionTest;

struct RefusalCase {
    std::string keys;
    std::string message;  // empty: the definition loads
};

const char *const quality = "Quality requires equipment item with stack size 1",
                  *const durable = "Durable equipment must be an item with max_stack 1",
                  *const textures = "textures must contain 1..6 PNG paths in Blockbench order",
                  *const animation = "Invalid block animation settings";

// Each definition breaks exactly the rule its message names, or sits on the accepted side of it.
const RefusalCase refusalCases[] = {
    {R"("name": "no id")", "id must have namespace:name format"},
    {R"("id": "nocolon")", "id must have namespace:name format"},
    {R"("id": 5)", "id must have namespace:name format"},
    {R"("id": "t:type", "type": "thing")", "type must be block or item"},
    {R"("id": "t:oven", "behavior": "oven")", "Unknown block behavior"},
    {R"("id": "t:furnace", "type": "item", "behavior": "furnace")", "Functional resources must be blocks"},
    {R"("id": "t:bow", "behavior": "bow")", "Bow must be an item"},
    {R"("id": "t:shield", "behavior": "shield")", "Bow must be an item"},
    {R"("id": "t:door", "type": "item", "behavior": "door")", "Doors must be blocks"},
    {R"("id": "t:quality_half", "quality": 1.5)", "Invalid shield setting"},
    {R"("id": "t:quality_block", "quality": 1)", quality},
    {R"("id": "t:quality_stack", "type": "item", "max_stack": 2, "durability": 5, "quality": 1)", quality},
    {R"("id": "t:quality_bow", "type": "item", "behavior": "bow", "max_stack": 1, "quality": 3)", ""},
    {R"("id": "t:spade", "tool": "spade")", "Invalid equipment attributes"},
    {R"("id": "t:shield_item", "type": "item", "behavior": "shield", "max_stack": 1, "durability": 0)",
     "Shield needs durability and stack size 1"},
    {R"("id": "t:durable_block", "max_stack": 1, "durability": 5)", durable},
    {R"("id": "t:durable_stack", "type": "item", "max_stack": 2, "durability": 5)", durable},
    {R"("id": "t:helmet", "type": "item", "armor_slot": 0)", "Equipment needs durability"},
    {R"("id": "t:axe", "type": "item", "tool": "axe")", "Equipment needs durability"},
    {R"("id": "t:glider", "type": "item", "behavior": "glider", "max_stack": 1, "durability": 9, "armor_slot": 2)",
     "Glider requires durable chest equipment"},
    {R"("id": "t:updraft", "behavior": "updraft")", "Updraft must be a passable block"},
    {R"("id": "t:updraft_ok", "behavior": "updraft", "solid": false)", ""},
    {R"("id": "t:warm", "cold_resistance": 5)", "Cold resistance requires armor"},
    {R"("id": "t:guard", "type": "item", "max_stack": 1, "durability": 10, "defense_bonus": 2)",
     "Defense bonus needs armor"},
    {R"("id": "t:bow_bonus", "type": "item", "behavior": "bow", "max_stack": 1, "durability_bonus": 5)",
     "Durability bonus needs durability"},
    {R"("id": "t:worn", "type": "item", "max_stack": 1, "durability": 100000, "durability_bonus": 1)",
     "Effective durability exceeds save limit"},
    {R"("id": "t:seven", "textures": ["t.png", "t.png", "t.png", "t.png", "t.png", "t.png", "t.png"])", textures},
    {R"("id": "t:string", "textures": "t.png")", textures},
    {R"("id": "t:none", "textures": [])", textures},
    {R"("id": "t:six", "textures": ["t.png", "t.png", "t.png", "t.png", "t.png", "t.png"])", ""},
    {R"("id": "t:up", "textures": ["../t.png"])", "Asset path cannot contain '..'"},
    {R"("id": "t:number", "textures": [7])", "Empty asset path"},
    {R"("id": "t:fire2", "textures": ["t.png", "u.png"], "fire_material": 2)", animation},
    {R"("id": "t:fire3", "textures": ["t.png", "u.png", "v.png"], "fire_material": 2)", ""},
    {R"("id": "t:fire_half", "textures": ["t.png", "u.png"], "fire_material": 0.5)", animation},
    {R"("id": "t:storm", "wind_animation": "storm")", "Unknown wind_animation"},
    {R"("id": "t:gust_text", "wind_strength": "0.1")", "Invalid wind_strength"},
    {R"("id": "t:ticks", "particle_interval_ticks": 4.5)", "Particle ticks must be integer"},
    {R"("id": "t:smoky_item", "type": "item", "particle_effect": "smoke")", "World effects require block"},
    {R"("id": "core:flower", "type": "item")", ""},
    {R"("id": "core:tall_grass", "type": "item", "wind_animation": "plant")", "World effects require block"},
    {R"("id": "t:nomodel", "model": 3)", "Empty asset path"},
    {R"("id": "t:tall_door", "behavior": "door", "model": "tall.bbmodel")", "Panel model exceeds configured hitbox"},
    {R"("id": "t:bad_texture_index", "model": "second.bbmodel")",
     "Model references a texture absent from definition.json"},
};

// Every bounded number of a definition, read at both bounds and just beyond each (the next whole number
// for whole-number keys), in a definition where nothing else stands in its way.
std::vector<RefusalCase> boundCases() {
    const std::string equipment = R"("type": "item", "max_stack": 1, "durability": 9, )";
    const std::string armour = equipment + R"("armor_slot": 0, )";
    const char *const door = "Invalid door settings", *const flight = "Invalid flight setting",
                      *const shield = "Invalid shield setting", *const attributes = "Invalid equipment attributes";
    const struct {
        const char* key;
        double min, max;
        bool whole;
        std::string context;
        const char* message;
    } bounds[] = {
        {"door_thickness", 0.0625, 0.375, false, "", door},
        {"door_seconds", 0.05, 5.0, false, "", door},
        {"light", 0, 15, false, "", "light must be 0..15"},
        {"glide_speed", 4, 16, false, "", flight},
        {"glide_sink", 1, 6, false, "", flight},
        {"updraft_lift", 2, 12, false, "", flight},
        {"shield_reduction", 1, 95, true, "", shield},
        {"shield_arc", 20, 180, true, "", shield},
        {"quality", 0, 3, true, equipment, shield},
        {"attack_bonus", 0, 30, true, equipment, shield},
        {"defense_bonus", 0, 10, true, armour, shield},
        {"durability_bonus", 0, 300, true, equipment, shield},
        {"cold_resistance", 0, 100, true, armour, shield},
        {"stamina_reduction", 0, 50, true, equipment, shield},
        {"durability", 0, 100000, true, R"("type": "item", "max_stack": 1, )", attributes},
        {"attack", 1, 100, true, "", attributes},
        {"armor_slot", -1, 3, true, equipment, attributes},
        {"defense", 0, 20, true, "", attributes},
        {"max_stack", 1, 64, true, "", "max_stack must be 1..64"},
        {"lid_seconds", 0.05, 5.0, false, "", animation},
        {"lid_degrees", 0, 120, false, "", animation},
        {"lid_hinge_y", 0, 16, false, "", animation},
        {"lid_hinge_z", 0, 16, false, "", animation},
        {"fire_light", 0, 15, false, "", animation},
        {"wind_strength", 0, 0.25, false, "", "Out of range: wind_strength"},
        {"wind_speed", 0.1, 4.0, false, "", "Out of range: wind_speed"},
        {"particle_size", 0.01, 0.3, false, "", "Out of range: particle_size"},
        {"particle_height", 0, 3, false, "", "Out of range: particle_height"},
        {"particle_interval_ticks", 4, 1200, true, "", "Out of range: particle_interval_ticks"},
    };
    std::vector<RefusalCase> cases;
    for (const auto& b : bounds) {
        const double step = b.whole ? 1 : 0.001;
        for (const auto& [value, message] :
             {std::pair{b.min, ""}, {b.min - step, b.message}, {b.max, ""}, {b.max + step, b.message}}) {
            std::ostringstream keys;
            keys << R"("id": "t:bound)" << cases.size() << R"(", )" << b.context << '"' << b.key << R"(": )"
                 << value;
            cases.push_back({keys.str(), message});
        }
    }
    return cases;
}

// A door two and a half blocks high, and a cube drawn with the second texture.
void writeExtraModels(const fs::path& folder) {
    testsupport::writeFile(folder / "tall.bbmodel", R"({"elements": [{"from": [0, 0, 0], "to": [16, 40, 3],
        "faces": {"north": {"uv": [0, 0, 16, 16], "texture": 0}}}]})");
    testsupport::writeFile(folder / "second.bbmodel", R"({"elements": [{"from": [0, 0, 0], "to": [16, 16, 16],
        "faces": {"north": {"uv": [0, 0, 16, 16], "texture": 1}}}]})");
}

std::string folderName(std::size_t i) {
    char name[24];
    std::snprintf(name, sizeof name, "c%03zu", i);
    return name;
}

TEST_F(DefinitionTest, EachRuleRefusesItsFileWithItsMessageInPathOrder) {
    std::vector<RefusalCase> cases(std::begin(refusalCases), std::end(refusalCases));
    for (RefusalCase& bound : boundCases()) cases.push_back(std::move(bound));
    std::string expected;
    std::size_t loaded = 0;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        define(folderName(i), cases[i].keys);
        writeExtraModels(content() / folderName(i));
        if (cases[i].message.empty()) {
            ++loaded;
        } else {
            expected += lineFor(folderName(i), cases[i].message);
        }
    }
    load();
    EXPECT_EQ(errorFile(), expected);
    EXPECT_EQ(stderrText, expected);
    EXPECT_EQ(voxel::blockCount(), voxel::builtinBlockCount + loaded);
}

TEST_F(DefinitionTest, AnIdSeenInAnEarlierFaultyFileIsADuplicate) {
    define("a", R"("id": "t:twice", "light": 99)");
    define("b", R"("id": "t:twice")");
    load();
    EXPECT_EQ(errorFile(),
              lineFor("a", "light must be 0..15") + lineFor("b", "Duplicate resource id: t:twice"));
    EXPECT_EQ(voxel::blockCount(), voxel::builtinBlockCount);
}

TEST_F(DefinitionTest, MissingFilesNoTexturesAndAHugeStackAreReported) {
    define("a", R"("id": "t:broken", "textures": [], "model": "gone.bbmodel", "max_stack": 200)");
    define("b", R"("id": "t:no_model_file", "model": "gone.bbmodel")");
    define("c", R"("id": "t:no_face_file", "textures": ["t.png", "gone.png"])");
    define("d", R"("id": "t:no_icon_file", "icon": "gone.png")");
    load();
    EXPECT_EQ(errorFile(), lineFor("a", "max_stack must be 1..64") +
                               lineFor("b", "Missing asset: " + (content() / "b" / "gone.bbmodel").string()) +
                               lineFor("c", "Missing asset: " + (content() / "c" / "gone.png").string()) +
                               lineFor("d", "Missing asset: " + (content() / "d" / "gone.png").string()));
}

// A panel's model holds at most 10,000 triangles: a fan of n + 2 corners makes n of them.
TEST_F(DefinitionTest, PanelModelsUpToTheirTriangleLimit) {
    for (const auto& [folder, triangles] : {std::pair{"a", 10000}, {"b", 10001}}) {
        define(folder, R"("id": "t:door_)" + std::string(folder) +
                           R"(", "behavior": "door", "model": "fan.bbmodel")");
        std::string corners = R"("c")";
        for (int i = 1; i < triangles + 2; ++i) corners += R"(, "c")";
        testsupport::writeFile(
            content() / folder / "fan.bbmodel",
            R"({"elements": [{"type": "mesh", "vertices": {"c": [0, 0, 0]}, "faces": {"f": {)"
            R"("texture": 0, "uv": {"c": [0, 0]}, "vertices": [)" +
                corners + "]}}}]}");
    }
    load();
    EXPECT_EQ(errorFile(), lineFor("b", "Door model exceeds 10000 triangles"));
    EXPECT_EQ(voxel::blockDef(13).modelVertices.size(), 30000u);
}

TEST_F(DefinitionTest, InstalledDefinitionsCarryTheirValues) {
    define("a", R"("id": "t:sword", "name": "Меч", "type": "item", "max_stack": 1, "durability": 250,
                   "durability_bonus": 20, "attack": 7, "attack_bonus": 3, "tool": "sword")");
    define("b", R"("id": "t:plate", "type": "item", "max_stack": 1, "durability": 10, "armor_slot": 1,
                   "defense": 18, "defense_bonus": 5, "cold_resistance": 40)");
    define("c", R"("id": "t:ladder", "behavior": "ladder", "solid": true, "opaque": true, "rotatable": false,
                   "model": "low.bbmodel")");
    define("d", R"("id": "t:lamp", "light": 7.5, "opaque": true, "solid": false)");
    define("e", R"("id": "t:chest", "behavior": "chest", "textures": ["t.png", "u.png"], "icon": "v.png",
                   "lid_hinge_y": 8, "lid_hinge_z": 16)");
    define("f", R"("id": "t:stone", "solid": "yes")");
    EXPECT_EQ(load(),
              "Content loaded: t:sword -> 13\nContent loaded: t:plate -> 14\nContent loaded: t:ladder -> 15\n"
              "Content loaded: t:lamp -> 16\nContent loaded: t:chest -> 17\nContent loaded: t:stone -> 18\n");
    EXPECT_EQ(errorFile(), "");

    const voxel::BlockDef &sword = voxel::blockDef(13), &plate = voxel::blockDef(14),
                          &ladder = voxel::blockDef(15), &lamp = voxel::blockDef(16),
                          &chest = voxel::blockDef(17), &stone = voxel::blockDef(18);
    EXPECT_EQ(std::tie(sword.name, sword.isBlock, sword.solid, sword.durability, sword.attack, sword.tool,
                       sword.available),
              std::tuple("Меч", false, false, 300, 10, "sword", true));
    EXPECT_EQ(std::tie(plate.defense, plate.armor_slot, plate.cold_resistance), std::tuple(20, 1, 40));
    EXPECT_EQ(std::tie(ladder.solid, ladder.opaque, ladder.rotatable), std::tuple(false, false, true));
    EXPECT_FLOAT_EQ(lamp.light, 7.5f);
    EXPECT_EQ(std::tie(lamp.solid, lamp.opaque), std::tuple(false, true));
    EXPECT_EQ(std::tie(chest.rotatable, chest.icon, chest.lid_hinge_y, chest.lid_hinge_z, chest.fullCube),
              std::tuple(true, (content() / "e" / "v.png").string(), 0.5f, 1.0f, true));
    ASSERT_EQ(chest.textures.size(), 2u);
    EXPECT_EQ(chest.textures[1], (content() / "e" / "u.png").string());
    EXPECT_EQ(chest.modelVertices.size(), 36u);
    // A string is no boolean: the default holds.
    EXPECT_EQ(std::tie(stone.solid, stone.opaque, stone.lid_hinge_y, stone.dimension),
              std::tuple(true, false, 0.71875f, "core:ash"));
}

TEST_F(DefinitionTest, WorldEffectsTakeTheirDefaultsFromTheResource) {
    define("a", R"("id": "core:tall_grass", "solid": false)");
    define("b", R"("id": "demo:lantern")");
    define("c", R"("id": "t:furnace", "behavior": "furnace")");
    define("d", R"("id": "core:wheat_stage_3", "wind_animation": "leaves", "wind_strength": 0.25,
                   "wind_speed": 0.1, "particle_effect": "splash", "particle_size": 0.3, "particle_height": 0,
                   "particle_interval_ticks": 1200)");
    define("e", R"("id": "t:plain", "particle_interval_ticks": 4)");
    load();
    ASSERT_EQ(errorFile(), "");
    struct Expected {
        uint8_t id;
        uint32_t wind, particle;
        int32_t ticks;
    };
    const Expected table[] = {
        {13, 1, 0, 20}, {14, 0, 2, 40}, {15, 0, 1, 20}, {16, 2, 3, 1200}, {17, 0, 0, 4}};
    for (const Expected& e : table) {
        SCOPED_TRACE(voxel::blockDef(e.id).id);
        EXPECT_EQ(voxel::blockDef(e.id).wind_animation, e.wind);
        EXPECT_EQ(voxel::blockDef(e.id).particle_effect, e.particle);
        EXPECT_EQ(voxel::blockDef(e.id).particle_interval_ticks, e.ticks);
    }
    EXPECT_FLOAT_EQ(voxel::blockDef(16).wind_strength, 0.25f);
    EXPECT_FLOAT_EQ(voxel::blockDef(16).particle_height, 0.0f);
}

TEST_F(DefinitionTest, PanelsAreFlaggedAsShapedBlocks) {
    define("a", R"("id": "t:door", "behavior": "door", "model": "low.bbmodel")");
    define("b", R"("id": "t:hatch", "behavior": "trapdoor", "model": "low.bbmodel")");
    define("c", R"("id": "t:ladder", "behavior": "ladder", "model": "low.bbmodel")");
    define("d", R"("id": "t:bed", "behavior": "bed", "model": "low.bbmodel")");
    define("e", R"("id": "t:chest", "behavior": "chest")");
    load();
    ASSERT_EQ(errorFile(), "");
    const std::array<bool, 256> flags = voxel::shapedFlags();
    for (uint8_t id = 0; id < 20; ++id) EXPECT_EQ(flags[id], id >= 13 && id <= 16) << int(id);
    EXPECT_TRUE(voxel::blockDef(13).solid);
    EXPECT_FALSE(voxel::blockDef(15).solid);
}

// Forged headers and cut-off files are refused before the atlas ever decodes them.
TEST_F(DefinitionTest, UntrustedTexturesAreRefusedWithPathAndReason) {
    define("a", R"("id": "t:big_ok", "textures": ["big.png"])");
    deftest::writePng(content() / "a" / "big.png", 1024, 1024);
    define("b", R"("id": "t:forged", "textures": ["forged.png"])");
    // Signature and IHDR of a 1025 x 1024 image, and nothing after.
    const unsigned char header[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13,
                                    'I',  'H', 'D', 'R', 0,    0,    4,    1,    0, 0, 4, 0};
    testsupport::writeFile(content() / "b" / "forged.png", std::string(std::begin(header), std::end(header)));
    define("c", R"("id": "t:cut", "textures": ["t.png"], "icon": "cut.png")");
    deftest::writePng(content() / "c" / "cut.png", 16, 16);
    const std::string whole = testsupport::readFile(content() / "c" / "cut.png");
    testsupport::writeFile(content() / "c" / "cut.png", whole.substr(0, whole.size() - 20));
    define("d", R"("id": "t:text", "textures": ["m.bbmodel"])");
    load();

    const auto texture = [&](const char* folder, const char* file) {
        return (content() / folder / file).string();
    };
    EXPECT_EQ(errorFile(),
              lineFor("b", "Invalid texture " + texture("b", "forged.png") +
                               ": declares 1025 x 1024 pixels, more than 1048576") +
                  lineFor("c", "Invalid texture " + texture("c", "cut.png") +
                                   ": Invalid PNG data (Truncated PNG data)") +
                  lineFor("d", "Invalid texture " + texture("d", "m.bbmodel") + ": not a PNG image"));
    EXPECT_EQ(voxel::blockCount(), voxel::builtinBlockCount + 1);
    EXPECT_EQ(voxel::blockDef(13).id, "t:big_ok");
}

TEST_F(DefinitionTest, FaceTextureTableMarksListedTexturesAsCustom) {
    define("a", R"("id": "t:statue", "textures": ["t.png", "u.png"])");
    load();
    const std::string u = (content() / "a" / "u.png").string();
    content::buildFaceTextureTable({"zzz.png", u, u});
    const content::FaceTextureTable& table = content::faceTextureTable();
    EXPECT_TRUE(table.built);
    EXPECT_EQ(table.paths, (std::vector<std::string>{u, "zzz.png"}));
    ASSERT_EQ(table.faces.size(), 14u);
    EXPECT_EQ(table.faces[1], (std::array<float, 6>{6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(table.faces[13], (std::array<float, 6>{128, 300000, 130, 131, 132, 133}));
    EXPECT_EQ(content::resourceTexturePaths({"t:statue", "t:none"}),
              (std::vector<std::string>{(content() / "a" / "t.png").string(), u}));
}

}  // namespace
