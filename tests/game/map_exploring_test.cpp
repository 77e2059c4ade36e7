// The App's world map: what the player explores and edits reaches the current dimension's map, a
// portal found near the player becomes one marker, and the map file is read when first needed.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/file_read.h"
#include "save/map_file.h"
#include "world/loaded_world.h"

namespace {

using worldtest::stone;

constexpr uint8_t kPortal = 20;

class ExploredMap : public worldtest::LoadedWorld {
   protected:
    void SetUp() override {
        LoadedWorld::SetUp();
        worldtest::addBlock(kPortal, "portal", false, false);
        app.files.worldOpen = true;
        app.player.x = 8.0f, app.player.z = 8.0f;
    }
    void recordAll() {
        for (int frame = 0; frame < 32; ++frame) app.updateWorldMap();
    }
    std::filesystem::path mapFile() const { return worldDir.path() / "core:overworld.map140.txt"; }
};

TEST_F(ExploredMap, ExploredGroundAndLaterEditsShowTheirTopBlocks) {
    load(0, 0);
    load(9, 9);  // loaded, but far from the player
    recordAll();
    EXPECT_EQ(app.currentMap().chunks.size(), 1u);
    EXPECT_EQ(game::columnColour(app.currentMap(), 3, 3), app.blockColour(stone, 63));
    ASSERT_TRUE(app.setBlock(3, 64, 3, worldtest::leaves));
    ASSERT_TRUE(app.setBlock(150, 64, 150, worldtest::leaves));
    recordAll();
    EXPECT_EQ(game::columnColour(app.currentMap(), 3, 3), app.blockColour(worldtest::leaves, 64));
    EXPECT_FALSE(app.currentMap().chunks.contains({9, 9})) << "an edit does not explore a chunk";
    EXPECT_TRUE(app.maps.view.queue.empty() && app.maps.view.queued.empty());
}

TEST_F(ExploredMap, APortalOfSeveralBlocksIsOneMarkerOfTheCurrentMap) {
    load(0, 0);
    for (int32_t y = 64; y < 67; ++y) ASSERT_TRUE(app.setBlock(5, y, 9, kPortal));
    app.updatePortals();
    app.clock.tick += 20;
    app.updatePortals();
    const std::vector<game::MapMarker> expected{{5, 64, 9, game::kPortalMarker, "ПОРТАЛ"}};
    EXPECT_EQ(app.currentMap().markers, expected) << "a portal without a name is called a portal";
    EXPECT_TRUE(app.currentMap().dirty);
}

TEST_F(ExploredMap, TheMapFileIsReadWhenFirstNeededAndADamagedOneIsNeverWrittenOver) {
    game::WorldMap stored;
    game::addMarker(stored, {1, 2, 3, 2, "HOME"});
    testsupport::writeFile(mapFile(), filesave::encodeMap(stored));
    EXPECT_TRUE(app.maps.cache.empty());
    EXPECT_EQ(app.currentMap(), stored);
    EXPECT_EQ(app.maps.directory, worldDir.path());

    app.dimension = "core:ash";
    const auto damaged = worldDir.path() / "core:ash.map140.txt";
    testsupport::writeFile(damaged, "QUORVANE_MAP140\nchunks 1\n");
    EXPECT_TRUE(app.currentMap().refused);
    game::addMarker(app.currentMap(), {0, 0, 0, 0, "P"});
    game::addMarker(app.maps.cache.at("core:overworld"), {4, 4, 4, 3, "NEW"});
    app.saveMap();
    EXPECT_EQ(platform::readFileBytes(damaged), "QUORVANE_MAP140\nchunks 1\n");
    const auto other = filesave::decodeMap(platform::readFileBytes(mapFile()).value_or(""));
    ASSERT_TRUE(other) << "the other dimension's changed map is written too";
    EXPECT_EQ(other->markers.size(), 2u);
}

}  // namespace
