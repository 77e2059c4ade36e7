#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>

#include "app/app.h"
#include "save/chunk_file.h"
#include "save/world_file.h"
#include "save/world_state_files.h"
#include "support/fresh_registry.h"
#include "support/manual_tasks.h"
#include "support/temp_dir.h"
#include "world/block_registry.h"

namespace fs = std::filesystem;

namespace {

// The menus' world sessions in one App without a window: worlds live under a temporary base.
class WorldSession : public testsupport::FreshRegistryTest {
protected:
    static constexpr uint8_t kChest = 20;

    void SetUp() override {
        FreshRegistryTest::SetUp();
        voxel::BlockDef chest = testsupport::namedBlock("test:chest");
        chest.behavior = "chest";
        voxel::registerBlock(kChest, chest);
        app.useBaseDirectory(dir.path() / "game");
        app.chunkRadius = 0;
    }

    // Writes chunk (cx, cz) of the seed-5 world in `folder` with one byte flipped past its header, so
    // that its checksum fails; returns the file and its bytes.
    std::pair<fs::path, std::string> writeDamagedChunk(const fs::path& folder, int32_t cx, int32_t cz) {
        std::string damaged = filesave::encodeChunk(5, app.generationStage, voxel::Chunk(cx, cz));
        damaged[40] ^= 0x20;
        const fs::path file = filesave::chunkFilePath(folder, cx, cz);
        testsupport::writeFile(file, damaged);
        return {file, damaged};
    }

    // Everything that is in the game root apart from the saves.
    std::vector<std::string> rootEntriesBesideSaves() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(app.files.base))
            if (entry.path().filename() != "Saves") names.push_back(entry.path().filename().string());
        return names;
    }

    testsupport::TempDir dir;
    App app;
};

}  // namespace

TEST_F(WorldSession, ANewWorldLivesUnderTheSavesWithItsRecordAndProfile) {
    app.createWorld(U"Остров", 4242);
    const fs::path folder = app.files.base / "Saves" / "world_1";
    EXPECT_EQ(app.files.world, folder);
    EXPECT_TRUE(app.files.worldOpen);
    EXPECT_EQ(app.ui.screen, UiState::kPlaying);
    const auto record = filesave::parseWorldFile(testsupport::readFile(folder / "world.txt"));
    ASSERT_TRUE(record);
    EXPECT_EQ(std::tuple(record->name, record->seed), std::tuple("Остров", 4242u));
    EXPECT_TRUE(fs::exists(folder / "generation.json"));
    EXPECT_TRUE(rootEntriesBesideSaves().empty()) << "nothing is written into the game root";

    app.leaveWorld();
    app.createWorld(U"Второй", 1);
    EXPECT_EQ(app.files.world, app.files.base / "Saves" / "world_2");
}

TEST_F(WorldSession, LeavingSavesAndResetsAndTheWorldComesBackAsItWasLeft) {
    app.createWorld(U"Мир", 99);
    const fs::path folder = app.files.world;
    app.player.x = 5.5f, app.player.y = 101.0f, app.player.z = 6.25f;
    ASSERT_TRUE(app.setBlock(2, 110, 3, 3));
    ASSERT_TRUE(app.setBlock(1, 111, 1, kChest));
    app.containers.chests[app.dimension][{1, 111, 1}][0] = {5, 17, 0};
    app.player.health = 7;
    app.clock.tick = 500;

    app.leaveWorld();
    EXPECT_FALSE(app.files.worldOpen);
    EXPECT_EQ(app.ui.screen, UiState::kMainMenu);
    EXPECT_TRUE(app.world.chunks.empty());
    EXPECT_TRUE(app.containers.chests.empty());
    EXPECT_EQ(std::tuple(app.player.x, app.player.health, app.clock.tick), std::tuple(8.0f, 20, 0u));
    ASSERT_EQ(app.ui.worlds.size(), 1u);
    EXPECT_EQ(app.ui.worlds[0].name, U"Мир");
    EXPECT_EQ(app.ui.selectedWorld, 0);

    app.openWorld(folder);
    EXPECT_TRUE(app.files.worldOpen);
    EXPECT_EQ(app.files.seed, 99u);
    EXPECT_EQ(std::tuple(app.player.x, app.player.z, app.player.health), std::tuple(5.5f, 6.25f, 7));
    EXPECT_EQ(std::tuple(app.blockAt(2, 110, 3), app.blockAt(1, 111, 1)), std::tuple(uint8_t{3}, kChest));
    ASSERT_TRUE(cellsIn(app.containers.chests, app.dimension).contains({1, 111, 1}));
    EXPECT_EQ(app.containers.chests.at(app.dimension).at({1, 111, 1})[0].count, 17);
}

