#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstring>
#include <tuple>

#include "app/app.h"

using testing::FloatEq;
using testing::Pointwise;

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
    const PlayerState& p = app.player;
    EXPECT_THAT((std::array{p.pitch, p.x, p.y, p.z, p.lightFade}),
                Pointwise(FloatEq(), std::array{-0.24f, 8.0f, 83.0f, 29.0f, 0.28f}));
    EXPECT_EQ(std::tuple(p.health, p.air, p.stamina, p.chunkX), std::tuple(20, 300, 100.0, INT32_MIN));
    EXPECT_EQ(p.food, (std::array<int32_t, 4>{20, 0, 0, 0}));
    EXPECT_TRUE(p.resetMouseLook);

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
    EXPECT_EQ((std::array{app.chunkRadius, app.lastUnloadRadius, app.generationStage}), (std::array{6, 3, 4}));
    EXPECT_EQ(app.dimension, "core:overworld");
    EXPECT_EQ(std::tuple(app.environmentProgressStart, app.environmentProgressEnd), std::tuple(10, 50));
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
    EXPECT_EQ((std::array{app.volumes.master, app.volumes.effects, app.volumes.ambient}), (std::array{70, 80, 50}));
    EXPECT_THAT((std::array<float, 3>{app.mixer.masterVolume, app.mixer.effectsVolume, app.mixer.ambientVolume}),
                Pointwise(FloatEq(), std::array{0.7f, 0.8f, 0.5f}));
    EXPECT_FALSE(app.mixer.running);

    const auto& lan = app.lan;
    EXPECT_EQ((std::array{lan.serverToLocal[37], lan.localToServer[37], lan.localToServer[255]}),
              (std::array{37u, 37u, 255u}));
    EXPECT_EQ(lan.connection.peerSocket, -1);
    EXPECT_EQ((std::array<std::string, 3>{lan.formAddress, lan.formPort, lan.playerName}),
              (std::array<std::string, 3>{"127.0.0.1", "29810", "ИГРОК"}));
    EXPECT_FALSE(lan.networked);
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
