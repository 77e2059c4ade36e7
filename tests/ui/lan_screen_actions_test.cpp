#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/tcp.h"
#include "support/temp_dir.h"
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

// The form connects only with a port of 1024..65535, a room code of exactly eight digits and a
// numeric IPv4 address; the refusals are checked here from both sides, without a connection tried.
TEST_F(LanScreensApp, ConnectRefusesAPortOrRoomCodePastItsLimits) {
    const std::string badPort = "НЕВЕРНЫЙ ПОРТ", badCode = "КОД КОМНАТЫ: 8 ЦИФР", badAddress = "НЕВЕРНЫЙ IP-АДРЕС";
    const struct {
        std::string port, code, status, address = "127.0.0.1";
    } cases[] = {
        {"1023", "40617395", badPort},  {"1024", "4061739", badCode},   {"65535", "406173950", badCode},
        {"65536", "40617395", badPort}, {"", "40617395", badPort},      {"29810x", "40617395", badPort},
        {"0", "40617395", badPort},     {"29810", "40617395", badAddress, ""},
        {"29810", "40617395", badAddress, "1.2.3"}, {"29810", "40617395", badAddress, "256.0.0.1"},
    };
    for (const auto& c : cases) {
        app.lan.formAddress = c.address, app.lan.formPort = c.port, app.lan.formRoomCode = c.code;
        app.connectFromForm();
        EXPECT_EQ(app.lan.formStatus, c.status) << c.port << " " << c.code << " " << c.address;
        EXPECT_FALSE(app.lan.networked);
    }
}

std::u32string formStatus(App& app) { return app.lanScreenOverlay().lines[ui::kLineFormStatus]; }

// With nobody listening on the port the connect fails at once; the form says so instead of
// "connecting" for ever, and network_error.txt keeps the cause.
TEST_F(LanScreensApp, AConnectionThatFailsIsShownInTheForm) {
    testsupport::TempDir base;
    app.files.base = base.path();
    std::filesystem::create_directories(base.path() / "Content");
    const int listener = platform::listenOn(*platform::parseIpv4("127.0.0.1"), 0, 1);
    ASSERT_GE(listener, 0);
    const uint16_t port = platform::localPort(listener);
    platform::closeSocket(listener);
    app.setScreen(ui::kConnectionScreen);
    app.lan.formAddress = "127.0.0.1", app.lan.formPort = std::to_string(port), app.lan.formRoomCode = "40617395";
    app.connectFromForm();
    // Loopback may refuse the connect at once, or only at the next look.
    if (app.lan.networked) {
        EXPECT_EQ(formStatus(app), U"ПОДКЛЮЧЕНИЕ...");
    }
    for (int k = 0; k < 200 && app.lan.networked; ++k) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        app.updateNetwork();
    }
    EXPECT_FALSE(app.lan.networked);
    EXPECT_EQ(formStatus(app), U"НЕ УДАЛОСЬ ПОДКЛЮЧИТЬСЯ К СЕРВЕРУ");
    const std::string cause = "onnect to 127.0.0.1:" + std::to_string(port);
    EXPECT_NE(testsupport::readFile(base.path() / "network_error.txt").find(cause), std::string::npos);
    app.lan.formPort = "80";  // the next try starts afresh: its own refusal replaces the failure
    app.connectFromForm();
    EXPECT_EQ(formStatus(app), U"НЕВЕРНЫЙ ПОРТ");
}

// Every state the form tells, in the player's language: its own refusal first, then the session.
TEST_F(LanScreensApp, TheFormTellsTheRefusalTheSessionOrTheLastFailure) {
    const struct {
        const char* refusal;
        bool networked, ready;
        LanFailure failure;
        std::u32string shown;
    } cases[] = {{"", false, false, LanFailure::none, U""},
                 {"", true, false, LanFailure::none, U"ПОДКЛЮЧЕНИЕ..."},
                 {"", true, true, LanFailure::none, U"ПОДКЛЮЧЕНО"},
                 {"", false, false, LanFailure::refused, U"СЕРВЕР НЕ ПРИНЯЛ ПОДКЛЮЧЕНИЕ"},
                 {"", false, false, LanFailure::lost, U"СВЯЗЬ С СЕРВЕРОМ ПОТЕРЯНА"},
                 {"НЕВЕРНЫЙ ПОРТ", true, true, LanFailure::lost, U"НЕВЕРНЫЙ ПОРТ"}};
    app.setScreen(ui::kConnectionScreen);
    for (const auto& c : cases) {
        app.lan.formStatus = c.refusal, app.lan.failure = c.failure;
        app.lan.networked = c.networked, app.lan.ready = c.ready;
        EXPECT_EQ(formStatus(app), c.shown) << static_cast<int>(c.failure) << c.networked << c.ready;
    }
    app.lan.networked = app.lan.ready = false;
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
