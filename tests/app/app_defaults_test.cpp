#include <gtest/gtest.h>

#include <bit>
#include <cstring>

#include "app/app.h"

TEST(AppDefaults, FreshAppIsInTheMainMenuWithItsStartingValues) {
    App app;
    EXPECT_TRUE(app.ui.menuOpen);
    EXPECT_EQ(app.ui.screen, 1);
    EXPECT_EQ(app.ui.returnScreen, 1);
    EXPECT_FALSE(app.files.worldOpen);
    EXPECT_EQ(app.files.seed, 12345u);
    EXPECT_EQ(app.files.worldName, U"НОВЫЙ МИР");
    EXPECT_EQ(app.files.base, app.files.root);
    EXPECT_EQ(app.files.saves, app.files.root / "Saves");
    EXPECT_EQ(app.files.world, app.files.root);

    EXPECT_EQ(std::bit_cast<uint32_t>(app.player.yaw), 0xBFC90FDAu);
    EXPECT_FLOAT_EQ(app.player.pitch, -0.24f);
    EXPECT_FLOAT_EQ(app.player.x, 8.0f);
    EXPECT_FLOAT_EQ(app.player.y, 83.0f);
    EXPECT_FLOAT_EQ(app.player.z, 29.0f);
    EXPECT_FLOAT_EQ(app.player.lightFade, 0.28f);
    EXPECT_EQ(app.player.health, 20);
    EXPECT_EQ(app.player.food, (std::array<int32_t, 4>{20, 0, 0, 0}));
    EXPECT_EQ(app.player.air, 300);
    EXPECT_EQ(app.player.stamina, 100.0);
    EXPECT_EQ(app.player.chunkX, INT32_MIN);
    EXPECT_TRUE(app.player.resetMouseLook);

    const uint8_t starter[9] = {1, 2, 3, 4, 7, 0, 0, 0, 0};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(app.inventory.hotbar[i].id, starter[i]) << i;
        EXPECT_EQ(app.inventory.hotbar[i].count, starter[i] ? 64 : 0) << i;
        EXPECT_EQ(app.inventory.hotbar[i].wear, 0);
    }
    EXPECT_EQ(app.inventory.selected, 1);
    EXPECT_EQ(app.inventory.heldBlock, 2);

    EXPECT_EQ(app.clock.timeOfDay, 13440);
    EXPECT_EQ(app.clock.tick, 0u);
    EXPECT_EQ(app.chunkRadius, 6);
    EXPECT_EQ(app.lastUnloadRadius, 3);
    EXPECT_EQ(app.generationStage, 4);
    EXPECT_EQ(app.dimension, "core:overworld");
    EXPECT_EQ(app.environmentProgressStart, 10);
    EXPECT_EQ(app.environmentProgressEnd, 50);
    EXPECT_EQ(app.gpu.depthFormat, VK_FORMAT_D32_SFLOAT);
}

TEST(AppDefaults, SettingsVolumesAndSession) {
    App app;
    EXPECT_EQ(app.settings.visualEffects, (std::array<int32_t, 6>{1, 1, 2, 1, 2, 2}));
    const int32_t graphics[14] = {app.settings.chunkRadius,     app.settings.smoothLight,
                                  app.settings.cornerShadows,   app.settings.textureRelief,
                                  app.settings.textureSmoothing, app.settings.waterWaves,
                                  app.settings.skyReflection,   app.settings.waterTransparency,
                                  app.settings.fog,             app.settings.brightness,
                                  app.settings.saturation,      app.settings.contrast,
                                  app.settings.skyAndClouds,    app.settings.verticalSync};
    const int32_t expected[14] = {6, 1, 1, 2, 2, 2, 2, 2, 2, 100, 105, 105, 2, 1};
    EXPECT_EQ(0, std::memcmp(graphics, expected, sizeof expected));
    EXPECT_EQ(app.volumes.master, 70);
    EXPECT_EQ(app.volumes.effects, 80);
    EXPECT_EQ(app.volumes.ambient, 50);
    EXPECT_FLOAT_EQ(app.mixer.masterVolume, 0.7f);
    EXPECT_FLOAT_EQ(app.mixer.effectsVolume, 0.8f);
    EXPECT_FLOAT_EQ(app.mixer.ambientVolume, 0.5f);
    EXPECT_FALSE(app.mixer.running);

    EXPECT_EQ(app.lan.serverToLocal[37], 37u);
    EXPECT_EQ(app.lan.localToServer[37], 37u);
    EXPECT_EQ(app.lan.localToServer[255], 255u);
    EXPECT_EQ(app.lan.connection.peerSocket, -1);
    EXPECT_EQ(app.lan.formAddress, "127.0.0.1");
    EXPECT_EQ(app.lan.formPort, "29810");
    EXPECT_EQ(app.lan.playerName, "ИГРОК");
    EXPECT_FALSE(app.lan.networked);
}

TEST(AppDefaults, ReadsTheShippedPlayerModel) {
    App app;
    ASSERT_FALSE(app.playerMesh.empty());
    EXPECT_EQ(app.playerMesh.size() % 3, 0u);
    app.splitPlayerModel();
    const size_t once = app.playerMesh.size();
    app.splitPlayerModel();
    EXPECT_EQ(app.playerMesh.size(), once) << "the cut runs once per App";
}
