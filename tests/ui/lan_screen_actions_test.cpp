#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include "world/loaded_world.h"

namespace {

class LanScreensApp : public worldtest::LoadedWorld {};

TEST_F(LanScreensApp, ZeroHealthOpensTheDeathScreenOnlyInAnOpenWorld) {
    struct Case {
        bool worldOpen;
        int32_t health;
        int32_t screen;
    };
    const Case cases[] = {{false, 0, UiState::kMainMenu}, {true, 1, UiState::kPlaying}, {true, 0, ui::kDeathScreen},
                          {true, -3, ui::kDeathScreen}};
    for (const Case& c : cases) {
        app.setScreen(c.worldOpen ? UiState::kPlaying : UiState::kMainMenu);
        app.files.worldOpen = c.worldOpen;
        app.player.health = c.health;
        app.openDeathScreenIfDead();
        EXPECT_EQ(app.ui.screen, c.screen) << c.worldOpen << " " << c.health;
    }
}

TEST_F(LanScreensApp, RespawnStandsOnTheBedOrAtTheSpawnWithFullHealthAndFood) {
    adventure::addSkillExperience(app.combat.progression, 0, 800);  // two levels: 24 health
    app.player.health = 0;
    app.player.food[0] = 3;
    app.hasBed = true;
    app.bedX = 10, app.bedY = 64, app.bedZ = -4;
    app.respawnPlayer();
    EXPECT_EQ(app.ui.screen, UiState::kPlaying);
    EXPECT_EQ(app.player.health, 24);
    EXPECT_EQ(app.player.food[0], 20);
    EXPECT_FLOAT_EQ(app.player.x, 10.5f);
    EXPECT_FLOAT_EQ(app.player.y, 66.62f);
    EXPECT_FLOAT_EQ(app.player.z, -3.5f);
    app.hasBed = false;
    app.respawnPlayer();
    EXPECT_FLOAT_EQ(app.player.x, app.player.spawnX);
    EXPECT_FLOAT_EQ(app.player.y, app.player.spawnY);
}

TEST_F(LanScreensApp, TheFormTakesKeysAndCharactersOnlyOnItsScreen) {
    app.setScreen(ui::kConnectionScreen);
    app.onKey(nullptr, GLFW_KEY_TAB, 0, GLFW_PRESS, 0);
    app.onKey(nullptr, GLFW_KEY_A, 0, GLFW_PRESS, GLFW_MOD_CONTROL);
    app.onChar(nullptr, '8');
    app.onKey(nullptr, GLFW_KEY_A, 0, GLFW_RELEASE, GLFW_MOD_CONTROL);  // a release is no command
    app.onChar(nullptr, '0');
    EXPECT_EQ(app.lan.formPort, "80");
    app.setScreen(UiState::kPlaying);
    app.onChar(nullptr, '1');
    EXPECT_EQ(app.lan.formPort, "80");
}

// The form connects only with a port of 1024..65535 and a room code of exactly eight digits; the
// refusals are checked here from both sides, without a connection being tried.
TEST_F(LanScreensApp, ConnectRefusesAPortOrRoomCodePastItsLimits) {
    const std::string badPort = "НЕВЕРНЫЙ ПОРТ", badCode = "КОД КОМНАТЫ: 8 ЦИФР";
    const struct {
        std::string port, code, status;
    } cases[] = {
        {"1023", "40617395", badPort},  {"1024", "4061739", badCode},   {"65535", "406173950", badCode},
        {"65536", "40617395", badPort}, {"", "40617395", badPort},      {"29810x", "40617395", badPort},
        {"0", "40617395", badPort},
    };
    for (const auto& c : cases) {
        app.lan.formPort = c.port, app.lan.formRoomCode = c.code, app.lan.formStatus.clear();
        app.connectFromForm();
        EXPECT_EQ(app.lan.formStatus, c.status) << c.port << " " << c.code;
    }
}

TEST_F(LanScreensApp, AFinishedQuestPaysItsItemAndExperienceOnce) {
    adventure::Quest quest;
    quest.id = "test:dig";
    quest.title = "DIG";
    quest.kind = adventure::ObjectiveKind::gather;
    quest.count = 1;
    quest.rewardItem = worldtest::stick;
    quest.rewardCount = 2;
    quest.rewardExperience = 50;
    app.adventureState.catalog.quests[quest.id] = quest;
    app.inventory = Inventory{};
    for (InventorySlot& slot : app.inventory.hotbar) slot = {};
    ASSERT_TRUE(adventure::acceptQuest(app.adventureState.standing.quests, quest, worldtest::stone, std::nullopt));
    adventure::noteMinedBlock(app.adventureState.standing.quests, worldtest::stone);
    app.updateQuests();
    app.updateQuests();
    EXPECT_EQ(app.combat.progression.experience, 50u);
    EXPECT_EQ(app.countItem(worldtest::stick), 2);
    EXPECT_TRUE(app.adventureState.standing.quests.completed.contains("test:dig"));
}

}  // namespace
