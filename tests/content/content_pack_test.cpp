// The game's own content pack under Content/: every loader reads it without a complaint, every name
// the world generation and the city builder look up is in it, and its definitions, pictures and
// models keep to their formats.
#include "support/content_pack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "adventure/catalog.h"
#include "adventure/npc_rig.h"
#include "audio/mixer.h"
#include "audio/sound_definitions.h"
#include "content/asset_path.h"
#include "content/combat_rules.h"
#include "content/crops.h"
#include "content/descriptions.h"
#include "content/dimensions.h"
#include "content/face_textures.h"
#include "content/json.h"
#include "content/living_world.h"
#include "content/loading_frame.h"
#include "content/loot_tables.h"
#include "content/mobs.h"
#include "content/potions.h"
#include "content/recipes.h"
#include "content/resource_ids.h"
#include "content/rule_files.h"
#include "content/worldgen.h"
#include "game/movement.h"
#include "game/player_state.h"
#include "models/animation_clip.h"
#include "platform/image.h"
#include "render/figures/npc_animation.h"
#include "support/fresh_registry.h"
#include "support/temp_dir.h"
#include "world/block_registry.h"
#include "world/generate.h"
#include "world/terrain_columns.h"
#include "world/structures.h"

namespace {

namespace fs = std::filesystem;
using content::Json;

bool isPanel(const std::string& behavior) {
    return behavior == "door" || behavior == "trapdoor" || behavior == "ladder" || behavior == "bed";
}

// The pack loaded into the block registry by the game's own definition loader, as start-up does.
class ContentPackTest : public testsupport::FreshRegistryTest {
   protected:
    void SetUp() override {
        FreshRegistryTest::SetUp();
        const char* source = std::getenv("QUORVANE_SOURCE_DIR");
        ASSERT_NE(source, nullptr);
        // A copy, so that the loaders' error files are written beside it and not into the source tree.
        testsupport::copyContentPack(fs::path(source) / "Content", content());
        for (const fs::path& file : fs::recursive_directory_iterator(content())) {
            if (file.filename() == "definition.json") definitions.push_back(file);
        }
        std::sort(definitions.begin(), definitions.end());
        testing::internal::CaptureStdout();
        content::loadResources(content(), temp.path() / "Saves" / "content_ids.txt");
        loadedLines = testing::internal::GetCapturedStdout();
        ASSERT_EQ(errors("content_errors.txt"), "");
    }

    fs::path content() const { return temp.path() / "Content"; }

    std::string errors(const std::string& name) const { return testsupport::readFile(content() / name); }

    // Every "*_errors.txt" in Content by name, with its text.
    std::map<std::string, std::string> errorFiles() const {
        std::map<std::string, std::string> files;
        for (const fs::directory_entry& entry : fs::directory_iterator(content())) {
            const std::string name = entry.path().filename().string();
            if (name.ends_with("_errors.txt")) files[name] = testsupport::readFile(entry.path());
        }
        return files;
    }

