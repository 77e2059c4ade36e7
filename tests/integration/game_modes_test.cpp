// The game executable in its command-line modes, under a private X server.
#include <gtest/gtest.h>

#include <sys/socket.h>

#include <regex>
#include <string>
#include <vector>

#include "integration/game_fixture.h"
#include "models/vxm.h"
#include "platform/tcp.h"
#include "save/world_file.h"
#include "save/world_state_files.h"

namespace fs = std::filesystem;
using testsupport::GameInstall;
using testsupport::RunOptions;
using testsupport::RunResult;
using testsupport::readFile;

namespace {

const std::vector<std::pair<int, std::string>> kStages = {
    {2, "Загрузка настроек и звука"},
    {8, "Загрузка моделей и дополнений"},
    {15, "Подготовка рецептов и правил мира"},
    {22, "Подготовка графики"},
    {30, "Загрузка текстур в исходном разрешении"},
    {42, "Подготовка сохранений"},
    {65, "Чтение сохранённого мира"},
    {65, "Загрузка персонажа и предметов"},
    {80, "Подготовка жителей и окружения"},
    {86, "Подготовка освещения и геометрии"},
    {92, "Подготовка графических эффектов"},
    {99, "Подготовка первого кадра"},
    {100, "Готово"},
};

size_t shippedRightArmVertices() {
    const fs::path model = fs::path(QUORVANE_SOURCE_TREE) / "Assets/Models/Player/player.vxm";
    size_t count = 0;
    for (const VxmVertex& v : content::splitIntoBands(content::loadVxmMesh(model))) count += v.part == 2;
    return count;
}

// Ends the game with a signal once its start-up has finished.
RunResult runUntilReady(const GameInstall& game, std::vector<std::string> arguments, int signal) {
    RunOptions options;
    options.arguments = std::move(arguments);
    options.signalAfter = "ЗАПУСК ИГРЫ: 100% Готово";
    options.signal = signal;
    return game.run(options);
}

}  // namespace

TEST(GameStart, RunsEveryStageAndEndsCleanlyOnTerminate) {
    GameInstall game;
    const RunResult result = runUntilReady(game, {}, SIGTERM);
    EXPECT_EQ(result.exitCode, 0) << result.err;

    size_t position = 0;
    for (const auto& [progress, text] : kStages) {
        const std::string line = "ЗАПУСК ИГРЫ: " + std::to_string(progress) + "% " + text + "\n";
        const size_t found = result.out.find(line, position);
        ASSERT_NE(found, std::string::npos) << "missing or out of order: " << line << result.out;
        position = found + line.size();
    }
    EXPECT_TRUE(std::regex_search(result.out, std::regex("Selected GPU: .*llvmpipe"))) << result.out;
    EXPECT_NE(result.out.find("First-person right arm vertices: " + std::to_string(shippedRightArmVertices()) + "\n"),
              std::string::npos);
    EXPECT_FALSE(fs::exists(game.root() / "last_error.txt"));
    EXPECT_TRUE(fs::is_directory(game.root() / "Content"));
    const std::string audio = readFile(game.root() / "audio_errors.txt");
    if (!audio.empty()) {
        EXPECT_TRUE(audio.ends_with("Audio output unavailable; game continues silently\n")) << audio;
    }
}

// The world that start-up opens behind the menu has a damaged save file: it stays untouched and
// unopened, and the game still reaches its menu instead of ending.
TEST(GameStart, AFirstWorldWithADamagedSaveIsLeftAsItIsAndTheMenuStillOpens) {
    GameInstall game;
    const fs::path world = game.root() / "Saves" / "world_1";
    fs::create_directories(world);
    testsupport::writeFile(world / filesave::kWorldFile, filesave::formatWorldFile({"ЛЕС", 7, 4}));
    const std::string damaged = filesave::encodePlayer({}).substr(0, 10);
    testsupport::writeFile(world / filesave::kPlayerFile, damaged);
    const RunResult result = runUntilReady(game, {}, SIGTERM);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.err.find("Unreadable save file, left as it is: " + (world / filesave::kPlayerFile).string()),
              std::string::npos)
        << result.err;
    EXPECT_EQ(readFile(world / filesave::kPlayerFile), damaged);
    EXPECT_FALSE(fs::exists(game.root() / "last_error.txt"));
    EXPECT_FALSE(fs::exists(game.root() / "Saves" / "world_2")) << "the fresh view is not saved unless played";
}

TEST(GameStart, InterruptClosesLikeTheWindow) {
    GameInstall game;
    const RunResult result = runUntilReady(game, {}, SIGINT);
    EXPECT_EQ(result.exitCode, 0) << result.err;
}

