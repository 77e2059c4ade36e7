#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <span>
#include <tuple>
#include <vector>

#include "app/app.h"
#include "content/dimensions.h"
#include "content/json.h"
#include "platform/file_read.h"
#include "save/chunk_file.h"
#include "save/file_save.h"
#include "save/living_state_file.h"
#include "save/loot_state_file.h"
#include "save/potion_effects_file.h"
#include "save/save_set.h"
#include "save/world_file.h"
#include "save/world_state_files.h"
#include "support/failure.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using testsupport::failureOf;

namespace {

// A world in a temporary folder, opened as start-up opens it: the world file first, then the
// terrain, then the per-world readers.
void openWorld(App& app, const fs::path& dir) {
    app.files.world = dir;
    app.files.worldOpen = true;
    app.chunkRadius = 0;
    app.loadWorld();
    app.generateEnvironment();
    app.loadSavedState();
}

void play(App& app) {
    app.player.x = 3.5f, app.player.y = 90.25f, app.player.z = -4.0f;
    app.player.yaw = 2.0f, app.player.pitch = -0.5f;
    app.player.health = 11;
    app.motion.flying = true;
    app.inventory.hotbar[6] = {40, 3, 2};
    app.inventory.selected = 6;
    app.inventory.heldBlock = 40;
    app.player.armor[1] = {60, 1, 9};
    app.containers.chests[app.dimension][{2, 70, 2}][4] = {5, 17, 0};
    app.containers.chests["core:ash"][{2, 70, 2}][4] = {6, 3, 0};  // the same cell in another dimension
    app.machines[app.dimension][{3, 70, 3}] = Machine{{InventorySlot{30, 2, 0}, InventorySlot{31, 1, 0}, InventorySlot{}}, 40, 5, 80};
    app.machines["core:ash"][{3, 70, 3}].burnRemaining = 9;
    app.entities.droppedItems.push_back(DroppedItem{9, 1.0f, 71.0f, 1.0f, 0.25f});
    app.hasBed = true, app.bedX = 4, app.bedY = 70, app.bedZ = 5;
    ASSERT_TRUE(app.setBlock(6, 100, 7, 3));
    app.world.blockStates[{6, 100, 7}] = StoredBlockState{3, 2};
    app.combat.progression = Progression{7, 250, {1, 2, 3, 4}, {400, 800, 1200, 1600}};
    app.adventureState.standing.quests.accepted["mine_iron"].progress = 2;
    app.adventureState.standing.quests.completed.insert("first_steps");
    app.adventureState.standing.copper = 123'456;
    app.adventureState.standing.reputation = 1000;
    // A crop that has shown its stage for 100 steps, and a spreading water cell.
    app.clock.tick = 5000;
    app.sim.crops[{1, 70, 1}] = 4900;
    app.meshing.waterLevels[{2, 71, -3}] = 6;
    app.potionEffects.active[2] = {1, 3599};
    app.loot.filledChests = {{"core:ash", {-40, 66, 12}}};
    app.livingClocks = {11999, 0, 5};
}

}  // namespace