TEST_F(WorldSession, DeletingMovesTheSelectedWorldToBackups) {
    app.createWorld(U"Один", 1);
    app.leaveWorld();
    app.createWorld(U"Два", 2);
    app.leaveWorld();
    ASSERT_EQ(app.ui.worlds.size(), 2u);
    EXPECT_EQ(app.ui.selectedWorld, 1) << "the world just left stays selected";
    app.runMenuAction(ui::MenuAction::ConfirmDelete);
    EXPECT_EQ(app.ui.screen, 5);
    ASSERT_EQ(app.ui.worlds.size(), 1u);
    EXPECT_EQ(app.ui.worlds[0].name, U"Один");
    EXPECT_EQ(app.ui.selectedWorld, 0);
    EXPECT_TRUE(fs::exists(app.files.base / "Backups" / "DeletedWorlds" / "world_2" / "world.txt"));
}

TEST_F(WorldSession, TheFormCreatesOnlyWithAValidSeed) {
    app.runMenuAction(ui::MenuAction::OpenNewWorld);
    EXPECT_EQ(app.ui.screen, 6);
    app.onChar(nullptr, U'М');
    app.onKey(nullptr, 258, 0, 1, 0);  // Tab
    for (const char32_t c : std::u32string(U"4294967296")) app.onChar(nullptr, c);
    app.runMenuAction(ui::MenuAction::CreateWorld);
    EXPECT_TRUE(app.ui.newWorld.seedError) << "above 32 bits";
    EXPECT_FALSE(app.files.worldOpen);
    app.onKey(nullptr, 259, 0, 1, 0);  // Backspace
    app.onChar(nullptr, U'5');
    app.runMenuAction(ui::MenuAction::CreateWorld);
    EXPECT_TRUE(app.files.worldOpen);
    EXPECT_EQ(app.files.seed, 4294967295u);
    EXPECT_EQ(app.files.worldName, U"М");
}

TEST_F(WorldSession, AWorldThatCannotBeReadStaysInTheListUntouched) {
    app.createWorld(U"Мир", 5);
    const fs::path folder = app.files.world;
    app.leaveWorld();
    testsupport::writeFile(folder / filesave::kPlayerFile, "QVPL");  // cut short
    app.runMenuAction(ui::MenuAction::OpenWorldList);
    app.runMenuAction(ui::MenuAction::PlaySelected);
    EXPECT_FALSE(app.files.worldOpen);
    EXPECT_EQ(app.ui.screen, 5) << "the player stays in the list";
    EXPECT_NE(app.ui.toast.text.find(U"Unreadable save file"), std::u32string::npos);
    app.saveWorld();  // refused: nothing is written over what the player may still recover
    EXPECT_EQ(testsupport::readFile(folder / filesave::kPlayerFile), "QVPL");
}