    testsupport::TempDir temp;
    std::vector<fs::path> definitions;
    std::string loadedLines;  // what the definition loader printed
};

TEST_F(ContentPackTest, EveryDefinitionLoadsUnderItsOwnId) {
    std::size_t lines = 0;
    for (std::size_t at = loadedLines.find("Content loaded: "); at != std::string::npos;
         at = loadedLines.find("Content loaded: ", at + 1)) {
        ++lines;
    }
    EXPECT_EQ(lines, definitions.size()) << loadedLines;
    EXPECT_EQ(voxel::blockCount(), voxel::builtinBlockCount + definitions.size());
    for (const fs::path& file : definitions) {
        const std::string id = content::jsonStringOr(Json::find(content::loadJsonFile(file, content::ContentFile::Definition), "id"), "");
        EXPECT_NE(voxel::findCustomBlock(id), 0) << file;
    }
}

// The loaders in the order start-up runs them; after each one every error file written so far must
// still be empty, so that no later loader's look-up hides an earlier one's complaint.
TEST_F(ContentPackTest, EveryLoaderInStartUpOrderLeavesEveryErrorFileEmpty) {
    audio::Mixer mixer;
    voxel::ProfilePtr profile;
    const fs::path dir = content();
    const std::vector<std::pair<std::string, std::function<void()>>> loaders = {
        {"sounds", [&] { content::loadSounds(mixer, dir); }},
        {"recipes", [&] { content::splitAlchemyRecipes(content::loadRecipes(dir)); }},
        {"potions", [&] { content::loadPotions(dir); }},
        {"furnace", [&] { content::loadFurnaceRules(dir); }},
        {"food", [&] { content::loadFoodRules(dir); }},
        {"crops", [&] { content::loadCrops(dir); }},
        {"worldgen", [&] { profile = content::loadWorldgen(dir); }},
        {"loot", [&] { content::loadLootTables(dir); }},
        {"rpg", [&] { content::loadRpgRules(dir); }},
        {"dimensions", [&] { content::loadDimensions(dir); }},
        {"combat", [&] { content::loadCombatRules(dir); }},
        {"face textures", [&] { content::buildFaceTextureTable(content::resourceTexturePaths({})); }},
        {"descriptions", [&] { content::readDescriptions(dir); }},
        {"living world", [&] { content::loadLivingWorld(dir); }},
    };
    for (const auto& [name, load] : loaders) {
        ASSERT_NO_THROW(load()) << name;
        EXPECT_EQ(mixer.errors, "") << "after " << name;
        for (const auto& [file, text] : errorFiles()) EXPECT_EQ(text, "") << file << " after " << name;
    }
    const std::set<std::string> expected = {
        "combat_errors.txt", "content_errors.txt", "crop_errors.txt",    "dimension_errors.txt",
        "food_errors.txt",   "furnace_errors.txt", "loot_errors.txt",    "potion_errors.txt",
        "recipe_errors.txt", "rpg_errors.txt",     "worldgen_errors.txt"};
    std::set<std::string> written;
    for (const auto& entry : errorFiles()) written.insert(entry.first);
    EXPECT_EQ(written, expected) << "every loader with an error file wrote it";
    EXPECT_TRUE(profile);
}

// Every loot table, territory structure and dimension the generation names exists, with one city.
TEST_F(ContentPackTest, EveryStructureLootTableTerritoryAndDimensionNamedIsThere) {
    const auto profile = content::loadWorldgen(content());
    ASSERT_TRUE(profile);
    const auto loot = content::loadLootTables(content());
    std::set<std::string> structures;
    int cities = 0;
    for (const voxel::StructureRule& rule : profile->structures) {
        structures.insert(rule.id);
        cities += rule.city ? 1 : 0;
        for (const voxel::LootChest& chest : rule.loot_chests)
            EXPECT_EQ(loot.count(chest.lootTable), 1u) << rule.id;
    }
    EXPECT_EQ(cities, 1);
    const content::LivingWorldRules living = content::loadLivingWorld(content());
    for (const content::LivingTerritory& territory : living.territories)
        EXPECT_EQ(structures.count(territory.structure), 1u) << territory.structure;

    const auto dimensions = content::loadDimensions(content());
    for (const auto& [id, terrain] : std::map<std::string, std::string>{
             {"core:ash", "ashen"}, {"core:frost", "frozen"}, {"core:sky", "sky"}}) {
        ASSERT_EQ(dimensions.count(id), 1u) << id;
        EXPECT_EQ(dimensions.at(id).profile->terrain, terrain) << id;
    }
    // A stored ash world takes its fortress and ore from here when it lacks them.
    const voxel::GenerationProfile& ash = *dimensions.at("core:ash").profile;
    ASSERT_EQ(ash.ores.size(), 1u);
    EXPECT_EQ(ash.ores[0].block, voxel::findCustomBlock("core:ash_ore"));
    ASSERT_EQ(ash.structures.size(), 1u);
    EXPECT_EQ(ash.structures[0].id, "core:ash_fortress");
    EXPECT_GT(dimensions.at("core:frost").cold_interval_ticks, 0);
}

// Distance from (x, z) to the nearest column whose ground stands above the sea, on a 4-block grid.
double distanceToLand(const voxel::GenerationContext& context, int32_t x, int32_t z, int32_t reach) {
    double nearest = 1e9;
    for (int32_t dz = -reach; dz <= reach; dz += 4)
        for (int32_t dx = -reach; dx <= reach; dx += 4)
            if (voxel::surfaceHeight(context, x + dx, z + dz) > voxel::seaLevel) nearest = std::min(nearest, std::hypot(dx, dz));
    return nearest;
}

// The nearest workbench that a generated structure really places within `reach` of (x, z).
double nearestWorkbench(const voxel::GenerationContext& context, int32_t x0, int32_t z0, int32_t reach) {
    const uint8_t workbench = voxel::findCustomBlock("core:workbench");
    double nearest = 1e9;
    for (const voxel::StructureRule& rule : context.profile->structures) {
        const auto spacing = static_cast<int32_t>(rule.spacing);
        for (const voxel::StructureCuboid& part : rule.parts) {
            if (part.block != workbench || spacing <= 0) continue;
            for (int32_t gz = voxel::floorDiv(z0 - reach, spacing); gz <= voxel::floorDiv(z0 + reach, spacing); ++gz) {
                for (int32_t gx = voxel::floorDiv(x0 - reach, spacing); gx <= voxel::floorDiv(x0 + reach, spacing); ++gx) {
                    const voxel::SiteRecord site = voxel::generatedStructureSite(context, rule, gx, gz);
                    const int32_t x = site.x + part.fromX, y = site.y + part.fromY, z = site.z + part.fromZ;
                    const double distance = std::hypot(x - x0, z - z0);
                    if (!site.present || distance >= nearest) continue;
                    // Only a workbench that the generated chunk holds counts, not one a city built over.
                    const int32_t cx = voxel::floorDiv(x, 16), cz = voxel::floorDiv(z, 16);
                    const voxel::Chunk chunk = voxel::generateChunk(context, cx, cz);
                    if (chunk.get(static_cast<uint32_t>(x - 16 * cx), static_cast<uint32_t>(y),
                                  static_cast<uint32_t>(z - 16 * cz)) == workbench)
                        nearest = distance;
                }
            }
        }
    }
    return nearest;
}

// The start kit holds no workbench and every recipe needs one: on every seed a structure with a
// workbench stands within a few minutes' walk of the spawn point. Where the spawn lies far out at
// sea nothing can stand nearer than the shore, so there it stands a short walk inland.
TEST_F(ContentPackTest, AWorkbenchStandsWithinAWalkOfTheSpawnOnEverySeed) {
    const voxel::ProfilePtr profile = content::loadWorldgen(content());
    ASSERT_NE(voxel::findCustomBlock("core:workbench"), 0);
    const int32_t spawnX = static_cast<int32_t>(PlayerState{}.spawnX);
    const int32_t spawnZ = static_cast<int32_t>(PlayerState{}.spawnZ);
    constexpr int32_t walk = 300;     // blocks: a few minutes on foot
    constexpr int32_t inland = 150;   // from the shore nearest to a spawn at sea
    for (const uint32_t seed : {1u, 2u, 3u, 7u, 42u, 1000u, 2024u, 12345u, 65535u, 4000000000u}) {
        const voxel::GenerationContext context{seed, 4, profile};
        const double shore = distanceToLand(context, spawnX, spawnZ, 2 * walk);
        const double bound = std::max<double>(walk, shore + inland);
        EXPECT_LE(nearestWorkbench(context, spawnX, spawnZ, static_cast<int32_t>(bound)), bound)
            << "seed " << seed << ", shore " << shore;
    }
}

// The blocks of generated chunks, each chunk generated once.
struct GeneratedCells {
    voxel::GenerationContext context;
    std::map<std::pair<int32_t, int32_t>, voxel::Chunk> chunks;
    uint8_t at(int32_t x, int32_t y, int32_t z) {
        const int32_t cx = voxel::floorDiv(x, 16), cz = voxel::floorDiv(z, 16);
        auto [chunk, fresh] = chunks.try_emplace({cx, cz});
        if (fresh) chunk->second = voxel::generateChunk(context, cx, cz);
        return chunk->second.get(uint32_t(x - 16 * cx), uint32_t(y), uint32_t(z - 16 * cz));
    }
    // Leaves too: they hide what stands behind them.
    bool solid(int32_t x, int32_t y, int32_t z) { return voxel::blockDef(at(x, y, z)).solid; }
    // No solid block between the two points but in the cell of the second.
    bool inSight(std::array<double, 3> from, std::array<int32_t, 3> cell) {
        const std::array<double, 3> d{cell[0] + 0.5 - from[0], cell[1] + 0.5 - from[1], cell[2] + 0.5 - from[2]};
        const int steps = static_cast<int>(std::hypot(d[0], d[1], d[2]) * 20.0);
        for (int i = 1; i < steps; ++i) {
            std::array<int32_t, 3> at{};
            for (int k = 0; k < 3; ++k) at[k] = static_cast<int32_t>(std::floor(from[k] + d[k] * i / steps));
            if (at != cell && solid(at[0], at[1], at[2])) return false;
        }
        return true;
    }
};

// A camp of the rule within `reach` of the eye, with its workbench (no city built over it), shows
// the eye a block that rises above every tree top and hill within 8 columns of the camp.
bool campInSight(GeneratedCells& cells, const voxel::StructureRule& rule, std::array<double, 3> eye, int32_t reach) {
    const uint8_t workbench = voxel::findCustomBlock("core:workbench");
    const auto bench = std::find_if(rule.parts.begin(), rule.parts.end(), [&](const auto& p) { return p.block == workbench; });
    if (bench == rule.parts.end()) return false;
    const auto spacing = static_cast<int32_t>(rule.spacing);
    const auto x0 = static_cast<int32_t>(eye[0]), z0 = static_cast<int32_t>(eye[2]);
    for (int32_t gz = voxel::floorDiv(z0 - reach, spacing); gz <= voxel::floorDiv(z0 + reach, spacing); ++gz) {
        for (int32_t gx = voxel::floorDiv(x0 - reach, spacing); gx <= voxel::floorDiv(x0 + reach, spacing); ++gx) {
            const voxel::SiteRecord site = voxel::generatedStructureSite(cells.context, rule, gx, gz);
            if (!site.present || std::hypot(site.x - eye[0], site.z - eye[2]) > reach ||
                cells.at(site.x + bench->fromX, site.y + bench->fromY, site.z + bench->fromZ) != workbench)
                continue;
            int32_t treeTops = 0;  // around the camp's 5 x 5 clearing
            for (int32_t z = site.z - 8; z <= site.z + 8; ++z)
                for (int32_t x = site.x - 8; x <= site.x + 8; ++x)
                    for (int32_t y = 127; y > treeTops && (std::abs(x - site.x) > 2 || std::abs(z - site.z) > 2); --y)
                        if (cells.solid(x, y, z)) treeTops = y;
            for (const voxel::StructureCuboid& p : rule.parts)
                for (int32_t y = std::max(site.y + p.fromY, treeTops + 1); y < site.y + p.toY && p.block != 0; ++y)
                    if (cells.at(site.x + p.fromX, y, site.z + p.fromZ) == p.block &&
                        cells.inSight(eye, {site.x + p.fromX, y, site.z + p.fromZ}))
                        return true;
        }
    }
    return false;
}

// A new player looks for the first workbench from the spawn, or from the first shore where the
// spawn lies in water: within a minute of looking around, a camp with one stands within 64 blocks
// (well inside the fog of the default view), with a block above the tree tops in plain sight.
TEST_F(ContentPackTest, AWorkbenchCampIsInSightFromTheSpawnOrTheFirstShore) {
    const voxel::ProfilePtr profile = content::loadWorldgen(content());
    const int32_t spawnX = static_cast<int32_t>(PlayerState{}.spawnX), spawnZ = static_cast<int32_t>(PlayerState{}.spawnZ);
    const std::pair<uint32_t, const char*> cases[] = {
        {424242, "in a lake, the nearest camp across it"}, {1, "far out at sea"}, {2, "on a hillside"},
        {3, "on a mountain"}, {7, "at sea"}, {1000, "on low hills"}, {2024, "on low hills"}, {12345, "at sea"},
        {65535, "on low hills"}, {4000000000u, "at sea"}};
    for (const auto& [seed, spawn] : cases) {
        GeneratedCells cells{{seed, 4, profile}, {}};
        const auto ground = [&](int32_t x, int32_t z) { return voxel::surfaceHeight(cells.context, x, z); };
        // The first shore: the nearest dry column with room to stand, found ring by ring.
        std::pair<int32_t, int32_t> shore{spawnX, spawnZ};
        for (int32_t r = 0, best = INT32_MAX; r <= 512 && r * r < best; ++r)
            for (int32_t dz = -r; dz <= r; ++dz)
                for (int32_t dx = -r; dx <= r; dx += std::abs(dz) == r ? 1 : 2 * r) {
                    const int32_t x = spawnX + dx, z = spawnZ + dz, h = ground(x, z);
                    if (h > voxel::seaLevel && !cells.solid(x, h + 1, z) && dx * dx + dz * dz < best)
                        best = dx * dx + dz * dz, shore = {x, z};
                }
        bool seen = false;
        for (const auto& [x, z] : {std::pair{spawnX, spawnZ}, shore}) {
            const std::array<double, 3> eye{x + 0.5, std::max(ground(x, z), voxel::seaLevel) + 1 + game::kEyeHeight, z + 0.5};
            for (const voxel::StructureRule& rule : profile->structures) seen = seen || campInSight(cells, rule, eye, 64);
        }
        EXPECT_TRUE(seen) << "seed " << seed << ", spawn " << spawn << ", first shore " << shore.first << " " << shore.second;
    }
}

TEST_F(ContentPackTest, EveryNameTheGameLooksUpIsThere) {
    for (const char* name :
         {"core:tall_grass", "core:flower", "core:cactus", "core:frost_ice", "core:sky_updraft", "core:chest",
          "core:city_glass", "core:city_paving", "core:city_planks", "core:city_plaster", "core:city_roof",
          "core:city_seal", "demo:lantern", "core:workbench", "core:furnace", "core:alchemy_table",
          "core:city_vial", "core:wheat_stage_3"}) {
        EXPECT_NE(voxel::findCustomBlock(name), 0) << name;
    }
    for (const char* drop : {"core:raw_pork", "core:bone", "core:arrow"}) {
        EXPECT_NO_THROW(content::mobResourceId(drop)) << drop;
    }
    const voxel::BlockDef& updraft = voxel::blockDef(voxel::findCustomBlock("core:sky_updraft"));
    EXPECT_EQ(std::tie(updraft.solid, updraft.opaque, updraft.behavior), std::tuple(false, false, "updraft"));
}

// A solid full cube without clear texels is a wall: it hides the faces behind it and keeps daylight
// out. Any other resource lets light through, for the first reason of this table that holds.
TEST_F(ContentPackTest, EverySolidFullCubeWithoutClearTexelsAndNothingElseIsOpaque) {
    const auto clearTexels = [](const voxel::BlockDef& d) {
        for (const std::string& texture : d.textures) {
            const std::vector<uint8_t> rgba = platform::decodePng(fs::path(texture)).pixels;
            for (std::size_t i = 3; i < rgba.size(); i += 4)
                if (rgba[i] != 255) return true;
        }
        return false;
    };
    const std::pair<std::string, std::function<bool(const voxel::BlockDef&)>> seeThrough[] = {
        {"walked through", [](const voxel::BlockDef& d) { return !d.solid; }},
        {"not a full cube", [](const voxel::BlockDef& d) { return !d.fullCube; }},
        {"clear texels", clearTexels},
        {"frozen water over the sea", [](const voxel::BlockDef& d) { return d.id == "core:frost_ice"; }}};
    for (uint32_t id = voxel::builtinBlockCount; id < voxel::blockCount(); ++id) {
        const voxel::BlockDef& def = voxel::blockDef(static_cast<uint8_t>(id));
        const auto why = std::find_if(std::begin(seeThrough), std::end(seeThrough), [&](const auto& row) { return row.second(def); });
        EXPECT_EQ(def.opaque, why == std::end(seeThrough)) << def.id << (why == std::end(seeThrough) ? "" : ": " + why->first);
    }
}

// One cube face: its texture index must be listed by the definition and its uv must be a rectangle.
void checkFace(const Json& face, std::size_t textureCount, const std::string& where) {
    if (face.tag == content::JsonNull) return;
    const std::string texture = content::jsonStringOr(Json::find(face, "texture"), "");
    ASSERT_TRUE(texture.size() > 1 && texture[0] == '#') << where;
    EXPECT_LT(std::stoul(texture.substr(1)), textureCount) << where;
    EXPECT_EQ(Json::find(face, "uv").items.size(), 4u) << where;
}

// Doors, trapdoors, ladders and beds stay inside the panel the game collides with.
void checkPanel(const Json& element, const std::string& behavior, double thickness,
                const std::string& where) {
    const std::map<std::string, std::array<double, 3>> limits = {{"door", {16, 32, thickness}},
                                                                 {"trapdoor", {16, thickness, 16}},
                                                                 {"ladder", {16, 16, thickness}},
                                                                 {"bed", {16, 9, 32}}};
    EXPECT_EQ(Json::find(element, "rotation").tag, content::JsonNull) << where;
    for (const char* key : {"from", "to"}) {
        const Json& corner = Json::find(element, key);
        ASSERT_EQ(corner.items.size(), 3u) << where;
        for (std::size_t axis = 0; axis < 3; ++axis) {
            EXPECT_GE(corner.items[axis].number, 0.0) << where;
            EXPECT_LE(corner.items[axis].number, limits.at(behavior)[axis]) << where;
        }
    }
}

void checkPicture(const fs::path& file) {
    const platform::Image image = platform::decodePng(file);
    EXPECT_EQ(std::tie(image.width, image.height), std::tuple(16u, 16u)) << file;
}

TEST_F(ContentPackTest, DefinitionsPicturesAndModelsKeepTheirFormatsAndThePackStaysSmall) {
    EXPECT_LE(definitions.size(), 120u);  // well under the 243 custom resources a save can hold
    std::set<std::string> ids;
    for (const fs::path& file : definitions) {
        const Json json = content::loadJsonFile(file, content::ContentFile::Definition);
        const std::string id = content::jsonStringOr(Json::find(json, "id"), "");
        EXPECT_TRUE(content::isValidResourceId(id)) << file;
        EXPECT_TRUE(ids.insert(id).second) << id;
        EXPECT_FALSE(content::jsonStringOr(Json::find(json, "name"), "").empty()) << id;
        EXPECT_FALSE(content::jsonStringOr(Json::find(json, "description"), "").empty()) << id;
        if (Json::numberOr(Json::find(json, "durability"), 0) > 0) {
            EXPECT_EQ(Json::numberOr(Json::find(json, "max_stack"), 64), 1.0) << id;
            EXPECT_EQ(content::jsonStringOr(Json::find(json, "type"), ""), "item") << id;
        }

        const fs::path folder = file.parent_path();
        const std::vector<Json>& textures = Json::find(json, "textures").items;
        ASSERT_TRUE(!textures.empty() && textures.size() <= 6) << id;
        for (const Json& texture : textures) checkPicture(content::resolveAsset(folder, texture.text));
        if (Json::find(json, "icon").tag == content::JsonString) {
            checkPicture(content::resolveAsset(folder, Json::find(json, "icon").text));
        }

        const Json model =
            content::loadJsonFile(content::resolveAsset(folder, Json::find(json, "model").text), content::ContentFile::Model);
        const std::vector<Json>& elements = Json::find(model, "elements").items;
        ASSERT_FALSE(elements.empty()) << id;
        const std::string behavior = content::jsonStringOr(Json::find(json, "behavior"), "");
        const double thickness = Json::numberOr(Json::find(json, "door_thickness"), 0.1875) * 16.0;
        for (const Json& element : elements) {
            EXPECT_EQ(content::jsonStringOr(Json::find(element, "type"), "cube"), "cube") << id;
            for (const char* face : {"up", "down", "north", "south", "east", "west"}) {
                checkFace(Json::find(Json::find(element, "faces"), face), textures.size(), id + " " + face);
            }
            if (isPanel(behavior)) checkPanel(element, behavior, thickness, id);
        }
    }
    std::uintmax_t bytes = 0;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(content())) {
        if (entry.is_regular_file()) bytes += entry.file_size();
    }
    EXPECT_LT(bytes, 2u * 1024u * 1024u);
}

