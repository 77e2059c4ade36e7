// The player's edit record: what it keeps for undo, the sound it plays and the files it saves.
#include <gtest/gtest.h>

#include "save/save_set.h"
#include "save/chunk_file.h"
#include "save/file_save.h"
#include "save/world_state_files.h"
#include "world/loaded_world.h"

namespace fs = std::filesystem;

namespace {

using worldtest::door;
using worldtest::lantern;
using worldtest::stone;

class WorldEdits : public worldtest::LoadedWorld {
   protected:
    void SetUp() override {
        LoadedWorld::SetUp();
        load(0, 0);
        forgetChanges();
    }
    void TearDown() override {
        app.mixer.running = false;  // no mixer thread was started to be joined
        app.lan.networked = false;
        LoadedWorld::TearDown();
    }
};

// No autosave runs here: what is on disk was written by the edit itself, once the writer landed it.
TEST_F(WorldEdits, AnEditIsSavedOnlyInAWorldOfOurOwn) {
    const struct {
        const char* name;
        bool worldOpen, lanGuest, written;
    } cases[] = {
        {"no world open", false, false, false},
        {"the session's world of a LAN guest", true, true, false},
        {"an open world", true, false, true},
    };
    const fs::path chunkFile = filesave::chunkFilePath(worldDir.path(), 0, 0);
    const fs::path statesFile = worldDir.path() / filesave::kBlockStatesFile;
    const fs::path inventoryFile = worldDir.path() / filesave::kInventoryFile;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        app.files.worldOpen = c.worldOpen;
        app.lan.networked = c.lanGuest;
        app.inventory.hotbar[0] = {stone, 7, 0};
        app.editBlock(3, 70, 4, lantern, 2);
        filesave::backgroundWriter().drain();
        for (const fs::path& file : {chunkFile, statesFile, inventoryFile})
            ASSERT_EQ(fs::exists(file), c.written);
        EXPECT_EQ(app.world.modified.empty(), c.written);
    }
    const voxel::Chunk chunk = filesave::decodeChunk(testsupport::readFile(chunkFile), app.files.seed,
                                                     app.generationStage, 0, 0, chunkFile);
    EXPECT_EQ(chunk.get(3, 70, 4), lantern);
    EXPECT_EQ(chunk.states.at(voxel::cellIndex(3, 70, 4)), 2);
    const auto states =
        filesave::decodeBlockStates(filesave::unsealFile(testsupport::readFile(statesFile)).value_or(""));
    EXPECT_EQ(states.value().at({3, 70, 4}).state, 2);
    EXPECT_EQ(
        filesave::decodeInventory(filesave::unsealFile(testsupport::readFile(inventoryFile)).value_or(""))
            .value()
            .inventory.hotbar[0]
            .count,
        7);
}

// The ears are 8 blocks to the +z side of the cell's centre, looking along +x (+z on the right), so
// a sound comes at half its level from the left.
TEST_F(WorldEdits, PlacingAndBreakingPlayTheirSoundAtTheBlockOnlyWhileAnOutputRuns) {
    app.player.x = 3.5f, app.player.y = 70.5f, app.player.z = 12.5f, app.player.yaw = 0.0f;
    const std::vector<audio::Sound> definitions = {{"core:block.place", {9, 9}, 0.5f},
                                                   {"core:block.break", {9, 9}, 1.0f}};
    const struct {
        const char* name;
        bool running, defined;
        uint8_t id;
        const char* heard;  // null: nothing plays
        float gain;
    } cases[] = {
        {"no output", false, true, stone, nullptr, 0.0f},
        {"placed", true, true, stone, "core:block.place", 0.25f},
        {"broken", true, true, voxel::airId, "core:block.break", 0.5f},
        {"no such sound defined", true, false, stone, nullptr, 0.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        app.mixer.sounds = c.defined ? definitions : std::vector<audio::Sound>{};
        app.mixer.running = c.running;
        app.mixer.voices.clear();
        app.editBlock(3, 70, 4, c.id, 0);
        EXPECT_EQ(app.blockAt(3, 70, 4), c.id) << "the edit stands, heard or not";
        ASSERT_EQ(app.mixer.voices.size(), c.heard ? 1u : 0u);
        if (!c.heard) continue;
        EXPECT_EQ(app.mixer.voices[0].sound->id, c.heard);
        EXPECT_FLOAT_EQ(app.mixer.voices[0].gain, c.gain);
        EXPECT_FLOAT_EQ(app.mixer.voices[0].pan, -1.0f);
    }
}

TEST_F(WorldEdits, UsingADoorIsAnEditOfTheHalvesItHas) {
    app.editBlock(8, 64, 8, door, 1);
    ASSERT_TRUE(app.useBlock(8, 64, 8));
    const BlockEdit& opened = app.world.undo.back();
    EXPECT_EQ(app.world.undo.size(), 2u);
    EXPECT_EQ(opened.states[0] * 100 + opened.states[1], 105u);
    ASSERT_TRUE(opened.hasSecond);
    EXPECT_EQ(opened.secondStates[0] * 100 + opened.secondStates[1], 913u);
    EXPECT_EQ(app.findBlockEntity(8, 65, 8), 13);

    // A lone lower half under a block opens alone and leaves the block above it standing.
    app.setBlock(10, 64, 10, door);
    app.setBlock(10, 65, 10, stone);
    ASSERT_TRUE(app.useBlock(10, 64, 10));
    EXPECT_EQ(app.findBlockEntity(10, 64, 10), voxel::stateOpen);
    EXPECT_EQ(app.blockAt(10, 65, 10), stone);
    EXPECT_FALSE(app.world.undo.back().hasSecond);
}

}  // namespace