TEST(WorldStateSave, AfterARestartThePlayerStandsWhereTheyStoodWithTheirThings) {
    testsupport::TempDir dir;
    {
        App app;
        openWorld(app, dir.path());
        play(app);
        app.saveWorld();
        app.saveInventory();
    }
    App app;
    openWorld(app, dir.path());
    const PlayerState& p = app.player;
    EXPECT_EQ((std::array{p.x, p.y, p.z, p.yaw, p.pitch}), (std::array{3.5f, 90.25f, -4.0f, 2.0f, -0.5f}));
    EXPECT_EQ(std::tuple(p.health, app.inventory.hotbar[6].count, app.inventory.heldBlock, p.armor[1].wear),
              std::tuple(11, 3, 40, 9));
    EXPECT_TRUE(app.motion.flying);
    EXPECT_EQ((app.containers.chests[app.dimension][{2, 70, 2}][4].count), 17);
    EXPECT_EQ((app.containers.chests["core:ash"][{2, 70, 2}][4].count), 3);
    EXPECT_EQ((app.machines[app.dimension][{3, 70, 3}].burnRemaining), 40);
    EXPECT_EQ((app.machines["core:ash"][{3, 70, 3}].burnRemaining), 9);
    ASSERT_EQ(app.entities.droppedItems.size(), 1u);
    EXPECT_EQ(app.entities.droppedItems[0].y, 71.0f);
    EXPECT_TRUE(app.hasBed);
    EXPECT_EQ(app.bedZ, 5);
    EXPECT_EQ(app.blockAt(6, 100, 7), 3);
    EXPECT_EQ((app.world.blockStates[{6, 100, 7}].state), 2);
    const Progression& progression = app.combat.progression;
    EXPECT_EQ(std::tuple(progression.level, progression.skills[1], progression.skillExperience[3]),
              std::tuple(7u, 2u, 1600u));
    EXPECT_EQ(app.adventureState.standing.quests.accepted["mine_iron"].progress, 2);
    EXPECT_TRUE(app.adventureState.standing.quests.completed.contains("first_steps"));
    EXPECT_EQ(std::tuple(app.adventureState.standing.copper, app.adventureState.standing.reputation),
              std::tuple(123'456u, 1000));
    // The step counter starts again; the crop keeps its age, not its old step number.
    ASSERT_TRUE(app.sim.crops.contains({1, 70, 1}));
    EXPECT_EQ((app.clock.tick - app.sim.crops[{1, 70, 1}]), 100u);
    EXPECT_EQ((app.meshing.waterLevels[{2, 71, -3}]), 6);
    EXPECT_EQ(std::tuple(app.potionEffects.active[2].strength, app.potionEffects.active[2].ticksLeft),
              std::tuple(1, 3599));
    EXPECT_EQ(app.loot.filledChests, (std::set<DimensionCell>{{"core:ash", {-40, 66, 12}}}));
    EXPECT_EQ(std::tuple(app.livingClocks.raid, app.livingClocks.caravan, app.livingClocks.market),
              std::tuple(11999, 0, 5));
}

// Start-up's stage 8 reads the world's files through this list, in this order.
TEST(WorldStateSave, TheSixteenReadersRunInTheirFixedOrder) {
    const std::vector<App::SaveReader> order{
        &App::loadBlockStates, &App::loadInventory,     &App::loadProgression,  &App::loadAdventure,
        &App::loadPlayer,      &App::loadPotionEffects, &App::loadDroppedItems, &App::loadArrows,
        &App::loadMachines,    &App::loadChests,        &App::loadLootState,    &App::loadBedSpawn,
        &App::loadCrops,       &App::loadWater,         &App::loadActors,       &App::loadLivingState};
    const std::span<const App::SaveReader> readers = App::saveReaders();
    EXPECT_TRUE(std::equal(readers.begin(), readers.end(), order.begin(), order.end()));
}

// Each new file, damaged, keeps the world closed like any other.
TEST(WorldStateSave, ADamagedEffectsLootOrLivingFileStopsTheOpen) {
    for (const char* file : {filesave::kPotionEffectsFile, filesave::kLootStateFile, filesave::kLivingStateFile}) {
        SCOPED_TRACE(file);
        testsupport::TempDir dir;
        {
            App app;
            openWorld(app, dir.path());
            play(app);
            app.saveWorld();
        }
        std::string text = testsupport::readFile(dir.path() / file);
        text.resize(text.size() - 4);  // the closing line lost
        testsupport::writeFile(dir.path() / file, text);
        App app;
        EXPECT_EQ(failureOf([&] { openWorld(app, dir.path()); }),
                  "Unreadable save file, left as it is: " + (dir.path() / file).string());
        EXPECT_TRUE(app.saves.readFailed);
    }
}

TEST(WorldStateSave, ANameTheWriterRefusesIsReportedWithItsFileBeforeAnythingIsWritten) {
    testsupport::TempDir dir;
    App app;
    openWorld(app, dir.path());
    app.files.worldName = U"Мир \U0001F600";
    EXPECT_EQ(failureOf([&] { app.saveWorld(); }), "Invalid world name in " +
                                                       (dir.path() / filesave::kWorldFile).string() +
                                                       ": holds a character beyond U+FFFF");
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

// A collection over its file's limit stops the save before any file changes, so the world on disk
// stays whole and a later save can still write the changed chunks.
TEST(WorldStateSave, ACollectionTooLargeForItsFileStopsTheSaveBeforeAnythingIsWritten) {
    testsupport::TempDir dir;
    App app;
    openWorld(app, dir.path());
    play(app);
    app.saveWorld();
    const std::optional<std::string> savedPlayer = platform::readFileBytes(dir.path() / filesave::kPlayerFile);
    ASSERT_TRUE(app.setBlock(6, 101, 7, 3));
    app.player.x = 20.0f;
    for (uint32_t i = 0; i <= filesave::kMaxRecords; ++i) app.entities.arrows.push_back(Arrow{});
    EXPECT_THROW(app.saveWorld(), std::runtime_error);
    EXPECT_EQ(platform::readFileBytes(dir.path() / filesave::kPlayerFile), savedPlayer);
    EXPECT_FALSE(app.world.modified.empty()) << "the changed chunk is still to be saved";

    app.entities.arrows.clear();
    app.saveWorld();
    App reopened;
    openWorld(reopened, dir.path());
    EXPECT_EQ(reopened.blockAt(6, 101, 7), 3);
    EXPECT_EQ(reopened.player.x, 20.0f);
}

TEST(WorldStateSave, ANameThatIsNotUtf8EndsTheOpenWithItsFileAndCause) {
    testsupport::TempDir dir;
    testsupport::writeFile(dir.path() / filesave::kWorldFile, "QUORVANE_WORLD 1\nname M\xfcnchen\nseed 1\ngeneration 4\n");
    App app;
    app.files.world = dir.path();
    EXPECT_EQ(failureOf([&] { app.loadWorld(); }),
              "Invalid world name in " + (dir.path() / filesave::kWorldFile).string() + ": not valid UTF-8");
}

TEST(WorldStateSave, AWorldOfAnotherGenerationOpensWithItsOwnTerrainAndChunkFiles) {
    testsupport::TempDir dir;
    testsupport::writeFile(dir.path() / filesave::kWorldFile, filesave::formatWorldFile({"Old", 99, 2}));
    testsupport::writeFile(dir.path() / filesave::kGenerationFile, R"({"terrain":"frozen"})");
    voxel::Chunk saved(0, 0);
    saved.cells[voxel::cellIndex(1, 2, 3)] = 3;
    filesave::writeChunk(dir.path(), 99, 2, saved);

    App app;
    openWorld(app, dir.path());
    EXPECT_EQ(app.generationStage, 2);
    EXPECT_EQ(app.files.seed, 99u);
    EXPECT_EQ(app.world.profile->terrain, "frozen");
    EXPECT_EQ(app.findChunk(0, 0)->cells, saved.cells);

    app.saveWorld();
    App again;
    openWorld(again, dir.path());
    EXPECT_EQ(again.generationStage, 2);
    EXPECT_EQ(again.world.profile->terrain, "frozen") << "the world keeps its profile across saves";
}

// The content may change between two sessions; each dimension's terrain goes on as the world began it.
TEST(WorldStateSave, EachDimensionKeepsTheProfileTheWorldFirstMetItWith) {
    testsupport::TempDir dir;
    const auto terrain = [](const std::string& kind) {
        return content::readTerrain(content::parseJsonText(R"({"terrain": ")" + kind + "\"}"));
    };
    {
        App app;
        app.rules.dimensions["test:frost"].profile = terrain("frozen");
        openWorld(app, dir.path());
        app.saveWorld();
    }
    App app;
    app.rules.dimensions["test:frost"].profile = terrain("sky");
    app.rules.dimensions["test:ash"].profile = terrain("ashen");
    openWorld(app, dir.path());
    app.saveWorld();
    App again;
    openWorld(again, dir.path());
    for (const auto& [dimension, kind] : {std::pair{"test:frost", "frozen"}, {"test:ash", "ashen"}}) {
        again.dimension = dimension;
        again.generateEnvironment();
        EXPECT_EQ(again.world.profile->terrain, kind)
            << dimension << ", stored though the content has it no more";
    }
}

TEST(WorldStateSave, AnUnreadableFileStopsTheOpenAndIsNeverOverwritten) {
    testsupport::TempDir dir;
    {
        App app;
        openWorld(app, dir.path());
        play(app);
        app.saveWorld();
    }
    const fs::path playerFile = dir.path() / filesave::kPlayerFile;
    std::string bytes = testsupport::readFile(playerFile);
    bytes.pop_back();
    testsupport::writeFile(playerFile, bytes);

    App app;
    EXPECT_EQ(failureOf([&] { openWorld(app, dir.path()); }),
              "Unreadable save file, left as it is: " + playerFile.string());
    app.saveWorld();
    app.autosave();
    filesave::backgroundWriter().drain();
    app.savePlayer();
    EXPECT_EQ(testsupport::readFile(playerFile), bytes);

    app.resetWorldState();
    EXPECT_FALSE(app.saves.readFailed) << "another world may be saved again";
}

// Chests, furnaces and filled structure chests as worlds were saved before records named their
// dimension: each is the overworld's, where a world opens.
TEST(WorldStateSave, RecordsSavedWithoutTheirDimensionOpenAsTheOverworlds) {
    testsupport::TempDir dir;
    ChestSlots slots{};
    slots[4] = {5, 17, 0};
    std::string chests = filesave::encodeChests({{"core:overworld", {{{2, 70, 2}, slots}}}});
    chests.replace(0, 6, "VXC072").erase(chests.find("core:overworld "), 15);
    testsupport::writeFile(dir.path() / filesave::kChestsFile, chests);
    std::string machines = filesave::encodeMachines({{"core:overworld", {{{3, 70, 3}, Machine{{}, 40, 5, 80}}}}});
    machines[4] = 1;
    testsupport::writeFile(dir.path() / filesave::kMachinesFile, machines.erase(12, 4 + 14));
    testsupport::writeFile(dir.path() / filesave::kLootStateFile, "QUORVANE_LOOT 1\n-40 66 12\nend\n");

    App app;
    openWorld(app, dir.path());
    ASSERT_EQ(app.dimension, "core:overworld");
    EXPECT_EQ((app.containers.chests.at("core:overworld").at({2, 70, 2})[4].count), 17);
    EXPECT_EQ((app.machines.at("core:overworld").at({3, 70, 3}).burnRemaining), 40);
    EXPECT_EQ(app.loot.filledChests, (std::set<DimensionCell>{{"core:overworld", {-40, 66, 12}}}));
}

namespace {

// Today's records under the names and tags a world was saved with before the renames: the player and
// inventory records unchanged in layout, the chests as the binary "QVCH" record, the quest log alone
// under "QVQL" and a version 1 progression whose experience never bought a level.
void writeEarlierWorld(const fs::path& dir) {
    testsupport::writeFile(dir / filesave::kWorldFile, filesave::formatWorldFile({"Old", 12345, 4}));
    filesave::InventoryRecord inventory;
    inventory.inventory.hotbar[2] = {40, 9, 1};
    inventory.inventory.selected = 2;
    testsupport::writeFile(dir / "inventory.dat", filesave::encodeInventory(inventory));
    filesave::PlayerRecord player;
    player.x = 12.5f, player.y = 80.0f, player.health = 13;
    testsupport::writeFile(dir / "player.dat", filesave::encodePlayer(player));

    std::string chests("QVCH\1\0\0\0\1\0\0\0", 12);
    const int32_t cell[3] = {2, 70, 2};
    chests.append(reinterpret_cast<const char*>(cell), 12);
    for (int k = 0; k < 27; ++k) {
        const int32_t values[2] = {k == 4 ? 17 : 0, 0};
        chests += static_cast<char>(k == 4 ? 5 : 0);
        chests.append(reinterpret_cast<const char*>(values), 8);
    }
    testsupport::writeFile(dir / "chests.dat", chests);

    adventure::PlayerStanding standing;
    standing.quests.completed.insert("first_steps");
    const std::string adventure = filesave::encodeAdventure(standing);
    testsupport::writeFile(dir / "quests.dat", std::string("QVQL\1\0\0\0", 8) + adventure.substr(20));

    std::string progression = filesave::encodeProgression(Progression{1, 250, {21, 0, 0, 0}, {8400, 0, 0, 0}});
    progression[4] = 1;
    progression.resize(progression.size() - 8);  // version 1 ends before the explored regions and biomes
    testsupport::writeFile(dir / filesave::kProgressionFile, progression);
}

void expectEarlierWorldRead(const App& app) {
    EXPECT_EQ(std::tuple(app.player.x, app.player.y, app.player.health), std::tuple(12.5f, 80.0f, 13));
    EXPECT_EQ(std::tuple(app.inventory.hotbar[2].count, app.inventory.heldBlock), std::tuple(9, 40));
    ASSERT_TRUE(cellsIn(app.containers.chests, app.dimension).contains({2, 70, 2}));
    EXPECT_EQ((app.containers.chests.at(app.dimension).at({2, 70, 2})[4].count), 17);
    EXPECT_TRUE(app.adventureState.standing.quests.completed.contains("first_steps"));
    EXPECT_EQ(app.adventureState.standing.copper, 0u);
    // 250 experience buys level 2 (100) and level 3 (140); the skill stops at its top level.
    const Progression& p = app.combat.progression;
    EXPECT_EQ(std::tuple(p.level, p.experience, p.skills[0]), std::tuple(3u, 10u, 20u));
}

}  // namespace

TEST(WorldStateSave, AWorldSavedUnderTheEarlierNamesOpensAndIsWrittenUnderThePresentOnes) {
    testsupport::TempDir dir;
    writeEarlierWorld(dir.path());
    const char* earlier[] = {"inventory.dat", "player.dat", "chests.dat", "quests.dat"};
    const char* present[] = {filesave::kInventoryFile, filesave::kPlayerFile, filesave::kChestsFile,
                             filesave::kAdventureFile};
    // An earlier file goes once a save has put its present file on the disk, and not before.
    const struct {
        const char* save;
        void (*run)(App&);
        std::vector<const char*> earlierLeft;
    } saves[] = {
        {"a window closed: the files that hold items, once the writer landed them",
         [](App& app) { app.openInventory(), app.closeScreen(), filesave::backgroundWriter().drain(); },
         {"player.dat", "quests.dat"}},
        // An autosave's files reach the disk later: the earlier ones stay until a save after them.
        {"an autosave", [](App& app) { app.autosave(), filesave::backgroundWriter().drain(); },
         {"player.dat", "quests.dat"}},
        {"the whole world", [](App& app) { app.saveWorld(), app.saveInventory(); }, {}},
    };
    {
        App app;
        openWorld(app, dir.path());
        expectEarlierWorldRead(app);
        for (const auto& each : saves) {
            SCOPED_TRACE(each.save);
            each.run(app);
            for (const char* name : earlier)
                EXPECT_EQ(fs::exists(dir.path() / name), std::ranges::count(each.earlierLeft, std::string_view(name)) == 1)
                    << name;
        }
        for (const char* name : present) EXPECT_TRUE(fs::exists(dir.path() / name)) << name;
    }
    EXPECT_EQ(testsupport::readFile(dir.path() / "voxel_chests.txt").substr(0, 7), "VXC073\n");
    EXPECT_EQ(testsupport::readFile(dir.path() / "voxel_world.bin").substr(0, 4), "QVPL");
    EXPECT_EQ(testsupport::readFile(dir.path() / "voxel_inventory.bin").substr(0, 4), "QVIN");
    App reopened;
    openWorld(reopened, dir.path());
    expectEarlierWorldRead(reopened);
}

TEST(WorldStateSave, ThePresentFileWinsOverAnEarlierOneLeftBeside) {
    testsupport::TempDir dir;
    writeEarlierWorld(dir.path());
    filesave::PlayerRecord player;
    player.x = -7.0f;
    testsupport::writeFile(dir.path() / filesave::kPlayerFile, filesave::encodePlayer(player));
    App app;
    openWorld(app, dir.path());
    EXPECT_EQ(app.player.x, -7.0f);
}

// One flipped byte anywhere in a state file (its records or its check line) keeps the world closed;
// before the files carried a check, a flip in the adventure file completed a quest at load.
TEST(WorldStateSave, AFlippedByteInAnyStateFileStopsTheOpen) {
    const char* files[] = {filesave::kBlockStatesFile, filesave::kInventoryFile,      filesave::kProgressionFile,
                           filesave::kAdventureFile,   filesave::kPlayerFile,         filesave::kPotionEffectsFile,
                           filesave::kDroppedItemsFile, filesave::kArrowsFile,        filesave::kMachinesFile,
                           filesave::kChestsFile,      filesave::kLootStateFile,      filesave::kBedFile,
                           filesave::kCropsFile,       filesave::kWaterFile,          filesave::kActorsFile,
                           filesave::kLivingStateFile};
    testsupport::TempDir saved;
    {
        App app;
        openWorld(app, saved.path());
        play(app);
        app.saveWorld();
    }
    for (const char* file : files) {
        const std::string bytes = testsupport::readFile(saved.path() / file);
        // The first byte, one in the records, the last of the records, one of the check's digits.
        for (const std::size_t at : {std::size_t{0}, bytes.size() / 2, bytes.size() - 24, bytes.size() - 2}) {
            SCOPED_TRACE(std::string(file) + " byte " + std::to_string(at));
            testsupport::TempDir dir;
            fs::copy(saved.path(), dir.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
            std::string damaged = bytes;
            damaged[at] = static_cast<char>(damaged[at] ^ 0x01);
            testsupport::writeFile(dir.path() / file, damaged);
            App app;
            EXPECT_EQ(failureOf([&] { openWorld(app, dir.path()); }),
                      "Unreadable save file, left as it is: " + (dir.path() / file).string());
            EXPECT_EQ(testsupport::readFile(dir.path() / file), damaged) << "left as it is";
        }
    }
}

// A world saved before its files carried a check opens as it was, and its next save adds the check.
TEST(WorldStateSave, AFileWithoutItsCheckOpensOnceAndIsSavedWithOne) {
    testsupport::TempDir dir;
    adventure::PlayerStanding standing;
    standing.copper = 777;
    standing.quests.completed.insert("first_steps");
    testsupport::writeFile(dir.path() / filesave::kAdventureFile, filesave::encodeAdventure(standing));
    App app;
    openWorld(app, dir.path());
    EXPECT_EQ(app.adventureState.standing.copper, 777u);
    app.saveWorld();
    const std::string saved = testsupport::readFile(dir.path() / filesave::kAdventureFile);
    EXPECT_EQ(saved, filesave::sealFile(filesave::encodeAdventure(app.adventureState.standing)));
}

// A save stopped after its commit point is finished when the world opens: the chest's gold and the
// pack's gold come from the same save.
TEST(WorldStateSave, ASaveStoppedAfterItsManifestIsFinishedWhenTheWorldOpens) {
    testsupport::TempDir dir;
    {
        App app;
        openWorld(app, dir.path());
        play(app);
        app.saveWorld();
    }
    App app;
    openWorld(app, dir.path());
    app.containers.chests[app.dimension][{2, 70, 2}][4].count = 14;
    app.inventory.main[0] = {5, 3, 0};
    filesave::setSaveStepHook([](std::string_view step) {
        if (step == "replace " + std::string(filesave::kChestsFile)) throw std::runtime_error("stopped");
    });
    EXPECT_EQ(failureOf([&] { app.saveWorld(); }), "stopped");
    filesave::setSaveStepHook(nullptr);
    EXPECT_TRUE(fs::exists(dir.path() / filesave::kManifestFile));
    App reopened;
    openWorld(reopened, dir.path());
    EXPECT_EQ(reopened.containers.chests.at(reopened.dimension).at({2, 70, 2})[4].count, 14);
    EXPECT_EQ(reopened.inventory.main[0].count, 3);
    EXPECT_FALSE(fs::exists(dir.path() / filesave::kManifestFile));
}