// A damaged chunk file in the first listed world: start-up sets that world aside with the file's
// message as its toast and leaves the file as it was; the list still holds both worlds, the first
// refuses to open from it with the same message, and the second opens.
TEST_F(WorldSession, AtStartUpADamagedChunkSetsTheFirstWorldAsideAndTheSecondStillOpens) {
    app.createWorld(U"Первый", 5);
    const fs::path first = app.files.world;
    app.leaveWorld();
    app.createWorld(U"Второй", 6);
    const fs::path second = app.files.world;
    app.leaveWorld();
    const auto [file, damaged] = writeDamagedChunk(first, 0, 0);
    const std::u32string message = ui::utf8ToUtf32("Damaged chunk file (checksum mismatch): " + file.string());

    app.openStartupWorld();
    EXPECT_EQ(app.ui.toast.text, message);
    EXPECT_NE(app.files.world, first);
    EXPECT_FALSE(app.saves.readFailed) << "the fresh view behind the menu";
    ASSERT_EQ(app.ui.worlds.size(), 2u);

    app.ui.toast.text.clear();
    app.runMenuAction(ui::MenuAction::OpenWorldList);
    app.ui.selectedWorld = 0;
    app.runMenuAction(ui::MenuAction::PlaySelected);
    EXPECT_FALSE(app.files.worldOpen);
    EXPECT_EQ(app.ui.toast.text, message);
    app.saveWorld();  // refused: the damaged world is not written over
    EXPECT_EQ(testsupport::readFile(file), damaged);

    app.ui.selectedWorld = 1;
    app.runMenuAction(ui::MenuAction::PlaySelected);
    EXPECT_TRUE(app.files.worldOpen);
    EXPECT_EQ(app.files.world, second);
    EXPECT_EQ(app.files.worldName, U"Второй");
    EXPECT_FALSE(app.saves.readFailed) << "the second world is saved as usual";
}

TEST_F(WorldSession, ContinueOpensTheWorldSavedLast) {
    app.runMenuAction(ui::MenuAction::ContinueWorld);
    EXPECT_EQ(app.ui.toast.text, U"НЕТ МИРОВ");
    EXPECT_FALSE(app.files.worldOpen);
    app.createWorld(U"Один", 1);
    app.leaveWorld();
    app.createWorld(U"Два", 2);
    app.leaveWorld();
    const fs::path first = app.files.base / "Saves" / "world_1" / "world.txt";
    fs::last_write_time(first, fs::last_write_time(first) + std::chrono::hours(1));
    app.runMenuAction(ui::MenuAction::ContinueWorld);
    EXPECT_TRUE(app.files.worldOpen);
    EXPECT_EQ(app.files.worldName, U"Один");
}

// A damaged chunk file far from spawn: the world plays until the window reaches it, then closes
// with nothing written over its files, and the menu shows the message as at start-up.
TEST_F(WorldSession, ADamagedChunkMetWhileWalkingClosesTheWorldAndKeepsItsFiles) {
    app.createWorld(U"Мир", 5);
    const fs::path folder = app.files.world;
    app.leaveWorld();
    const auto [file, damaged] = writeDamagedChunk(folder, 5, 0);
    const std::string playerBytes = testsupport::readFile(folder / filesave::kPlayerFile);
    app.runMenuAction(ui::MenuAction::OpenWorldList);
    app.runMenuAction(ui::MenuAction::PlaySelected);
    ASSERT_TRUE(app.files.worldOpen) << "spawn is far from the damaged chunk";
    testsupport::ManualTasks tasks(app.tasks);

    const auto walkTo = [&](float x) {
        app.player.x = x, app.player.z = 8.0f;
        for (int frame = 0; frame < 4 && app.files.worldOpen; ++frame) {
            app.streamOpenWorld();
            tasks.runAll();
        }
    };
    walkTo(4.0f * 16.0f + 8.0f);  // chunk (4, 0), beside it
    EXPECT_TRUE(app.files.worldOpen);
    EXPECT_NE(app.findChunk(4, 0), nullptr);
    walkTo(5.0f * 16.0f + 8.0f);
    EXPECT_FALSE(app.files.worldOpen);
    EXPECT_EQ(app.ui.screen, UiState::kMainMenu);
    EXPECT_EQ(app.ui.toast.text, ui::utf8ToUtf32("Damaged chunk file (checksum mismatch): " + file.string()));
    EXPECT_TRUE(app.world.chunks.empty());
    EXPECT_EQ(testsupport::readFile(file), damaged);
    EXPECT_EQ(testsupport::readFile(folder / filesave::kPlayerFile), playerBytes) << "the walk was not saved";
    ASSERT_EQ(app.ui.worlds.size(), 1u) << "the world stays in the list";
    EXPECT_EQ(app.ui.worlds[0].directory, folder);
}

