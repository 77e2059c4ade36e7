// The game's side of a LAN session: an App joining a fake host, and two Apps joined through the relay.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string_view>
#include <thread>
#include <tuple>
#include <utility>
#include <variant>

#include <GLFW/glfw3.h>

#include "content/fingerprint.h"
#include "net/network_identity.h"
#include "net/loopback.h"
#include "platform/tcp.h"
#include "save/file_save.h"
#include "save/world_file.h"
#include "save/world_state_files.h"
#include "server/relay_server.h"
#include "support/failure.h"
#include "support/temp_dir.h"
#include "ui/screen_slots.h"
#include "world/loaded_world.h"

namespace fs = std::filesystem;

namespace {

using nettest::TestPeer;
using testsupport::readFile;

// A loaded App whose base is a folder of the test, joined to a host the test plays.
class JoinedGame : public worldtest::LoadedWorld {
   protected:
    void SetUp() override {
        LoadedWorld::SetUp();
        app.useBaseDirectory(base.path());
        load(0, 0);
        listener = nettest::listenLoopback(port);
        app.startSession(false, "127.0.0.1", port, "40617395");
        host.socket = nettest::acceptWithin(listener, 2000);
        ASSERT_GE(host.socket, 0);
    }
    void TearDown() override {
        platform::closeSocket(listener);
        LoadedWorld::TearDown();
    }
    std::function<void()> turn() {
        return [this] { app.updateNetwork(); };
    }
    void welcome() {
        ASSERT_TRUE(host.readUntil(turn(), [&] { return host.last<net::HelloMessage>() != nullptr; }));
        host.send(net::WelcomeMessage{5});
        ASSERT_TRUE(host.readUntil(turn(), [&] { return app.lan.ready; }));
    }
    fs::path cache() const { return base.path() / "NetworkCache" / ("127.0.0.1_" + std::to_string(port)); }

