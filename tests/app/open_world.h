#pragma once
// An open world stored in a temporary folder, a chunk window of radius 1 around the player in chunk
// (0, 0), and every background task held until the test runs it.
#include <gtest/gtest.h>

#include <cstdint>

#include "app/app.h"
#include "support/manual_tasks.h"
#include "support/temp_dir.h"

namespace apptest {

class OpenWorld : public testing::Test {
   protected:
    OpenWorld() : tasks(app.tasks) {
        app.files.world = dir.path();
        app.files.worldOpen = true;
        app.chunkRadius = 1;
        standIn(0, 0);
    }

    // Puts the player in the middle of chunk (cx, cz).
    void standIn(int32_t cx, int32_t cz) {
        app.player.x = 16.0f * static_cast<float>(cx) + 8.0f;
        app.player.z = 16.0f * static_cast<float>(cz) + 8.0f;
        app.player.chunkX = cx;
        app.player.chunkZ = cz;
    }

    testsupport::TempDir dir;
    App app;
    testsupport::ManualTasks tasks;
};

}  // namespace apptest