// A bed reaching over the chunk border into a chunk whose file is damaged: the edit stops before any
// cell changes, the world becomes unreadable, and the hands' step closes it as walking into the
// chunk does, with nothing written over its files.
TEST_F(WorldSession, ADamagedChunkReadForAnEditClosesTheWorldAndKeepsItsFiles) {
    app.createWorld(U"Мир", 5);
    const fs::path folder = app.files.world;
    app.leaveWorld();
    const auto [file, damaged] = writeDamagedChunk(folder, 1, 0);
    const std::string message = "Damaged chunk file (checksum mismatch): " + file.string();
    const std::string playerBytes = testsupport::readFile(folder / filesave::kPlayerFile);
    app.runMenuAction(ui::MenuAction::OpenWorldList);
    app.runMenuAction(ui::MenuAction::PlaySelected);
    ASSERT_TRUE(app.files.worldOpen);
    ASSERT_EQ(app.findChunk(1, 0), nullptr);
    BlockEdit bed;
    bed.x = 15, bed.y = 100, bed.z = 3;
    bed.ids[1] = bed.secondIds[1] = 3;
    bed.hasSecond = true;
    bed.dx = 1;
    const uint8_t before = app.blockAt(15, 100, 3);

    try {
        app.placeTwoPartBlock(bed, 1);
        ADD_FAILURE() << "the damaged chunk was not raised";
    } catch (const std::runtime_error& failure) {
        EXPECT_EQ(failure.what(), message);
    }
    EXPECT_TRUE(app.saves.readFailed);
    EXPECT_EQ(app.blockAt(15, 100, 3), before) << "nothing of the edit is set";
    EXPECT_EQ(app.findChunk(1, 0), nullptr);

    app.runOpenWorldStep([&] { app.placeTwoPartBlock(bed, 1); });
    EXPECT_FALSE(app.files.worldOpen);
    EXPECT_EQ(app.ui.screen, UiState::kMainMenu);
    EXPECT_EQ(app.ui.toast.text, ui::utf8ToUtf32(message));
    EXPECT_TRUE(app.world.chunks.empty());
    EXPECT_EQ(testsupport::readFile(file), damaged);
    EXPECT_EQ(testsupport::readFile(folder / filesave::kPlayerFile), playerBytes) << "nothing was saved";
}

// Every world folder left out: the list and Continue say how many and why instead of "НЕТ МИРОВ".
TEST_F(WorldSession, WhenEveryWorldIsLeftOutTheMenusSayWhy) {
    fs::create_directories(app.files.saves / "world_1");
    testsupport::writeFile(app.files.saves / "world_2" / "world.txt", "QUORVANE_WORLD 1\n");
    app.runMenuAction(ui::MenuAction::ContinueWorld);
    EXPECT_FALSE(app.files.worldOpen);
    EXPECT_EQ(app.ui.toast.text, U"ОТЛОЖЕНО МИРОВ: 2, ИХ ФАЙЛЫ НЕ ЧИТАЮТСЯ");
    app.runMenuAction(ui::MenuAction::OpenWorldList);
    EXPECT_TRUE(app.ui.worlds.empty());
    EXPECT_EQ(app.saves.worldListProblems, (std::vector<std::string>{"world_1: world.txt is missing",
                                                                     "world_2: world.txt is damaged or cut short"}));
}