// A known option at the wrong count, then a lone unknown option: neither is a mode. Without a saved
// world the world to come is the first folder under the saves, never the game root.
TEST(GameStart, UnrecognisedArgumentsFailAfterStartUpAndAppendReports) {
    GameInstall game;
    const std::string report =
        "QUORVANE 10.38 ERROR: Invalid multiplayer startup arguments\nWorld: " +
        (game.root() / "Saves" / "world_1").string() +
        "\nTick: 0 Menu: 1 Third person: 0\nArmor: 0:0:0 0:0:0 0:0:0 0:0:0\n\n";
    const std::vector<std::string> argumentLists[] = {{"--map-self-test", "a", "b", "c"}, {"--no-such-mode"}};
    for (int run = 1; run <= 2; ++run) {
        RunOptions options;
        options.arguments = argumentLists[run - 1];
        const RunResult result = game.run(options);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_NE(result.out.find("Готово"), std::string::npos) << "start-up must finish first";
        EXPECT_NE(result.err.find("Skarnwright ERROR: Invalid multiplayer startup arguments\n"), std::string::npos);
        std::string expected;
        for (int i = 0; i < run; ++i) expected += report;
        EXPECT_EQ(readFile(game.root() / "last_error.txt"), expected);
    }
}

TEST(GameStart, LanHostShowsItsNoticeAndBuildsNoApp) {
    GameInstall game;
    RunOptions withNotice;
    withNotice.arguments = {"--lan-host", "x", "y"};
    withNotice.unset = {"QUORVANE_HEADLESS_CHECK"};
    const RunResult shown = game.run(withNotice);
    EXPECT_EQ(shown.exitCode, 1);
    EXPECT_NE(shown.err.find("Quorvane Server"), std::string::npos);
    EXPECT_NE(shown.err.find("Создайте сервер в отдельной программе Quorvane Server."), std::string::npos);
    EXPECT_NE(shown.err.find("Start the server with: " + (game.root() / "buildBB" / "quorvane-server").string() +
                             " --serve <port> <room code> [content folder]\n"),
              std::string::npos)
        << shown.err;

    const RunResult silent = game.run({"--lan-host"});
    EXPECT_EQ(silent.exitCode, 1);
    EXPECT_EQ(silent.err, "");
    EXPECT_EQ(silent.out, "") << "no App, so no start-up";
    EXPECT_FALSE(fs::exists(game.root() / "last_error.txt"));
}

TEST(GameStart, LanJoinCutsThePortToSixteenBitsAndConnects) {
    GameInstall game;
    const int listener = platform::listenOn(0x0100007F, 0, 4);  // 127.0.0.1
    ASSERT_GE(listener, 0);
    const uint16_t port = platform::localPort(listener);
    RunOptions options;
    options.arguments = {"--lan-join", "127.0.0.1", std::to_string(port + 65536), "40617395"};
    options.signalAfter = "ЗАПУСК ИГРЫ: 100% Готово";
    options.timeoutSeconds = 60;
    const RunResult result = game.run(options);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    // The join reached the listener: a connection waits to be accepted.
    const int accepted = platform::acceptConnection(listener);
    EXPECT_GE(accepted, 0);
    platform::closeSocket(accepted);
    platform::closeSocket(listener);
    EXPECT_FALSE(fs::exists(game.root() / "NetworkCache" / ("127.0.0.1_" + std::to_string(port))))
        << "the join's cache folder goes when the game ends";
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(game.root() / "NetworkCache", error))
        EXPECT_FALSE(entry.path().filename().string().starts_with("startup-"))
            << entry.path() << ": no local world was saved there, so the start's folder goes too";
}

TEST(GameStart, LanJoinWithABadPortFailsAfterStartUp) {
    GameInstall game;
    RunOptions options;
    options.arguments = {"--lan-join", "127.0.0.1", "port", "40617395"};
    options.unset = {"QUORVANE_HEADLESS_CHECK"};
    const RunResult result = game.run(options);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("Skarnwright ERROR: invalid stoi argument"), std::string::npos);
    EXPECT_NE(result.err.find("Quorvane: multiplayer startup"), std::string::npos) << "the message box";
    EXPECT_TRUE(readFile(game.root() / "last_error.txt").starts_with("QUORVANE 10.38 ERROR: invalid stoi argument\n"));
}

TEST(GameStart, UnbuiltSelfTestScenarioReportsFailure) {
    GameInstall game;
    const fs::path out = game.root() / "ai-out";
    const RunResult result = game.run({"--ai-self-test", out.string(), "second"});
    EXPECT_EQ(result.exitCode, 1);
    const std::string log = readFile(out / "ai-self-test.log");
    EXPECT_TRUE(log.starts_with("FAILED: ")) << log;
    EXPECT_EQ(log.find("_OK: "), std::string::npos);
    EXPECT_EQ(result.out, "") << "self tests run before any App";
}