    testsupport::TempDir base;
    int listener = -1;
    uint16_t port = 0;
    TestPeer host;
};

TEST_F(JoinedGame, HelloCarriesCodeAndContentAndTheHostsSnapshotsReachTheRecords) {
    EXPECT_TRUE(fs::is_directory(cache()));
    welcome();
    const net::HelloMessage& hello = *host.last<net::HelloMessage>();
    EXPECT_EQ(hello.version, net::kProtocolVersion);
    EXPECT_EQ(hello.roomCode, "40617395");
    EXPECT_EQ(hello.fingerprint, content::fingerprint(base.path() / "Content"));
    EXPECT_EQ(hello.name, "ИГРОК");
    EXPECT_EQ(net::identityFile(hello.identity), readFile(base.path() / "Saves" / "network_identity118.txt"));
    EXPECT_TRUE(app.lan.started && app.lan.authenticated);

    host.send(net::PosesMessage{{{5, {9, 9, 9, 9, 9, 9, 9}}, {6, {1, 2, 3, 4, 5, 0.6f, 1.0f}}}});
    host.send(net::MobsMessage{{{4, 1, 1.0, 64.0, 1.0, 0.5, 0.25, 10}}});
    host.send(net::MobsMessage{{{4, 1, 2.0, 64.0, 1.0, 0.75, 0.5, 10}}});
    host.send(net::ItemsMessage{{{3, 1.0f, 65.0f, 1.0f, 0.0f, 2}}});
    host.send(net::ItemsMessage{{{3, 1.5f, 65.0f, 1.0f, 0.1f, 2}}});
    host.send(net::ArrowsMessage{{{1.0, 66.0, 1.0, {1.0, 0.0, 0.0}}}});
    host.send(net::NpcsMessage{{{"core:smith", 4.0, 64.0, 4.0}}});
    host.send(net::PlayersMessage{{{5, "ИГРОК"}, {6, "ИГРОК 6"}}});
    ASSERT_TRUE(host.readUntil(turn(), [&] { return app.lan.playerList.size() == 2; }));

    ASSERT_EQ(app.lan.remotePoses.size(), 1u) << "our own pose is not drawn as another player";
    EXPECT_EQ(app.lan.remotePoses.at(6).values[5], 0.6f);
    ASSERT_EQ(app.entities.mobs.size(), 1u);
    EXPECT_EQ(app.entities.mobs[0].x, 2.0);
    EXPECT_EQ(app.entities.mobs[0].prevX, 1.0);
    EXPECT_EQ(app.entities.mobSnapshots.at(4).yaw, 0.5);
    EXPECT_EQ(app.entities.mobSnapshots.at(4).walkPhase, 0.25);
    ASSERT_EQ(app.entities.droppedItems.size(), 1u);
    EXPECT_EQ(app.entities.droppedItems[0].prevX, 1.0f);
    EXPECT_EQ(app.entities.droppedItems[0].interpolate, 1);
    EXPECT_EQ(app.entities.arrows.size(), 1u);
    EXPECT_EQ(app.adventureState.npcPositions.at("core:smith")[0], 4.0);
    EXPECT_FALSE(fs::exists(base.path() / "network_error.txt"));

    app.closeSession();
    EXPECT_FALSE(fs::exists(cache())) << "the session's cache folder goes with it";
}

TEST_F(JoinedGame, ARoomCodeAsLongAsAHelloCarriesIsSentAndALongerOneRefused) {
    const std::string longest(net::kMaxRoomCode, '7');
    EXPECT_EQ(testsupport::failureOf([&] { app.startSession(false, "127.0.0.1", port, longest + "7"); }),
              "Room code is too long");
    app.startSession(false, "127.0.0.1", port, longest);
    TestPeer second;
    second.socket = nettest::acceptWithin(listener, 2000);
    ASSERT_TRUE(second.readUntil(turn(), [&] { return second.last<net::HelloMessage>() != nullptr; }));
    EXPECT_EQ(second.last<net::HelloMessage>()->roomCode, longest);
}

TEST_F(JoinedGame, ReleasingHeldActionsTellsTheHostOnceAndOnlyAfterAButtonActed) {
    welcome();
    app.releaseHeldActions();  // nothing was held: nothing to tell
    app.onMouseButton(nullptr, 0, 1, 0);
    app.onMouseButton(nullptr, 0, 0, 0);
    EXPECT_EQ(std::tuple(app.lan.heldAction, app.lan.actionsReleased, app.lan.heldButton), std::tuple(true, false, 0));
    app.resetWorldState();  // releases the held actions, as leaving a world does
    EXPECT_EQ(std::tuple(app.lan.heldAction, app.lan.actionsReleased, app.lan.heldButton), std::tuple(false, true, -1));
    app.releaseHeldActions();
    ASSERT_TRUE(host.readUntil(turn(), [&] { return host.last<net::ClientEventMessage>() != nullptr; }));
    host.readUntil(turn(), [] { return false; }, 300);  // anything sent after it arrives too
    std::size_t events = 0;
    for (const auto& message : host.received) events += std::holds_alternative<net::ClientEventMessage>(message);
    EXPECT_EQ(events, 1u);
    EXPECT_EQ(host.last<net::ClientEventMessage>()->event, net::kEventReleaseHeld);
}

// Closing a window over play tells the host which; the session's world is not ours to save.
TEST_F(JoinedGame, ClosingAWindowOverPlayTellsTheHostAndSavesNothing) {
    welcome();
    app.files.worldOpen = true;
    app.setScreen(UiState::kPlaying);
    app.openInventory();
    app.closeScreen();
    app.openContainerScreen(ContainerKind::Chest, {1, 64, 1});
    app.closeScreen();
    app.closeScreen();  // nothing open any more: nothing to tell
    std::vector<uint32_t> closed;
    const auto heard = [&] {
        closed.clear();
        for (const auto& message : host.received)
            if (const auto* event = std::get_if<net::ClientEventMessage>(&message))
                if (event->event == net::kEventScreenClosed) closed.push_back(event->subject);
        return closed.size() >= 2;
    };
    ASSERT_TRUE(host.readUntil(turn(), heard));
    host.readUntil(turn(), [] { return false; }, 300);  // anything sent after them arrives too
    heard();
    EXPECT_EQ(closed, (std::vector<uint32_t>{0, static_cast<uint32_t>(ui::kChestScreen)}));
    EXPECT_FALSE(fs::exists(base.path() / filesave::kInventoryFile));
    app.files.worldOpen = false;
}

TEST_F(JoinedGame, EditsAndPosesFollowThePlayerIntoAnotherDimension) {
    welcome();
    app.editBlock(2, 70, 3, worldtest::stone, 0);  // made here, still waiting to be sent
    app.dimension = "core:ash";
    app.editBlock(5, 70, 5, worldtest::stone, 0);  // made there
    ASSERT_TRUE(host.readUntil(turn(), [&] {
        const auto* pose = host.last<net::LocalPoseMessage>();
        return pose && pose->dimension == "core:ash" && host.last<net::BlockEditsMessage>();
    }));
    std::vector<std::pair<std::string, int32_t>> edits;
    for (const net::Message& m : host.received)
        if (const auto* e = std::get_if<net::BlockEditsMessage>(&m)) edits.emplace_back(e->dimension, e->cells.at(0).x);
    EXPECT_EQ(edits, (std::vector<std::pair<std::string, int32_t>>{{"core:overworld", 2}, {"core:ash", 5}}));
    EXPECT_EQ(app.lan.changedCells.size(), 1u) << "the overworld's cells are not put into the ash";

    host.send(net::PosesMessage{{{6, {}, "core:ash"}, {7, {}, "core:overworld"}}});
    host.send(net::BlockEditsMessage{{{8, 70, 8, worldtest::stone, 0, 0}}, "core:overworld"});
    host.send(net::BlockEditsMessage{{{9, 70, 9, worldtest::stone, 0, 0}}, "core:ash"});
    ASSERT_TRUE(host.readUntil(turn(), [&] { return app.blockAt(9, 70, 9) == worldtest::stone; }));
    EXPECT_EQ(app.blockAt(8, 70, 8), voxel::airId) << "another dimension's edit";
    ASSERT_EQ(app.lan.remotePoses.size(), 1u) << "only the player in our dimension is seen";
    EXPECT_TRUE(app.lan.remotePoses.contains(6));
}

TEST_F(JoinedGame, OurEditsGoOutOnceAndTheHostsComeInWithoutEcho) {
    welcome();
    app.editBlock(2, 70, 3, worldtest::stone, 0);
    app.editBlock(2, 71, 3, worldtest::stone, 0);
    ASSERT_TRUE(host.readUntil(turn(), [&] { return host.last<net::BlockEditsMessage>() != nullptr; }));
    const auto& sent = host.last<net::BlockEditsMessage>()->cells;
    ASSERT_EQ(sent.size(), 2u) << "a frame's edits leave together";
    EXPECT_EQ(sent[1].y, 71);
    EXPECT_EQ(sent[0].id, worldtest::stone);

    host.received.clear();
    host.send(
        net::BlockEditsMessage{{{4, 70, 4, worldtest::stone, 0, 0}, {40, 70, 40, worldtest::stone, 0, 0}}});
    ASSERT_TRUE(host.readUntil(turn(), [&] { return app.blockAt(4, 70, 4) == worldtest::stone; }));
    EXPECT_EQ(host.last<net::BlockEditsMessage>(), nullptr) << "a remote edit is not sent back";
    // The second cell's chunk loads later: the index rebuild puts the edit into it.
    load(2, 2);
    EXPECT_EQ(app.blockAt(40, 70, 40), worldtest::stone);
    EXPECT_EQ(app.lan.changedCells.size(), 4u);

    host.send(net::BlockEditsMessage{{{1, 70, 1, 250, 0, 0}}});
    ASSERT_TRUE(host.readUntil(turn(), [&] { return !app.lan.networked; }));
    EXPECT_EQ(readFile(base.path() / "network_error.txt"),
              "LAN session ended: the server sent the unknown block id 250\n");
}

// Far from the loaded chunks: cells that fill the session's memory of edits.
void fillChangedCells(ChangedCells& cells, std::size_t count) {
    for (std::size_t i = 0; cells.size() < count; ++i)
        cells.emplace(std::tuple{100000 + static_cast<int32_t>(i), 70, 0}, ChangedCell{1, 0, 0});
}

TEST(ChangedCells, AFullMemoryLeavesOutNewCellsAndKeepsFollowingTheRememberedOnes) {
    constexpr std::size_t cap = net::kMaxChangedCells;
    struct Row {
        std::size_t before;
        bool known;  // the cell is among the remembered ones
        bool remembered;
        std::size_t after;
    };
    const Row rows[] = {
        {cap - 1, false, true, cap},
        {cap, false, false, cap},
        {cap, true, true, cap},
        {0, false, true, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.before);
        ChangedCells cells;
        fillChangedCells(cells, row.before);
        const auto [x, y, z] = row.known ? cells.begin()->first : std::tuple{1, 2, 3};
        EXPECT_EQ(net::rememberCell(cells, x, y, z, {7, 3, 0}), row.remembered);
        EXPECT_EQ(cells.size(), row.after);
        EXPECT_EQ(cells.contains({x, y, z}), row.remembered);
        if (row.remembered) {
            EXPECT_EQ(cells.at({x, y, z}), (ChangedCell{7, 3, 0}));
        }
    }
}

// The host's edits past the memory's cap still show in the loaded world; our own still go out.
TEST_F(JoinedGame, EditsPastTheCapOfChangedCellsShowButAreNotRemembered) {
    welcome();
    fillChangedCells(app.lan.changedCells, net::kMaxChangedCells - 1);
    host.send(net::BlockEditsMessage{{{4, 70, 4, worldtest::stone, 0, 0}, {5, 70, 5, worldtest::stone, 0, 0}}});
    ASSERT_TRUE(host.readUntil(turn(), [&] { return app.blockAt(5, 70, 5) == worldtest::stone; }));
    EXPECT_EQ(app.lan.changedCells.size(), net::kMaxChangedCells);
    EXPECT_TRUE(app.lan.changedCells.contains({4, 70, 4}));
    EXPECT_FALSE(app.lan.changedCells.contains({5, 70, 5}));

    app.editBlock(6, 70, 6, worldtest::stone, 0);
    app.editBlock(4, 70, 4, voxel::airId, 0);
    ASSERT_TRUE(host.readUntil(turn(), [&] { return host.last<net::BlockEditsMessage>() != nullptr; }));
    EXPECT_EQ(host.last<net::BlockEditsMessage>()->cells.size(), 2u);
    EXPECT_FALSE(app.lan.changedCells.contains({6, 70, 6}));
    EXPECT_EQ(app.lan.changedCells.at({4, 70, 4}).id, voxel::airId);
}

TEST_F(JoinedGame, ABadHostEndsTheSessionWithOneLineAndTheLocalWorldStays) {
    struct Row {
        const char* name;
        std::vector<uint8_t> bytes;
        bool welcomeFirst;
        bool closeAfter;
        const char* line;
        const char32_t* words;  // what the player reads
    };
    std::vector<uint8_t> flood;
    for (int i = 0; i < 30; ++i) net::appendFrame(flood, net::PosesMessage{});
    const Row rows[] = {
        {"garbage",
         {'Q', 'R', '6', '1', 0x99, 0, 0, 0, 2, 0, 0, 0, 1, 2},
         false,
         false,
         "server: bad message: message type 153 out of range", U"СЕРВЕР НЕ ПРИНЯЛ ПОДКЛЮЧЕНИЕ"},
        {"oversized length",
         {'Q', 'R', '6', '1', 2, 0, 0, 0, 0, 0, 0, 0x10},
         true,
         false,
         "server: bad message: payload length 268435456 out of range", U"СВЯЗЬ С СЕРВЕРОМ ПОТЕРЯНА"},
        {"flood", flood, true, false, "server: flood: more than 20 messages in one second",
         U"СВЯЗЬ С СЕРВЕРОМ ПОТЕРЯНА"},
        {"silence", {}, true, false, "server: silent for more than 0.3 seconds", U"СВЯЗЬ С СЕРВЕРОМ ПОТЕРЯНА"},
        {"closed mid-message",
         {'Q', 'R', '6', '1', 2, 0, 0, 0, 4, 0, 0, 0, 2},
         true,
         true,
         "server: connection closed in the middle of a message", U"СВЯЗЬ С СЕРВЕРОМ ПОТЕРЯНА"},
        {"refusal", nettest::frameOf(net::RefusalMessage{"Wrong room code"}), false, true,
         "the server refused to let us in: Wrong room code", U"НЕВЕРНЫЙ КОД КОМНАТЫ"},
        {"talk before welcome", nettest::frameOf(net::PosesMessage{}), false, false,
         "the server spoke before letting us in", U"СЕРВЕР НЕ ПРИНЯЛ ПОДКЛЮЧЕНИЕ"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        fs::remove(base.path() / "network_error.txt");
        app.lan.limits.messagesPerSecond = 20;
        app.lan.limits.silenceSeconds = 0.3;
        if (row.welcomeFirst) welcome();
        app.setBlock(1, 80, 1, worldtest::stone);
        nettest::sendAll(host.socket, row.bytes);
        if (row.closeAfter) platform::closeSocket(std::exchange(host.socket, -1));
        ASSERT_TRUE(host.readUntil(turn(), [&] { return !app.lan.networked; }));
        EXPECT_EQ(readFile(base.path() / "network_error.txt"),
                  std::string("LAN session ended: ") + row.line + "\n");
        for (int i = 0; i < 3; ++i) app.updateNetwork();
        EXPECT_EQ(readFile(base.path() / "network_error.txt").size(),
                  std::string("LAN session ended: ").size() + std::strlen(row.line) + 1)
            << "one line, however long the game goes on";
        app.followSession();
        EXPECT_EQ(app.ui.toast.text, row.words) << "said where the player looks";
        EXPECT_EQ(app.blockAt(1, 80, 1), worldtest::stone) << "the local world keeps its cells";
        EXPECT_FALSE(fs::exists(cache()));
        EXPECT_TRUE(app.lan.remotePoses.empty());
        // The next row joins again.
        platform::closeSocket(host.socket);
        host = TestPeer{};
        app.lan.limits = net::hostLinkLimits();
        app.startSession(false, "127.0.0.1", port, "40617395");
        host.socket = nettest::acceptWithin(listener, 2000);
        ASSERT_GE(host.socket, 0);
    }
}

// The host's world is played from the cache at once; when the host goes, so does it, and the menu says why.
TEST_F(JoinedGame, TheRoomsWorldIsPlayedFromTheCacheUntilTheSessionEnds) {
    welcome();
    const auto step = [&] {
        app.updateNetwork();
        app.followSession();
    };
    host.send(net::WorldMessage{filesave::formatWorldFile({"Общий мир", 2, 4}), ""});
    ASSERT_TRUE(host.readUntil(step, [&] { return app.files.worldOpen; }));
    EXPECT_EQ(app.files.world, cache());
    EXPECT_EQ(app.files.seed, 2u);
    EXPECT_EQ(app.files.worldName, U"Общий мир");
    EXPECT_EQ(app.ui.screen, UiState::kPlaying);
    host.send(net::BlockEditsMessage{{{1, 80, 1, worldtest::stone, 0, 0}}});
    ASSERT_TRUE(host.readUntil(step, [&] { return app.lan.changedCells.size() == 1; }))
        << "the cells changed so far follow the world";

    platform::closeSocket(std::exchange(host.socket, -1));
    ASSERT_TRUE(host.readUntil(step, [&] { return !app.lan.networked && app.ui.screen == UiState::kMainMenu; }));
    EXPECT_FALSE(app.files.worldOpen);
    EXPECT_EQ(app.ui.screen, UiState::kMainMenu);
    EXPECT_EQ(app.ui.toast.text, U"СВЯЗЬ С СЕРВЕРОМ ПОТЕРЯНА");
    EXPECT_FALSE(fs::exists(cache()));
    EXPECT_FALSE(fs::exists(base.path() / "Saves" / "world_1")) << "nothing reaches the saves";
}

// A chunk an unload pass handed the writer may still be on its way into the cache when the session
// closes: the folder goes once it has landed, and the write does not fail.
TEST_F(JoinedGame, ClosingTheSessionWaitsForSavesOnTheirWayIntoTheCache) {
    welcome();
    host.send(net::WorldMessage{filesave::formatWorldFile({"Общий мир", 2, 4}), ""});
    ASSERT_TRUE(host.readUntil([&] { app.updateNetwork(), app.followSession(); }, [&] { return app.files.worldOpen; }));
    app.saveMap();  // so that leaving the world writes nothing of its own
    filesave::setSaveStepHook([](std::string_view saveStep) {
        if (saveStep == "tmp slow") std::this_thread::sleep_for(std::chrono::milliseconds(300));
    });
    filesave::backgroundWriter().enqueue(cache() / "slow", "bytes");
    app.closeSession();
    filesave::backgroundWriter().drain();
    filesave::setSaveStepHook(nullptr);
    EXPECT_NO_THROW(filesave::rethrowBackgroundFailure());
    EXPECT_FALSE(fs::exists(cache()));
}

// Two games with the same world, joined through the host program's relay.
class TwoGames : public testsupport::FreshRegistryTest {
   protected:
    void SetUp() override {
        FreshRegistryTest::SetUp();
        worldtest::addBlock(worldtest::door, "door", true, false);
        net::RelayConfig config;
        config.port = 0;
        config.roomCode = "7";
        config.fingerprint = content::fingerprint(a.base.path() / "Content");
        relay = std::make_unique<net::RelayServer>(config);
        ASSERT_TRUE(relay->listen(nettest::kLoopback));
        join(a);
        join(b);
        ASSERT_TRUE(runUntil([&] { return a.app.lan.ready && b.app.lan.ready; }));
    }
    struct Game {
        testsupport::TempDir base;
        App app;
    };
    // The game's world: a floor of stone at y 60 in the chunk at the origin.
    void join(Game& game) {
        game.app.world.shaped = voxel::shapedFlags();
        game.app.useBaseDirectory(game.base.path());
        voxel::Chunk chunk(0, 0);
        for (uint32_t i = 0; i < 256; ++i)
            chunk.cells[voxel::cellIndex(i % 16, 60, i / 16)] = worldtest::stone;
        game.app.world.chunks.push_back(std::move(chunk));
        game.app.reindexChunks();
        game.app.startSession(false, "127.0.0.1", relay->port(), "7");
        joined.push_back(&game);
    }
    bool runUntil(const std::function<bool()>& done) {
        TestPeer idle;  // only its clock is used
        return idle.readUntil(
            [&] {
                relay->step(1);
                for (Game* game : joined) game->app.updateNetwork();
            },
            done, 5000);
    }
    std::vector<Game*> joined;
    Game a, b;
    std::unique_ptr<net::RelayServer> relay;
};

TEST_F(TwoGames, EditsAndBodiesGoBothWaysThroughTheHost) {
    a.app.editBlock(3, 61, 3, worldtest::stone, 0);
    b.app.editBlock(5, 61, 5, worldtest::door, 0);
    ASSERT_TRUE(runUntil([&] {
        return b.app.blockAt(3, 61, 3) == worldtest::stone && a.app.blockAt(5, 62, 5) == worldtest::door;
    }));
    EXPECT_EQ(a.app.blockAt(5, 61, 5), worldtest::door) << "both halves of the door";
    EXPECT_EQ(a.app.lan.changedCells, b.app.lan.changedCells);
    EXPECT_EQ(relay->changedCells().size(), 3u);

    a.app.player.x = 12.5f;
    ASSERT_TRUE(runUntil([&] {
        return b.app.lan.remotePoses.size() == 1 && b.app.lan.remotePoses.begin()->second.values[0] == 12.5f;
    }));
    ASSERT_TRUE(runUntil([&] { return a.app.lan.remotePoses.size() == 1; }));
    EXPECT_EQ(a.app.lan.playerList.size(), 2u);
}

// A door opened by its user is shared like a placed block: the relay keeps it for a late joiner,
// and a chunk index rebuild leaves each game's chunk states equal to its state map.
TEST_F(TwoGames, AnOpenedDoorReachesThePeersAndALateJoiner) {
    a.app.editBlock(5, 61, 5, worldtest::door, 0);
    ASSERT_EQ(a.app.lan.pendingEdits.size(), 2u) << "the two halves of the placed door";
    ASSERT_TRUE(a.app.useBlock(5, 62, 5));
    ASSERT_EQ(a.app.lan.pendingEdits.size(), 4u) << "and both again, opened";
    EXPECT_EQ(a.app.lan.pendingEdits[2].state, voxel::stateOpen);
    EXPECT_EQ(a.app.lan.pendingEdits[3].state, voxel::stateOpen | voxel::stateUpper);
    ASSERT_TRUE(runUntil([&] { return b.app.findBlockEntity(5, 61, 5) == voxel::stateOpen; }));
    EXPECT_EQ(b.app.findBlockEntity(5, 62, 5), voxel::stateOpen | voxel::stateUpper);
    EXPECT_EQ(b.app.world.movingDoors, (std::map<CellKey, float>{{{5, 61, 5}, 0.0f}}))
        << "it swings open there too";
    EXPECT_EQ(relay->changedCells().at({"core:overworld", 5, 61, 5}).state, voxel::stateOpen);

    Game late;
    join(late);
    ASSERT_TRUE(runUntil([&] { return late.app.findBlockEntity(5, 61, 5) == voxel::stateOpen; }));
    EXPECT_EQ(late.app.blockAt(5, 62, 5), worldtest::door);

    for (Game* game : joined) {
        game->app.world.chunks.push_back(voxel::Chunk(1, 0));  // a streamed chunk: the index is rebuilt
        game->app.reindexChunks();
        for (const int32_t y : {61, 62}) {
            SCOPED_TRACE(y);
            const voxel::Chunk& chunk = *game->app.findChunk(0, 0);
            ASSERT_FALSE(chunk.states.empty());
            EXPECT_EQ(chunk.states[voxel::cellIndex(5, y, 5)],
                      game->app.world.blockStates.at({5, y, 5}).state);
            EXPECT_EQ(game->app.findBlockEntity(5, y, 5) & voxel::stateOpen, voxel::stateOpen);
        }
    }
    joined.pop_back();  // the late game goes first
}

TEST_F(TwoGames, AChatLineReachesTheOtherGameUnderTheNameItJoinedWith) {
    a.app.files.worldOpen = true;
    a.app.setScreen(UiState::kPlaying);
    a.app.onKey(nullptr, GLFW_KEY_ENTER, 0, GLFW_PRESS, 0);
    for (const char32_t c : std::u32string(U"привет")) a.app.onChar(nullptr, static_cast<unsigned int>(c));
    a.app.onKey(nullptr, GLFW_KEY_ENTER, 0, GLFW_PRESS, 0);
    ASSERT_TRUE(runUntil([&] { return !b.app.ui.chatLines.empty(); }));
    EXPECT_EQ(b.app.ui.chatLines, std::vector<std::u32string>{U"ИГРОК: привет"});
    EXPECT_EQ(a.app.ui.chatLines, b.app.ui.chatLines) << "said once, at both";

    // The second "ИГРОК" in the room is numbered, in its own chat too.
    ASSERT_TRUE(runUntil([&] { return b.app.lan.shownName == "ИГРОК 2"; }));
    b.app.files.worldOpen = true;
    b.app.setScreen(UiState::kPlaying);
    b.app.onKey(nullptr, GLFW_KEY_ENTER, 0, GLFW_PRESS, 0);
    for (const char32_t c : std::u32string(U"да")) b.app.onChar(nullptr, static_cast<unsigned int>(c));
    b.app.onKey(nullptr, GLFW_KEY_ENTER, 0, GLFW_PRESS, 0);
    ASSERT_TRUE(runUntil([&] { return a.app.ui.chatLines.size() == 2; }));
    EXPECT_EQ(a.app.ui.chatLines, b.app.ui.chatLines);
    EXPECT_EQ(b.app.ui.chatLines.back(), U"ИГРОК 2: да");
}

int32_t carried(const App& app, uint8_t id) {
    int32_t count = 0;
    for (const InventorySlot& slot : app.inventory.hotbar) count += slot.id == id ? slot.count : 0;
    for (const InventorySlot& slot : app.inventory.main) count += slot.id == id ? slot.count : 0;
    return count;
}

TEST_F(TwoGames, TheOwnersMobsAndPilesReachTheOtherWhoseHitsAndPickUpsReachTheOwner) {
    ASSERT_TRUE(runUntil([&] { return a.app.lan.ownerId != 0 && b.app.lan.ownerId != 0; }));
    ASSERT_NE(a.app.lan.worldOwner, b.app.lan.worldOwner) << "exactly one owner";
    App& owner = a.app.lan.worldOwner ? a.app : b.app;
    App& other = a.app.lan.worldOwner ? b.app : a.app;

    // Beside the other player, within its reach.
    const float feet = other.player.y - 1.0f;
    Mob boar;
    boar.id = owner.entities.nextMobId++;
    boar.x = other.player.x + 1.5, boar.y = feet, boar.z = other.player.z;
    owner.entities.mobs.push_back(boar);
    owner.dropItem(worldtest::stone, 5, other.player.x, feet, other.player.z);
    const uint32_t pile = owner.entities.droppedItems.at(0).pile;
    ASSERT_TRUE(
        runUntil([&] { return other.entities.mobs.size() == 1 && other.entities.droppedItems.size() == 1; }));
    EXPECT_EQ(other.entities.mobs[0].id, boar.id);
    EXPECT_EQ(other.entities.mobs[0].health, 10);
    EXPECT_EQ(other.entities.mobs[0].x, boar.x);
    EXPECT_EQ(other.entities.droppedItems[0].pile, pile);

    const int32_t damage = static_cast<int32_t>(other.meleeDamage());
    ASSERT_GE(damage, 1);
    // The owner judges a blow by where the guest stands: it has to have heard of it first.
    ASSERT_TRUE(runUntil([&] { return owner.lan.remotePoses.contains(other.lan.playerId); }));
    other.startMeleeAttack(boar.id, 0);
    ASSERT_TRUE(runUntil([&] { return owner.entities.mobs.at(0).health == 10 - damage; }));
    ASSERT_TRUE(runUntil([&] { return other.entities.mobs.at(0).health == 10 - damage; }))
        << "the owner's next snapshot carries the blow back";

    const int32_t before = carried(other, worldtest::stone);
    other.stepDroppedItems();
    other.stepDroppedItems();  // asked for once however many steps pass
    ASSERT_TRUE(runUntil([&] { return carried(other, worldtest::stone) != before; }));
    EXPECT_EQ(carried(other, worldtest::stone), before + 5);
    EXPECT_TRUE(owner.entities.droppedItems.empty());
    ASSERT_TRUE(runUntil([&] { return other.entities.droppedItems.empty(); }));
    EXPECT_EQ(carried(other, worldtest::stone), before + 5) << "handed over once";

    // What the other digs drops into the owner's world at its feet and comes to it like any pile.
    other.dropItem(worldtest::stone, 3, other.player.x + 4.0f, feet, other.player.z);
    EXPECT_TRUE(other.entities.droppedItems.empty()) << "the pile is the owner's";
    ASSERT_TRUE(runUntil([&] { return other.entities.droppedItems.size() == 1; }));
    other.stepDroppedItems();
    ASSERT_TRUE(runUntil([&] { return carried(other, worldtest::stone) == before + 8; }));

    // The owner leaves: the other takes over its world where the last snapshot left it.
    owner.closeSession();
    ASSERT_TRUE(runUntil([&] { return other.lan.worldOwner; }));
    EXPECT_EQ(other.entities.mobs.size(), 1u);
    EXPECT_GT(other.entities.nextMobId, boar.id);
}

}  // namespace
