// The player's edit record: what it keeps for undo, the sound it plays and the files it writes at once.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "save/chunk_file.h"
#include "save/world_state_files.h"
#include "support/temp_dir.h"
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
        app.mixer.running = false;
        app.lan.networked = false;
        LoadedWorld::TearDown();
    }
    template <typename T>
    std::optional<T> saved(const char* name, std::optional<T> (*decode)(const std::string&)) {
        const fs::path path = worldDir.path() / name;
        if (!fs::exists(path)) return std::nullopt;
        return decode(testsupport::readFile(path));
    }
};

// No autosave runs in these tests: what is on disk was written by the edit itself.
TEST_F(WorldEdits, AnEditIsOnDiskAtOnceInAWorldOfOurOwn) {
    const struct {
        const char* name;
        bool worldOpen, lanGuest, written;
    } cases[] = {
        {"no world open", false, false, false},
        {"the session's world of a LAN guest", true, true, false},
        {"an open world", true, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        app.files.worldOpen = c.worldOpen;
        app.lan.networked = c.lanGuest;
        app.inventory.hotbar[0] = {stone, 7, 0};
        app.editBlock(3, 70, 4, lantern, 2);
        const fs::path chunkPath = filesave::chunkFilePath(worldDir.path(), 0, 0);
        ASSERT_EQ(fs::exists(chunkPath), c.written);
        const auto states = saved(filesave::kBlockStatesFile, filesave::decodeBlockStates);
        const auto inventory = saved(filesave::kInventoryFile, filesave::decodeInventory);
        ASSERT_EQ(states.has_value(), c.written);
        ASSERT_EQ(inventory.has_value(), c.written);
        EXPECT_EQ(app.world.modified.empty(), c.written);
        if (!c.written) continue;
        const voxel::Chunk chunk = filesave::decodeChunk(testsupport::readFile(chunkPath), app.files.seed,
                                                         app.generationStage, 0, 0, chunkPath);
        EXPECT_EQ(chunk.get(3, 70, 4), lantern);
        ASSERT_FALSE(chunk.states.empty());
        EXPECT_EQ(chunk.states[voxel::cellIndex(3, 70, 4)], 2);
        ASSERT_TRUE(states->contains({3, 70, 4}));
        EXPECT_EQ(states->at({3, 70, 4}).id, lantern);
        EXPECT_EQ(states->at({3, 70, 4}).state, 2);
        EXPECT_EQ(inventory->inventory.hotbar[0].count, 7);
    }
}

// The player's ears are 8 blocks to the +z side of the edited cell's centre, looking along +x (+z is
// on the right), so the effect comes at half its level from the left.
TEST_F(WorldEdits, PlacingAndBreakingPlayTheirSoundAtTheBlockOnlyWhileAnOutputRuns) {
    app.player.x = 3.5f, app.player.y = 70.5f, app.player.z = 12.5f, app.player.yaw = 0.0f;
    app.mixer.sounds = {{"core:block.place", {100, 100}, 0.5f}, {"core:block.break", {100, 100}, 1.0f}};
    const struct {
        const char* name;
        bool running;
        uint8_t id;
        const char* heard;  // null: nothing plays
        float gain;
    } cases[] = {
        {"no output", false, stone, nullptr, 0.0f},
        {"placed", true, stone, "core:block.place", 0.25f},
        {"broken", true, voxel::airId, "core:block.break", 0.5f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        app.mixer.running = c.running;
        app.mixer.voices.clear();
        app.editBlock(3, 70, 4, c.id, 0);
        ASSERT_EQ(app.mixer.voices.size(), c.heard ? 1u : 0u);
        if (!c.heard) continue;
        EXPECT_EQ(app.mixer.voices[0].sound->id, c.heard);
        EXPECT_FLOAT_EQ(app.mixer.voices[0].gain, c.gain);
        EXPECT_FLOAT_EQ(app.mixer.voices[0].pan, -1.0f);
    }
    app.mixer.sounds.clear();
    app.mixer.voices.clear();
    app.editBlock(3, 70, 4, stone, 0);
    EXPECT_TRUE(app.mixer.voices.empty()) << "a sound missing from the definitions plays nothing";
    EXPECT_EQ(app.blockAt(3, 70, 4), stone) << "and the edit stands";
}

TEST_F(WorldEdits, UsingADoorIsAnEditOfTheHalvesItHas) {
    app.editBlock(8, 64, 8, door, 1);
    ASSERT_TRUE(app.useBlock(8, 64, 8));
    const BlockEdit opened = app.world.undo.back();
    EXPECT_EQ(app.world.undo.size(), 2u);
    EXPECT_EQ(opened.ids[0], door);
    EXPECT_EQ(opened.ids[1], door);
    EXPECT_EQ(opened.states[0], 1u);
    EXPECT_EQ(opened.states[1], 5u);
    ASSERT_TRUE(opened.hasSecond);
    EXPECT_EQ(opened.dy, 1);
    EXPECT_EQ(opened.secondStates[0], 9u);
    EXPECT_EQ(opened.secondStates[1], 13u);
    EXPECT_EQ(app.findBlockEntity(8, 65, 8), 13);

    // A lone lower half under a block opens alone and leaves the block above it standing.
    app.setBlock(10, 64, 10, door);
    app.setBlockState(10, 64, 10, 0);
    app.setBlock(10, 65, 10, stone);
    ASSERT_TRUE(app.useBlock(10, 64, 10));
    EXPECT_EQ(app.findBlockEntity(10, 64, 10), voxel::stateOpen);
    EXPECT_EQ(app.blockAt(10, 65, 10), stone);
    EXPECT_FALSE(app.world.undo.back().hasSecond);
}

}  // namespace