// The creatures, people and sounds need the definitions as the game loads them, with their models.
class ContentPackCreaturesTest : public ContentPackTest {
   protected:
    void SetUp() override {
        ContentPackTest::SetUp();
        voxel::resetBlockRegistry();
        content::loadResources(content(), temp.path() / "content_ids.txt");
        ASSERT_EQ(errors("content_errors.txt"), "");
        mobs = content::loadMobs(content());
        ASSERT_EQ(errors("mob_errors.txt"), "");
    }
    std::vector<content::MobDef> mobs;
};

// Parts of a fitted model: 1 head, 4 and 5 the legs.
std::set<uint32_t> partsOf(const std::vector<uint32_t>& vertexParts) {
    return std::set<uint32_t>(vertexParts.begin(), vertexParts.end());
}

// Each mob fits its model, walks with its legs and names short loaded sounds, as the player's edits
// have theirs; every ash spawn is an ash mob.
TEST_F(ContentPackCreaturesTest, EveryMobFitsItsModelWalksAndSoundsAndEveryAshSpawnIsAnAshMob) {
    audio::Mixer mixer;
    content::loadSounds(mixer, content());
    EXPECT_EQ(mixer.errors, "");
    std::map<std::string, const audio::Sound*> sounds;
    for (const audio::Sound& sound : mixer.sounds) sounds[sound.id] = &sound;
    std::map<std::string, content::MobDef*> byId;
    for (content::MobDef& mob : mobs) {
        byId[mob.id] = &mob;
        adventure::prepareMobModel(mob, content());
        const voxel::BlockDef& model = voxel::blockDef(voxel::findCustomBlock(mob.modelResource));
        EXPECT_EQ(mob.modelPartIndices.size(), model.modelVertices.size()) << mob.id;
        const std::set<uint32_t> parts = partsOf(mob.modelPartIndices);
        for (uint32_t part : {1u, 4u, 5u}) EXPECT_EQ(parts.count(part), 1u) << mob.id << " part " << part;
        EXPECT_GT(mob.modelScale, 0.0) << mob.id;

        adventure::Npc figure;
        figure.modelResource = mob.modelResource;
        figure.animationNames = {"idle", "walk", ""};
        ASSERT_NO_THROW(adventure::loadRig(figure, content())) << mob.id;
        EXPECT_TRUE(figure.rig.rejectedClips.empty()) << mob.id;
        ASSERT_GE(figure.animationClips[adventure::npcWalk], 0) << mob.id;
        ASSERT_GE(figure.animationClips[adventure::npcIdle], 0) << mob.id;
        // A quarter into the walk every leg is off its rest pose.
        const std::vector<bbanim::BonePose> pose =
            bbanim::sampleClip(figure.rig, figure.animationClips[adventure::npcWalk], 0.2, true);
        int legs = 0;
        for (std::size_t b = 0; b < figure.rig.bones.size(); ++b) {
            const std::string& name = figure.rig.bones[b].name;
            if (name != "left_leg" && name != "right_leg") continue;
            ++legs;
            EXPECT_GT(std::fabs(pose[b].rotation[2]), 5.0) << mob.id << " bone " << b;
        }
        EXPECT_GE(legs, 2) << mob.id;

        for (const std::string& id : {mob.hurtSound, mob.deathSound, mob.idleSound, mob.attackSound}) {
            ASSERT_EQ(sounds.count(id), 1u) << mob.id << " " << id;
            const std::size_t frames = sounds.at(id)->frames.size() / 2;
            EXPECT_GT(frames, 44100u / 50) << id;
            EXPECT_LT(frames, 44100u) << id;
        }
    }
    for (const char* id : {"core:boar", "core:skeleton", "core:basalt_golem", "core:fortress_warden"})
        EXPECT_EQ(byId.count(id), 1u) << id;
    for (const char* id : {"core:block.place", "core:block.break"}) EXPECT_EQ(sounds.count(id), 1u) << id;
    const auto dimensions = content::loadDimensions(content());
    for (const voxel::StructureRule& rule : dimensions.at("core:ash").profile->structures) {
        for (const voxel::StructureSpawn& spawn : rule.spawns) {
            ASSERT_EQ(byId.count(spawn.mob), 1u) << spawn.mob;
            const std::vector<std::string>& homes = byId.at(spawn.mob)->dimensions;
            EXPECT_NE(std::find(homes.begin(), homes.end(), "core:ash"), homes.end()) << spawn.mob;
        }
    }
}

