#include <gtest/gtest.h>

#include "app/app.h"
#include "save/chunk_file.h"
#include "save/file_save.h"
#include "save/world_file.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

// An open world of one generated chunk, stored in a temporary folder.
class WorldSave : public testing::Test {
protected:
    WorldSave() {
        app.files.world = dir.path();
        app.files.worldOpen = true;
        app.files.seed = 777;
        app.files.worldName = U"Холмы";
        app.chunkRadius = 0;
        app.generateEnvironment();
    }

    testsupport::TempDir dir;
    App app;
};

}  // namespace

TEST_F(WorldSave, WritesChangedChunksAndTheWorldFileThenReadsThemBack) {
    ASSERT_TRUE(app.setBlock(3, 100, 4, 1));
    app.saveWorld();
    EXPECT_TRUE(app.world.modified.empty());

    const voxel::Chunk reread = voxel::loadOrGenerateChunk(dir.path(), 777, 4, 0, 0, app.world.profile);
    EXPECT_EQ(reread.cells, app.findChunk(0, 0)->cells);

    App other;
    other.files.world = dir.path();
    other.loadWorld();
    EXPECT_EQ(other.files.seed, 777u);
    EXPECT_EQ(other.files.worldName, U"Холмы");
    EXPECT_EQ(other.generationStage, 4);
}

TEST_F(WorldSave, AutosaveHandsTheFilesToTheBackgroundWriter) {
    ASSERT_TRUE(app.setBlock(1, 120, 1, 1));
    app.autosave();
    filesave::backgroundWriter().drain();
    EXPECT_TRUE(fs::exists(dir.path() / filesave::kWorldFile));
    const voxel::Chunk reread = voxel::loadOrGenerateChunk(dir.path(), 777, 4, 0, 0, app.world.profile);
    EXPECT_EQ(reread.cells, app.findChunk(0, 0)->cells);
    EXPECT_FALSE(filesave::snapshotActive()) << "snapshot mode ends with the autosave";
}

TEST_F(WorldSave, ABrokenWorldFileEndsTheLoad) {
    testsupport::writeFile(dir.path() / filesave::kWorldFile, "QUORVANE_WORLD 9\n");
    EXPECT_THROW(app.loadWorld(), std::runtime_error);
}