using Point = std::array<double, 3>;

Point minus(const Point& a, const Point& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

// Unit normal of a triangle wound as the model loader winds faces (outwards).
Point normalOf(const ModelVertex& a, const ModelVertex& b, const ModelVertex& c) {
    const Point u = minus({b.x, b.y, b.z}, {a.x, a.y, a.z});
    const Point v = minus({c.x, c.y, c.z}, {a.x, a.y, a.z});
    const Point n = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    const double length = std::hypot(n[0], n[1], n[2]);
    return {n[0] / length, n[1] / length, n[2] / length};
}

// How far a point 6 pixels below a bone's pivot moves at time share * clip length.
Point limbShift(const adventure::Npc& figure, adventure::NpcAction action, double share, std::size_t bone) {
    const int32_t clip = figure.animationClips[action];
    const double time = figure.rig.clips[static_cast<std::size_t>(clip)].length * share;
    const auto m = render::npcBoneMatrices(figure.rig, bbanim::sampleClip(figure.rig, clip, time, true))[bone];
    const bbanim::Vec3& o = figure.rig.bones[bone].origin;
    const Point p = {o[0], o[1] - 6.0, o[2]};
    Point moved{};
    for (std::size_t r = 0; r < 3; ++r) moved[r] = m[r * 4] * p[0] + m[r * 4 + 1] * p[1] + m[r * 4 + 2] * p[2] + m[r * 4 + 3];
    return minus(moved, p);
}

// The game draws creatures with model +x forwards and z across: the face picture (texture 1) looks
// along +x, walking legs swing in the x-y plane, and idle arms sway outwards across z.
TEST_F(ContentPackCreaturesTest, CreaturesFacePlusXAndSwingTheirLimbsThatWay) {
    for (const char* id : {"core:boar_model", "core:skeleton_model", "core:basalt_golem_model",
                           "core:fortress_warden_model", "core:smith_model"}) {
        const std::vector<ModelVertex>& vertices = voxel::blockDef(voxel::findCustomBlock(id)).modelVertices;
        int faceTriangles = 0;
        for (std::size_t i = 0; i + 2 < vertices.size(); i += 3) {
            if (vertices[i].texture != 1) continue;
            ++faceTriangles;
            EXPECT_NEAR(normalOf(vertices[i], vertices[i + 1], vertices[i + 2])[0], 1.0, 1e-5) << id;
        }
        EXPECT_EQ(faceTriangles, 2) << id << ": one face picture";

        adventure::Npc figure;
        figure.modelResource = id;
        figure.animationNames = {"idle", "walk", ""};
        ASSERT_NO_THROW(adventure::loadRig(figure, content())) << id;
        int limbs = 0;
        for (std::size_t b = 0; b < figure.rig.bones.size(); ++b) {
            const std::string& name = figure.rig.bones[b].name;
            if (name == "left_leg" || name == "right_leg") {
                // A quarter into the walk the left legs are forwards and the right legs back.
                const Point walk = limbShift(figure, adventure::npcWalk, 0.25, b);
                EXPECT_GT(walk[0] * (name == "left_leg" ? 1.0 : -1.0), 1.5) << id << " " << name;
                EXPECT_NEAR(walk[2], 0.0, 1e-9) << id << " " << name;
                ++limbs;
            } else if (name == "left_arm" || name == "right_arm") {
                const Point idle = limbShift(figure, adventure::npcIdle, 0.5, b);
                EXPECT_GT(idle[2] * figure.rig.bones[b].origin[2], 0.0) << id << " " << name << " sways outwards";
                EXPECT_NEAR(idle[0], 0.0, 1e-9) << id << " " << name;
                ++limbs;
            }
        }
        EXPECT_GE(limbs, 4) << id;
    }
}

TEST_F(ContentPackCreaturesTest, TheSmithLivesInTheCityWithHisQuestAndTrade) {
    std::set<std::string> mobIds, inhabited;
    for (const content::MobDef& mob : mobs) mobIds.insert(mob.id);
    const auto profile = content::loadWorldgen(content());
    ASSERT_TRUE(profile);
    for (const voxel::StructureRule& rule : profile->structures) {
        if (!rule.spawns.empty()) inhabited.insert(rule.id);
    }
    const adventure::Catalog catalog = adventure::loadContent(content(), mobIds, inhabited);
    EXPECT_EQ(errors("adventure_errors.txt"), "");
    ASSERT_EQ(catalog.npcs.size(), 1u);
    const adventure::Npc& smith = catalog.npcs[0];
    EXPECT_EQ(std::tie(smith.id, smith.quests, smith.trades),
              std::tuple("core:smith", std::vector<std::string>{"core:ore_for_the_forge"}, true));
    EXPECT_EQ(catalog.quests.count("core:ore_for_the_forge"), 1u);
    EXPECT_GE(smith.animationClips[adventure::npcIdle], 0);
    EXPECT_GE(smith.animationClips[adventure::npcWalk], 0);
    const std::set<uint32_t> parts = partsOf(smith.vertexParts);
    for (uint32_t part : {1u, 2u, 3u}) EXPECT_EQ(parts.count(part), 1u) << "part " << part;
    // Placed as a resident through the city's spawn list.
    bool housed = false;
    for (const voxel::StructureRule& rule : profile->structures) {
        for (const voxel::StructureSpawn& spawn : rule.spawns)
            housed = housed || (rule.city && spawn.mob == smith.id);
    }
    EXPECT_TRUE(housed);
}

}  // namespace
