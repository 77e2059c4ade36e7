// The host program's relay over 127.0.0.1, with guests played by the test.
#include "server/relay_server.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <utility>

#include "net/loopback.h"
#include "net/refusal_words.h"
#include "platform/tcp.h"
#include "support/temp_dir.h"

namespace {

using nettest::TestPeer;

constexpr uint64_t kFingerprint = 0xABCDEF0123ull;

net::RelayConfig config() {
    net::RelayConfig result;
    result.port = 0;
    result.roomCode = "40617395";
    result.fingerprint = kFingerprint;
    return result;
}

// A relay on 127.0.0.1; with a hand clock its time stands still until the test moves it.
struct Relay {
    explicit Relay(net::RelayConfig c = config(), bool handClock = false) : server(withClock(std::move(c), handClock)) {
        EXPECT_TRUE(server.listen(nettest::kLoopback));
    }
    net::RelayConfig withClock(net::RelayConfig c, bool handClock) {
        if (handClock) c.clock = [this] { return now; };
        return c;
    }
    std::function<void()> turn() {
        return [this] { server.step(2); };
    }
    // A guest that has said hello and been let in; each name is another player unless told otherwise.
    void join(TestPeer& peer, const std::string& name, const std::string& identity = "") {
        peer.socket = nettest::connectLoopback(server.port());
        ASSERT_GE(peer.socket, 0);
        peer.send(net::HelloMessage{net::kProtocolVersion, kFingerprint, "40617395", name,
                                    identity.empty() ? "player " + name : identity});
        ASSERT_TRUE(peer.readUntil(turn(), [&] { return peer.last<net::WelcomeMessage>() != nullptr; }));
    }
    double now = 1000.0;  // the hand clock
    net::RelayServer server;
};

TEST(RelayServer, GuestsSeeEachOthersEditsAndPosesAndALateJoinerGetsEveryEdit) {
    Relay relay;
    TestPeer a, b, c;
    relay.join(a, "A");
    relay.join(b, "B");
    EXPECT_EQ(a.last<net::WelcomeMessage>()->playerId, 1u);
    EXPECT_EQ(b.last<net::WelcomeMessage>()->playerId, 2u);

    a.send(net::BlockEditsMessage{{{5, 70, -9, 3, 0, 0}}});
    a.send(net::LocalPoseMessage{{1, 2, 3, 4, 5, 6, 7}});
    ASSERT_TRUE(b.readUntil(relay.turn(), [&] { return b.last<net::BlockEditsMessage>() != nullptr; }));
    EXPECT_EQ(b.last<net::BlockEditsMessage>()->cells[0].z, -9);
    ASSERT_TRUE(b.readUntil(relay.turn(), [&] {
        const auto* poses = b.last<net::PosesMessage>();
        return poses && !poses->players.empty();
    }));
    EXPECT_EQ(b.last<net::PosesMessage>()->players[0].id, 1u);
    EXPECT_EQ(b.last<net::PosesMessage>()->players[0].pose[6], 7.0f);
    EXPECT_EQ(a.last<net::BlockEditsMessage>(), nullptr) << "an edit does not come back to its sender";

    // The room plays the first world a guest brings; one brought later is not passed on.
    a.send(net::WorldMessage{"seed=2", "{}"});
    ASSERT_TRUE(b.readUntil(relay.turn(), [&] { return b.last<net::WorldMessage>() != nullptr; }));
    b.send(net::WorldMessage{"seed=9", "{}"});
    b.send(net::BlockEditsMessage{{{5, 70, -9, 0, 0, 0}, {6, 70, -9, 4, 0, 0}}});
    relay.join(c, "C");
    ASSERT_TRUE(c.readUntil(relay.turn(), [&] { return c.last<net::PlayersMessage>() != nullptr; }));
    EXPECT_EQ(a.last<net::WorldMessage>(), nullptr) << "a world does not come back to its sender";
    EXPECT_EQ(relay.server.world().worldFile, "seed=2");
    // A late joiner gets the room's world before the cells changed in it.
    ASSERT_TRUE(std::holds_alternative<net::WorldMessage>(c.received.at(2)));
    EXPECT_EQ(std::get<net::WorldMessage>(c.received[2]).worldFile, "seed=2");
    EXPECT_TRUE(std::holds_alternative<net::BlockEditsMessage>(c.received.at(3)));
    const auto* edits = c.last<net::BlockEditsMessage>();
    ASSERT_NE(edits, nullptr);
    ASSERT_EQ(edits->cells.size(), 2u) << "one entry per cell, the latest edit of each";
    EXPECT_EQ(edits->cells[0].id, 0);
    EXPECT_EQ(edits->cells[1].id, 4);
    EXPECT_EQ(c.last<net::PlayersMessage>()->players.size(), 3u);
}

TEST(RelayServer, AChatLineReachesEveryOtherGuestUnderTheSendersIdAndName) {
    Relay relay;
    TestPeer a, b, c;
    relay.join(a, "ИГРОК", "aaaa");
    relay.join(b, "B", "bbbb");
    relay.join(c, "ИГРОК");
    // Whatever id and name a guest claims, the host says who spoke; a second "ИГРОК" is numbered.
    a.send(net::ChatMessage{9, "not me", "ПРИВЕТ"});
    for (TestPeer* peer : {&b, &c}) {
        ASSERT_TRUE(peer->readUntil(relay.turn(), [&] { return peer->last<net::ChatMessage>() != nullptr; }));
        const net::ChatMessage& chat = *peer->last<net::ChatMessage>();
        EXPECT_EQ(chat.player, 1u);
        EXPECT_EQ(chat.name, "ИГРОК");
        EXPECT_EQ(chat.text, "ПРИВЕТ");
    }
    ASSERT_TRUE(a.readUntil(relay.turn(), [&] { return a.last<net::PosesMessage>() != nullptr; }));
    EXPECT_EQ(a.last<net::ChatMessage>(), nullptr) << "a line does not come back to its sender";
    c.send(net::ChatMessage{0, "", "ОТВЕТ"});
    ASSERT_TRUE(a.readUntil(relay.turn(), [&] { return a.last<net::ChatMessage>() != nullptr; }));
    EXPECT_EQ(a.last<net::ChatMessage>()->name, "ИГРОК 2");

    // The same player twice is turned away while the first is in the room.
    TestPeer twin;
    twin.socket = nettest::connectLoopback(relay.server.port());
    twin.send(net::HelloMessage{net::kProtocolVersion, kFingerprint, "40617395", "twin", "bbbb"});
    ASSERT_TRUE(twin.readUntil(relay.turn(), [&] { return twin.closed; }));
    ASSERT_NE(twin.last<net::RefusalMessage>(), nullptr);
    EXPECT_EQ(twin.last<net::RefusalMessage>()->reason, "This player is already in the room");
    EXPECT_EQ(net::refusalWords(twin.last<net::RefusalMessage>()->reason), "ЭТОТ ИГРОК УЖЕ В КОМНАТЕ");
    TestPeer d;
    relay.join(d, "D");
    platform::closeSocket(std::exchange(b.socket, -1));
    TestPeer back;
    relay.join(back, "B", "bbbb");
    EXPECT_EQ(relay.server.guestCount(), 4u);
}

// A guest entering a dimension gets the cells changed there, and none of those of the dimension it
// left, not even the ones that still waited for it when it went.
TEST(RelayServer, EditsStayInTheirDimensionAndAGuestArrivingThereGetsThem) {
    using Seen = std::vector<std::pair<std::string, int32_t>>;
    struct Row {
        const char* name;
        bool sentBeforeTheMove;
        Seen seen;  // the edits B gets: dimension and x
    };
    const Row rows[] = {
        {"the overworld's edit sent before B goes", true, {{"core:overworld", 3}, {"core:ash", 1}}},
        {"the overworld's edit still waiting when B goes", false, {{"core:ash", 1}}},
    };
    for (const Row& row : rows) {
        net::RelayConfig c = config();
        c.dimensions.insert("core:ash");
        Relay relay(c, true);
        TestPeer a, b;
        relay.join(a, "A");
        relay.join(b, "B");
        a.send(net::LocalPoseMessage{{1}, "core:ash"});
        a.send(net::BlockEditsMessage{{{1, 70, 1, 3, 0, 0}}, "core:ash"});
        a.send(net::BlockEditsMessage{{{3, 70, 3, 4, 0, 0}}});
        ASSERT_TRUE(b.readUntil(relay.turn(), [&] { return relay.server.changedCells().size() == 2; }));
        if (row.sentBeforeTheMove) {
            relay.now += 1.0;
            ASSERT_TRUE(b.readUntil(relay.turn(), [&] { return b.last<net::BlockEditsMessage>() != nullptr; }));
        }
        b.send(net::LocalPoseMessage{{2}, "core:ash"});
        ASSERT_TRUE(b.readUntil(relay.turn(), [&] {
            const auto* edits = b.last<net::BlockEditsMessage>();
            return edits && edits->dimension == "core:ash";
        })) << row.name;
        relay.now += 1.0;
        ASSERT_TRUE(b.readUntil(relay.turn(), [&] {
            const auto* poses = b.last<net::PosesMessage>();
            return poses && !poses->players.empty() && poses->players[0].dimension == "core:ash";
        })) << "the others learn where a guest went: " << row.name;
        Seen seen;
        for (const net::Message& m : b.received)
            if (const auto* edits = std::get_if<net::BlockEditsMessage>(&m))
                for (const net::CellEdit& cell : edits->cells) seen.emplace_back(edits->dimension, cell.x);
        EXPECT_EQ(seen, row.seen) << row.name;
    }
}

// Each talker has its own budget: one who talks fast takes nothing from another.
TEST(RelayServer, ChatLinesBeyondTheRelayedRateAreLeftOut) {
    for (const std::size_t talkers : {std::size_t{1}, std::size_t{2}}) {
        Relay relay(config(), true);  // the clock stands still: every line falls into one second
        TestPeer listener, talker[2];
        relay.join(listener, "L");
        for (std::size_t t = 0; t < talkers; ++t) relay.join(talker[t], "T" + std::to_string(t));
        for (uint32_t i = 0; i <= net::kChatLinesPerSecond; ++i)
            for (std::size_t t = 0; t < talkers; ++t) talker[t].send(net::ChatMessage{0, "", std::to_string(i)});
        listener.readUntil(relay.turn(), [] { return false; }, 200);  // all that is passed on is here by then
        std::map<std::string, std::size_t> heard;                       // lines per talker
        for (const net::Message& m : listener.received)
            if (const auto* chat = std::get_if<net::ChatMessage>(&m)) ++heard[chat->name];
        EXPECT_EQ(heard.size(), talkers);
        for (const auto& [name, lines] : heard) EXPECT_EQ(lines, net::kChatLinesPerSecond) << talkers << " " << name;
        EXPECT_TRUE(relay.server.drops().empty()) << "talking fast is no misbehaviour";
    }
}

std::vector<uint8_t> helloOf(uint16_t version, uint64_t fingerprint, const char* code, const char* name,
                             const char* identity = "someone") {
    return nettest::frameOf(net::HelloMessage{version, fingerprint, code, name, identity});
}

// Each refused guest reads why.
TEST(RelayServer, AGuestWithOtherCodeContentOrVersionIsRefusedAndClosed) {
    struct Row {
        std::vector<uint8_t> hello;
        const char* reason;
        const char* words;  // what the game's form says
    };
    const uint16_t ours = net::kProtocolVersion;
    const Row rows[] = {
        {helloOf(ours, kFingerprint, "40617396", "x"), "Wrong room code", "НЕВЕРНЫЙ КОД КОМНАТЫ"},
        {helloOf(ours, kFingerprint + 1, "40617395", "x"), "Game content differs from the server's",
         "СОДЕРЖИМОЕ ИГРЫ НЕ СОВПАДАЕТ"},
        {helloOf(4, kFingerprint, "40617395", "x"),
         "Protocol version 4 differs from the server's 5: the game and the server must be of the same release",
         "ВЕРСИЯ ИГРЫ НЕ СОВПАДАЕТ"},
        {helloOf(6, kFingerprint, "40617395", "x"),
         "Protocol version 6 differs from the server's 5: the game and the server must be of the same release",
         "ВЕРСИЯ ИГРЫ НЕ СОВПАДАЕТ"},
        {helloOf(ours, kFingerprint, "40617395", "two\nlines"), "The player name holds a character that cannot be shown",
         "НЕДОПУСТИМОЕ ИМЯ ИГРОКА"},
        {helloOf(ours, kFingerprint, "40617395", "\xD0"), "The player name holds a character that cannot be shown",
         "НЕДОПУСТИМОЕ ИМЯ ИГРОКА"},
        {helloOf(ours, kFingerprint, "40617395", ""), "The player name is empty", "НЕДОПУСТИМОЕ ИМЯ ИГРОКА"},
        {helloOf(ours, kFingerprint, "40617395", "x", ""), "The player has no network identity",
         "НЕТ СЕТЕВОГО ИМЕНИ ИГРОКА"},
    };
    Relay relay;
    for (const Row& row : rows) {
        TestPeer peer;
        peer.socket = nettest::connectLoopback(relay.server.port());
        nettest::sendAll(peer.socket, row.hello);
        ASSERT_TRUE(peer.readUntil(relay.turn(), [&] { return peer.closed; })) << row.reason;
        ASSERT_NE(peer.last<net::RefusalMessage>(), nullptr) << row.reason;
        EXPECT_EQ(peer.last<net::RefusalMessage>()->reason, row.reason);
        EXPECT_EQ(net::refusalWords(row.reason), row.words);
        EXPECT_EQ(peer.last<net::WelcomeMessage>(), nullptr);
    }
    EXPECT_EQ(relay.server.guestCount(), 0u);
    EXPECT_TRUE(relay.server.drops().empty()) << "a refusal is no misbehaviour";
}

// The default room holds as many as a Players message lists.
TEST(RelayServer, TheGuestThatFillsTheRoomIsAdmittedTheNextIsRefusedUntilSomeoneLeaves) {
    net::RelayConfig c = config();
    c.limits.silenceSeconds = 600;  // the first guests wait quietly while the room fills
    Relay relay(c);
    std::vector<TestPeer> guests(net::kMaxPlayers);
    for (std::size_t i = 0; i < guests.size(); ++i) relay.join(guests[i], "G" + std::to_string(i));
    ASSERT_EQ(relay.server.guestCount(), net::kMaxPlayers);
    TestPeer& last = guests.back();
    ASSERT_TRUE(last.readUntil(relay.turn(), [&] { return last.last<net::PlayersMessage>() != nullptr; }));
    EXPECT_EQ(last.last<net::PlayersMessage>()->players.size(), net::kMaxPlayers);

    TestPeer refused;
    refused.socket = nettest::connectLoopback(relay.server.port());
    refused.send(net::HelloMessage{net::kProtocolVersion, kFingerprint, "40617395", "one too many", "more"});
    ASSERT_TRUE(refused.readUntil(relay.turn(), [&] { return refused.closed; }));
    ASSERT_NE(refused.last<net::RefusalMessage>(), nullptr);
    EXPECT_EQ(refused.last<net::RefusalMessage>()->reason, "The room is full");
    EXPECT_EQ(net::refusalWords("The room is full"), "КОМНАТА ЗАПОЛНЕНА");
    EXPECT_EQ(relay.server.guestCount(), net::kMaxPlayers);

    platform::closeSocket(std::exchange(guests.front().socket, -1));
    TestPeer next;
    relay.join(next, "next");
    EXPECT_EQ(relay.server.guestCount(), net::kMaxPlayers);
    EXPECT_TRUE(relay.server.drops().empty());
}

TEST(RelayServer, ABadGuestIsDroppedWithOneLineAndTheOthersGoOn) {
    struct Row {
        const char* name;
        std::vector<uint8_t> bytes;
        bool admitFirst;
        bool closeAfter;
        const char* cause;
    };
    std::vector<uint8_t> flood, byteFlood;
    for (int i = 0; i < 30; ++i) net::appendFrame(flood, net::ClientEventMessage{3});
    for (int i = 0; i < 5; ++i)
        net::appendFrame(byteFlood, net::BlockEditsMessage{std::vector<net::CellEdit>(2048)});
    // The start of a Hello far longer than any.
    std::vector<uint8_t> longFrameStart = {'Q', 'R', '6', '1', 1, 0, 0, 0, 0, 0, 1, 0};
    longFrameStart.resize(5000, 'x');
    const Row rows[] = {
        {"garbage", {0xEE, 1, 2, 3, 4}, false, false, "bad message: frame without the QR61 magic"},
        {"oversized length",
         {'Q', 'R', '6', '1', 1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F},
         true,
         false,
         "bad message: payload length 2147483647 out of range"},
        {"flood", flood, true, false, "flood: more than 20 messages in one second"},
        {"byte flood", byteFlood, true, false, "flood: more than 100000 bytes in one second"},
        {"silence", {}, true, false, "silent for more than 0.3 seconds"},
        {"closed mid-message",
         {'Q', 'R', '6', '1', 11, 0, 0, 0, 16, 0, 0, 0, 1},
         true,
         true,
         "connection closed in the middle of a message"},
        {"talk before hello", nettest::frameOf(net::ClientEventMessage{1}), false, false,
         "spoke before its Hello"},
        {"a long frame before its Hello is answered", longFrameStart, false, false,
         "sent more than a Hello before its Hello was answered"},
    };
    for (const Row& row : rows) {
        net::RelayConfig c = config();
        c.limits.messagesPerSecond = 20;
        c.limits.silenceSeconds = 0.3;
        c.limits.bytesPerSecond = 100000;
        c.maxEditedCellsPerSecond = 1u << 20;  // the link's own limits are what is tried here
        Relay relay(c);
        TestPeer good, bad;
        relay.join(good, "good");
        auto lastPose = std::chrono::steady_clock::now();
        auto turn = [&] {
            relay.server.step(2);
            if (std::chrono::steady_clock::now() - lastPose > std::chrono::milliseconds(100)) {
                lastPose = std::chrono::steady_clock::now();
                good.send(net::LocalPoseMessage{});
            }
        };
        if (row.admitFirst) {
            relay.join(bad, "bad");
        } else {
            bad.socket = nettest::connectLoopback(relay.server.port());
        }
        nettest::sendAll(bad.socket, row.bytes);
        if (row.closeAfter) {
            platform::closeSocket(bad.socket);
            bad.socket = -1;
            bad.closed = true;
        }
        ASSERT_TRUE(good.readUntil(turn, [&] { return !relay.server.drops().empty(); })) << row.name;
        good.received.clear();
        ASSERT_TRUE(good.readUntil(turn, [&] { return good.last<net::PosesMessage>() != nullptr; }))
            << row.name;
        ASSERT_EQ(relay.server.drops().size(), 1u) << row.name;
        EXPECT_EQ(relay.server.drops()[0],
                  "Guest " + std::string(row.admitFirst ? "2" : "0") + " dropped: " + row.cause)
            << row.name;
        EXPECT_EQ(relay.server.guestCount(), 1u) << row.name;
    }
}

}  // namespace

namespace {

TEST(RelayServer, EditsFromManyMessagesReachTheOthersInFewBatches) {
    Relay relay;
    TestPeer a, b;
    relay.join(a, "A");
    relay.join(b, "B");
    for (int32_t i = 0; i < 300; ++i) a.send(net::BlockEditsMessage{{{i, 70, 0, 3, 0, 0}}});
    std::size_t cells = 0, batches = 0;
    ASSERT_TRUE(b.readUntil(relay.turn(), [&] {
        cells = batches = 0;
        for (const net::Message& message : b.received)
            if (const auto* edits = std::get_if<net::BlockEditsMessage>(&message)) {
                cells += edits->cells.size();
                ++batches;
            }
        return cells == 300;
    }));
    EXPECT_LT(batches, 30u) << "batched, so a busy builder never floods the others";
    EXPECT_TRUE(relay.server.drops().empty());
}

// Past the cells it remembers for late joiners, the relay still passes new cells on and still follows
// the ones it remembers.
TEST(RelayServer, TheCellsRememberedStopAtTheirLimit) {
    net::RelayConfig c = config();
    c.maxChangedCells = 2;
    Relay relay(c);
    TestPeer a, b, late;
    relay.join(a, "A");
    relay.join(b, "B");
    a.send(net::BlockEditsMessage{{{1, 70, 0, 3, 0, 0}, {2, 70, 0, 3, 0, 0}, {3, 70, 0, 3, 0, 0}}});
    a.send(net::BlockEditsMessage{{{1, 70, 0, 4, 0, 0}}});
    std::vector<int32_t> relayed;
    ASSERT_TRUE(b.readUntil(relay.turn(), [&] {
        relayed.clear();
        for (const net::Message& message : b.received)
            if (const auto* edits = std::get_if<net::BlockEditsMessage>(&message))
                for (const net::CellEdit& cell : edits->cells) relayed.push_back(cell.x * 10 + cell.id);
        return relayed.size() == 4;
    }));
    EXPECT_EQ(relayed, (std::vector<int32_t>{13, 23, 33, 14}));
    relay.join(late, "late");
    ASSERT_TRUE(late.readUntil(relay.turn(), [&] { return late.last<net::PlayersMessage>() != nullptr; }));
    const auto* remembered = late.last<net::BlockEditsMessage>();
    ASSERT_NE(remembered, nullptr);
    ASSERT_EQ(remembered->cells.size(), 2u);
    EXPECT_EQ(remembered->cells[0].id, 4) << "a remembered cell follows its latest edit";
    EXPECT_EQ(remembered->cells[1].x, 2);
}

// The owner's snapshots to the others and the others' events to the owner stop at the budget within
// one second; what the owner sends a guest is not held back.
// An event number the relay does not look into.
constexpr uint32_t kPassedAsItIs = 99;
TEST(RelayServer, NoMoreThanTheBudgetIsPassedOnInOneSecond) {
    struct Row {
        const char* name;
        bool fromOwner;
        bool snapshots;
        std::size_t passed;  // of kRelayedPerSecond + 1 sent at once
    };
    const Row rows[] = {
        {"a guest's events", false, false, net::kRelayedPerSecond},
        {"the owner's snapshots", true, true, net::kRelayedPerSecond},
        {"the owner's events", true, false, net::kRelayedPerSecond + 1},
    };
    for (const Row& row : rows) {
        Relay relay;
        TestPeer owner, guest;
        relay.join(owner, "owner");
        relay.join(guest, "guest");
        TestPeer& from = row.fromOwner ? owner : guest;
        TestPeer& to = row.fromOwner ? guest : owner;
        std::vector<uint8_t> burst;
        for (uint32_t i = 0; i <= net::kRelayedPerSecond; ++i)
            net::appendFrame(burst, row.snapshots ? net::Message{net::MobsMessage{}}
                                                  : net::ClientEventMessage{kPassedAsItIs, 2, i, 1});
        // Once the other sees this pose, the relay has read everything before it.
        net::appendFrame(burst, net::LocalPoseMessage{{42}});
        nettest::sendAll(from.socket, burst);
        ASSERT_TRUE(to.readUntil(relay.turn(), [&] {
            const auto* poses = to.last<net::PosesMessage>();
            return poses && !poses->players.empty() && poses->players[0].pose[0] == 42.0f;
        })) << row.name;
        std::size_t passed = 0;
        for (const net::Message& message : to.received)
            passed += row.snapshots ? std::holds_alternative<net::MobsMessage>(message)
                                    : std::holds_alternative<net::ClientEventMessage>(message);
        EXPECT_EQ(passed, row.passed) << row.name;
    }
}

// The owner's world reaches the others; a non-owner's snapshot goes nowhere and its events go to the
// owner; when the owner leaves, the next admitted guest takes over and everyone is told.
TEST(RelayServer, OnlyTheOwnersSnapshotsAreRelayedAndOwnershipPassesInAdmissionOrder) {
    Relay relay;
    TestPeer a, b, c;
    relay.join(a, "A");
    relay.join(b, "B");
    relay.join(c, "C");
    for (TestPeer* peer : {&a, &b, &c}) {
        ASSERT_TRUE(
            peer->readUntil(relay.turn(), [&] { return peer->last<net::OwnerMessage>() != nullptr; }));
        EXPECT_EQ(peer->last<net::OwnerMessage>()->playerId, 1u);
    }
    auto mobsSeen = [](const TestPeer& peer) {
        std::vector<uint32_t> ids;
        for (const net::Message& message : peer.received)
            if (const auto* mobs = std::get_if<net::MobsMessage>(&message))
                ids.push_back(mobs->mobs.at(0).id);
        return ids;
    };
    auto poseOf = [](const TestPeer& peer, uint32_t id) {
        const auto* poses = peer.last<net::PosesMessage>();
        if (poses)
            for (const net::PlayerPose& p : poses->players)
                if (p.id == id) return p.pose[0];
        return 0.0f;
    };
    // The pose after it shows that the relay has read b's snapshot.
    b.send(net::MobsMessage{{{99, 0, 1, 2, 3, 0, 0, 5}}});
    b.send(net::LocalPoseMessage{{42}});
    ASSERT_TRUE(c.readUntil(relay.turn(), [&] { return poseOf(c, 2) == 42.0f; }));
    a.send(net::MobsMessage{{{7, 0, 1, 2, 3, 0, 0, 5}}});
    ASSERT_TRUE(c.readUntil(relay.turn(), [&] { return !mobsSeen(c).empty(); }));
    ASSERT_TRUE(b.readUntil(relay.turn(), [&] { return !mobsSeen(b).empty(); }));
    EXPECT_EQ(mobsSeen(c), std::vector<uint32_t>{7});
    EXPECT_EQ(mobsSeen(b), std::vector<uint32_t>{7});
    EXPECT_TRUE(mobsSeen(a).empty()) << "not echoed to the owner";

    b.send(net::ClientEventMessage{net::kEventHitMob, 3, 7, 4});  // claims to be guest 3
    ASSERT_TRUE(a.readUntil(relay.turn(), [&] { return a.last<net::ClientEventMessage>() != nullptr; }));
    const net::ClientEventMessage hit = *a.last<net::ClientEventMessage>();
    EXPECT_EQ(hit.player, 2u) << "the relay names the real sender";
    EXPECT_EQ(hit.subject, 7u);
    EXPECT_EQ(hit.amount, 4);
    // A grant reaches the guest that asked for the pile.
    a.send(net::ItemsMessage{{{5, 0, 0, 0, 0, 12, 40}}});
    ASSERT_TRUE(c.readUntil(relay.turn(), [&] { return c.last<net::ItemsMessage>() != nullptr; }));
    c.send(net::ClientEventMessage{net::kEventTakePile, 0, 40, 0});
    ASSERT_TRUE(a.readUntil(relay.turn(), [&] { return a.last<net::ClientEventMessage>()->subject == 40u; }));
    a.send(net::ClientEventMessage{net::kEventPileGiven, 3, 5, 12});
    ASSERT_TRUE(c.readUntil(relay.turn(), [&] { return c.last<net::ClientEventMessage>() != nullptr; }));
    EXPECT_EQ(c.last<net::ClientEventMessage>()->amount, 12);
    EXPECT_EQ(b.last<net::ClientEventMessage>(), nullptr) << "only the guest it names";

    platform::closeSocket(a.socket);
    a.socket = -1;
    for (TestPeer* peer : {&b, &c}) {
        ASSERT_TRUE(
            peer->readUntil(relay.turn(), [&] { return peer->last<net::OwnerMessage>()->playerId == 2u; }));
    }
    EXPECT_EQ(relay.server.ownerId(), 2u);
    b.send(net::MobsMessage{{{8, 0, 1, 2, 3, 0, 0, 5}}});
    ASSERT_TRUE(c.readUntil(relay.turn(), [&] { return mobsSeen(c).size() == 2; }));
    EXPECT_EQ(mobsSeen(c).back(), 8u);
    platform::closeSocket(b.socket);
    b.socket = -1;
    ASSERT_TRUE(c.readUntil(relay.turn(), [&] { return c.last<net::OwnerMessage>()->playerId == 3u; }));
    EXPECT_TRUE(relay.server.drops().empty()) << "a non-owner's snapshot is ignored, not a drop";
}

TEST(RelayServer, WhatIsPassedOnStopsAtItsBudgetUntilTheNextSecond) {
    net::RelayBudget budget;
    struct Row {
        double now;
        uint32_t takes;  // of 5 tries, with 3 a second
    };
    for (const Row row : {Row{10.0, 3}, Row{10.999, 0}, Row{11.0, 3}}) {
        uint32_t taken = 0;
        for (int i = 0; i < 5; ++i) taken += budget.take(row.now, 3) ? 1 : 0;
        EXPECT_EQ(taken, row.takes) << row.now;
    }
}

}  // namespace

// What a room must withstand: code guessing, a reader that falls behind, a connection that never
// says Hello, an edit naming an unknown block and a grant larger than the pile.
namespace {

// 127.b.c.d in network order.
constexpr uint32_t loopbackAddress(uint32_t b, uint32_t c, uint32_t d) {
    return 127u | b << 8 | c << 16 | d << 24;
}

// Says Hello with the code and waits for the answer; true when let in.
bool tryCode(Relay& relay, TestPeer& peer, const std::string& code, uint32_t from = nettest::kLoopback) {
    peer.socket = nettest::connectLoopbackFrom(relay.server.port(), from);
    peer.send(net::HelloMessage{net::kProtocolVersion, kFingerprint, code, "x", "player " + std::to_string(from)});
    peer.readUntil(relay.turn(), [&] { return peer.closed || peer.last<net::WelcomeMessage>() != nullptr; });
    return peer.last<net::WelcomeMessage>() != nullptr;
}

TEST(RelayServerGuards, WrongRoomCodesLockTheirAddressOutForAWaitThatGrows) {
    const uint32_t one = nettest::kLoopback, two = loopbackAddress(0, 0, 2), three = loopbackAddress(0, 0, 3),
                   four = loopbackAddress(0, 0, 4);
    const std::string lockedOut = "Address 127.0.0.1: 3 wrong room codes, no Hello heard for 0.4 s";
    const std::string roomSpent =
        "Wrong room codes from many addresses: addresses that sent one wait for the room's budget of 1 a second";
    struct Row {
        const char* name;
        std::vector<uint32_t> wrongFrom;  // one wrong code each
        double roomBurst;                 // wrong codes the room hears at once
        uint32_t rightFrom;
        double waitFirst;     // seconds before the right code
        const char* refusal;  // nullptr: let in
        std::vector<std::string> notices;
    };
    const Row rows[] = {
        {"one wrong code less than the address's budget", {one, one}, 30, one, 0, nullptr, {}},
        {"the address's budget spent", {one, one, one}, 30, one, 0, net::kAddressLockedOut, {lockedOut}},
        {"another address", {one, one, one}, 30, two, 0, nullptr, {lockedOut}},
        {"after the address's wait", {one, one, one}, 30, one, 0.5, nullptr, {lockedOut}},
        {"the room's budget spent by others: an address that did not guess", {two, three, four}, 3, one, 0, nullptr, {}},
        {"the room's budget spent: an address that guessed", {two, three, four}, 3, two, 0, net::kRoomGuessedOut,
         {roomSpent}},
        {"the room's budget a second later", {two, three, four}, 3, two, 1.0, nullptr, {}},
    };
    for (const Row& row : rows) {
        net::RelayConfig c = config();
        c.codes.freeWrongCodes = 3;
        c.codes.wrongCodeWait = 0.4;
        c.codes.roomWrongCodeBurst = row.roomBurst;
        c.codes.salt = 1;
        Relay relay(c, true);
        for (std::size_t i = 0; i < row.wrongFrom.size(); ++i) {
            TestPeer wrong;
            EXPECT_FALSE(tryCode(relay, wrong, "0000000" + std::to_string(i), row.wrongFrom[i])) << row.name;
            ASSERT_NE(wrong.last<net::RefusalMessage>(), nullptr) << row.name;
            EXPECT_EQ(wrong.last<net::RefusalMessage>()->reason, net::kWrongRoomCode) << row.name;
        }
        relay.now += row.waitFirst;
        TestPeer right;
        const auto asked = std::chrono::steady_clock::now();
        EXPECT_EQ(tryCode(relay, right, "40617395", row.rightFrom), row.refusal == nullptr) << row.name;
        if (row.refusal == nullptr) {
            EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::milliseconds(300)) << row.name;
        } else {
            EXPECT_EQ(right.last<net::RefusalMessage>()->reason, row.refusal) << row.name;
            EXPECT_EQ(net::refusalWords(row.refusal), "СЛИШКОМ МНОГО НЕВЕРНЫХ КОДОВ") << row.name;
        }
        EXPECT_EQ(relay.server.notices(), row.notices) << row.name;
        EXPECT_TRUE(relay.server.drops().empty()) << row.name;
    }
    // Each wrong code after a wait doubles the next one.
    net::RelayConfig c = config();
    c.codes.freeWrongCodes = 1;
    c.codes.wrongCodeWait = 0.1;
    Relay relay(c, true);
    for (int i = 0; i < 2; ++i) {
        TestPeer wrong;
        tryCode(relay, wrong, "1");
        relay.now += 0.12;
    }
    EXPECT_EQ(relay.server.notices().back(), "Address 127.0.0.1: 2 wrong room codes, no Hello heard for 0.2 s");
}

// Guessers at the rate one machine sent Hellos (4,336 a second), each address in turn, for 30 s of
// the room's clock: once every address has had its first look, what the room hears puts trying
// every code beyond 100 days, and a player who did not guess still gets in at once.
TEST(RelayServerGuards, GuessingFromManyAddressesInTurnCannotTryEveryCodeIn100Days) {
    constexpr double kHellosPerSecond = 4336, kSeconds = 30, kSettledFrom = 10;
    for (const uint32_t addresses : {1u, 5000u}) {
        net::RoomCodeRules rules;
        rules.salt = 1;
        net::RoomCodeGate gate("40617395", rules, 0.0);
        uint64_t heard = 0, heardSettled = 0;
        for (uint64_t i = 0; i < static_cast<uint64_t>(kHellosPerSecond * kSeconds); ++i) {
            const double now = static_cast<double>(i) / kHellosPerSecond;
            const uint32_t address = 0x10000000u + static_cast<uint32_t>(i % addresses);
            if (gate.check(address, std::to_string(10000000 + i), now).refusal != net::kWrongRoomCode) continue;
            ++heard;
            if (now >= kSettledFrom) ++heardSettled;
        }
        const double perSecond = static_cast<double>(heardSettled) / (kSeconds - kSettledFrom);
        EXPECT_GT(1e8 / std::max(perSecond, 1e-9) / 86400, 100) << addresses << " addresses, " << perSecond << " a second";
        EXPECT_LE(heard, addresses + rules.roomWrongCodeBurst + kSeconds * rules.roomWrongCodesPerSecond + 5)
            << "each address is heard once before the room's budget holds it: " << addresses;
        EXPECT_EQ(gate.check(nettest::kLoopback, "40617395", kSeconds).refusal, "") << addresses;
        EXPECT_NE(gate.check(0x10000000u, "40617395", kSeconds).refusal, "") << "a guesser's code is not looked at";
    }
}

// The relayed edits wait per guest; the one whose queue passes its bound is dropped, the sender stays.
TEST(RelayServerGuards, AGuestWhoseQueuePassesItsByteBoundIsDroppedAndTheOthersStay) {
    constexpr std::size_t cells = 100;  // 1500 bytes waiting: at the first bound, one byte past the second
    for (const std::size_t bound : {cells * net::kCellEditBytes, cells * net::kCellEditBytes - 1}) {
        net::RelayConfig c = config();
        c.maxQueueBytes = bound;
        c.editsInterval = c.posesInterval = 1000;  // nothing leaves the queue on its own
        Relay relay(c);
        TestPeer a, b;
        relay.join(a, "A");
        relay.join(b, "B");
        ASSERT_TRUE(b.readUntil(relay.turn(), [&] {
            const auto* players = b.last<net::PlayersMessage>();
            return players && players->players.size() == 2;
        }));
        std::vector<net::CellEdit> edits(cells);
        for (std::size_t i = 0; i < cells; ++i) edits[i].x = static_cast<int32_t>(i);
        a.send(net::BlockEditsMessage{edits});
        ASSERT_TRUE(a.readUntil(relay.turn(), [&] { return relay.server.changedCells().size() == cells; }));
        const bool over = bound < cells * net::kCellEditBytes;
        EXPECT_EQ(relay.server.guestCount(), over ? 1u : 2u) << bound;
        EXPECT_EQ(relay.server.drops(), over ? std::vector<std::string>{"Guest 2 dropped: cannot keep up: more than "
                                                                         "1499 bytes wait for it"}
                                             : std::vector<std::string>{})
            << bound;
        EXPECT_EQ(relay.server.ownerId(), 1u);
    }
}

// Cells changed by one guest within a second, over two messages: past the budget the sender goes.
TEST(RelayServerGuards, AGuestChangingMoreCellsASecondThanTheBudgetIsDropped) {
    for (const std::size_t cells : {std::size_t{10}, std::size_t{11}}) {
        net::RelayConfig c = config();
        c.maxEditedCellsPerSecond = 10;
        Relay relay(c);
        TestPeer a, b;
        relay.join(a, "A");
        relay.join(b, "B");
        std::vector<net::CellEdit> edits(cells);
        for (std::size_t i = 0; i < cells; ++i) edits[i].x = static_cast<int32_t>(i);
        a.send(net::BlockEditsMessage{{edits.begin(), edits.begin() + 5}});
        a.send(net::BlockEditsMessage{{edits.begin() + 5, edits.end()}});
        const bool over = cells > 10;
        ASSERT_TRUE(b.readUntil(relay.turn(), [&] {
            return over ? !relay.server.drops().empty() : relay.server.changedCells().size() == cells;
        }));
        EXPECT_EQ(relay.server.drops(),
                  over ? std::vector<std::string>{"Guest 1 dropped: flood: more than 10 edited cells in one second"}
                       : std::vector<std::string>{})
            << cells;
        EXPECT_EQ(relay.server.changedCells().size(), over ? 5u : 10u) << "what came before the flood still counts";
    }
}

TEST(RelayServerGuards, AConnectionThatDoesNotSayHelloInTimeIsDropped) {
    struct Row {
        const char* name;
        int helloAfterMs;  // -1: a byte now and then, never a whole Hello
        bool admitted;
    };
    const Row rows[] = {{"prompt", 0, true}, {"just in time", 250, true}, {"a byte now and then", -1, false}};
    for (const Row& row : rows) {
        net::RelayConfig c = config();
        c.helloSeconds = 0.5;
        Relay relay(c);
        TestPeer peer;
        peer.socket = nettest::connectLoopback(relay.server.port());
        const std::vector<uint8_t> hello =
            nettest::frameOf(net::HelloMessage{net::kProtocolVersion, kFingerprint, "40617395", "x", "x"});
        const auto start = std::chrono::steady_clock::now();
        std::size_t trickled = 0;
        peer.readUntil(
            [&] {
                relay.server.step(2);
                const auto since = std::chrono::steady_clock::now() - start;
                if (row.helloAfterMs >= 0 && since >= std::chrono::milliseconds(row.helloAfterMs) && trickled == 0) {
                    nettest::sendAll(peer.socket, hello);
                    trickled = hello.size();
                } else if (row.helloAfterMs < 0 && since >= std::chrono::milliseconds(100 * trickled) &&
                           trickled < hello.size() - 1) {
                    nettest::sendAll(peer.socket, {hello[trickled++]});
                }
            },
            [&] { return peer.closed || peer.last<net::WelcomeMessage>() != nullptr; });
        EXPECT_EQ(peer.last<net::WelcomeMessage>() != nullptr, row.admitted) << row.name;
        EXPECT_EQ(relay.server.drops(),
                  row.admitted ? std::vector<std::string>{}
                               : std::vector<std::string>{"Guest 0 dropped: no Hello within 0.5 seconds"})
            << row.name;
    }
}

// An edit the world cannot hold would stop or corrupt every game that applies it.
TEST(RelayServerGuards, AnEditOutsideTheWorldIsRefusedNotRelayedAndNotKept) {
    struct Row {
        const char* name;
        net::BlockEditsMessage edits;
        const char* line;
    };
    const Row rows[] = {
        {"an unknown block id", {{{1, 70, 0, 88, 0, 0}, {2, 70, 0, 3, 0, 0}}}, "unknown block id 88"},
        {"below the world", {{{1, -1, 0, 3, 0, 0}}}, "height -1 outside 0..127"},
        {"above the world", {{{1, 128, 0, 3, 0, 0}}}, "height 128 outside 0..127"},
        {"a water level past full", {{{1, 70, 0, 5, 0, 9}}}, "water level 9 above 8"},
        {"a state no cell holds", {{{1, 70, 0, 3, 32, 0}}}, "state 32 outside 0..31"},
        {"a dimension the content does not define", {{{1, 70, 0, 3, 0, 0}}, "core:nowhere"},
         "unknown dimension core:nowhere"},
    };
    for (const Row& row : rows) {
        net::RelayConfig c = config();
        c.highestBlockId = 87;
        Relay relay(c);
        TestPeer a, b, late;
        relay.join(a, "A");
        relay.join(b, "B");
        a.send(row.edits);
        a.send(net::BlockEditsMessage{{{3, 127, 0, 87, 31, 8}, {4, 0, 0, 0, 0, 0}}});  // at every limit
        a.send(row.edits);
        ASSERT_TRUE(b.readUntil(relay.turn(), [&] { return b.last<net::BlockEditsMessage>() != nullptr; }));
        ASSERT_TRUE(b.readUntil(relay.turn(), [&] { return b.last<net::PosesMessage>() != nullptr; }));
        std::vector<int32_t> relayed;
        for (const net::Message& message : b.received)
            if (const auto* edits = std::get_if<net::BlockEditsMessage>(&message))
                for (const net::CellEdit& cell : edits->cells) relayed.push_back(cell.x);
        EXPECT_EQ(relayed, (std::vector<int32_t>{3, 4})) << "refused whole: " << row.name;
        relay.join(late, "late");
        ASSERT_TRUE(late.readUntil(relay.turn(), [&] { return late.last<net::PlayersMessage>() != nullptr; }));
        ASSERT_NE(late.last<net::BlockEditsMessage>(), nullptr) << row.name;
        EXPECT_EQ(late.last<net::BlockEditsMessage>()->cells.size(), 2u) << "not kept: " << row.name;
        EXPECT_EQ(relay.server.notices(),
                  std::vector<std::string>{"Guest 1: block edit refused: " + std::string(row.line) +
                                           " (further ones are refused without a line)"});
        EXPECT_EQ(relay.server.guestCount(), 3u) << "refused, not dropped: " << row.name;
    }
}

// The owner hands a guest at most what the pile it asked for held, once.
TEST(RelayServerGuards, AGrantAboveThePileTheGuestAskedForIsRefused) {
    struct Row {
        const char* name;
        bool asked;
        uint32_t item;
        int32_t amounts[2];  // two grants in a row
        int32_t passed;      // what reached the guest in all
    };
    const Row rows[] = {
        {"the whole pile", true, 5, {12, 12}, 12},
        {"one more than the pile", true, 5, {13, 0}, 0},
        {"another item", true, 6, {1, 0}, 0},
        {"a pile not asked for", false, 5, {12, 0}, 0},
    };
    for (const Row& row : rows) {
        Relay relay;
        TestPeer owner, guest;
        relay.join(owner, "owner");
        relay.join(guest, "guest");
        owner.send(net::ItemsMessage{{{5, 0, 0, 0, 0, 12, 40}}});
        ASSERT_TRUE(guest.readUntil(relay.turn(), [&] { return guest.last<net::ItemsMessage>() != nullptr; }));
        if (row.asked) {
            guest.send(net::ClientEventMessage{net::kEventTakePile, 0, 40, 0});
            ASSERT_TRUE(owner.readUntil(relay.turn(), [&] { return owner.last<net::ClientEventMessage>() != nullptr; }));
        }
        for (const int32_t amount : row.amounts)
            if (amount > 0) owner.send(net::ClientEventMessage{net::kEventPileGiven, 2, row.item, amount});
        owner.send(net::LocalPoseMessage{{42}});  // once the guest sees it, the grants were read
        ASSERT_TRUE(guest.readUntil(relay.turn(), [&] {
            const auto* poses = guest.last<net::PosesMessage>();
            return poses && !poses->players.empty() && poses->players[0].pose[0] == 42.0f;
        })) << row.name;
        int32_t passed = 0;
        for (const net::Message& message : guest.received)
            if (const auto* event = std::get_if<net::ClientEventMessage>(&message)) passed += event->amount;
        EXPECT_EQ(passed, row.passed) << row.name;
        EXPECT_EQ(relay.server.notices().size(), 1u) << "each refused grant is written down: " << row.name;
    }
}

// Takes every free descriptor up to one above `above` and lowers the limit to them, until it goes.
struct DescriptorsTaken {
    explicit DescriptorsTaken(int above) {
        int highest = above;
        for (int fd = ::dup(0); fd >= 0; fd = ::dup(0)) {
            fillers.push_back(fd);
            highest = std::max(highest, fd);
            if (fd > above) break;
        }
        EXPECT_EQ(::getrlimit(RLIMIT_NOFILE, &before), 0);
        rlimit tight = before;
        tight.rlim_cur = static_cast<rlim_t>(highest + 1);
        EXPECT_EQ(::setrlimit(RLIMIT_NOFILE, &tight), 0);
    }
    ~DescriptorsTaken() {
        ::setrlimit(RLIMIT_NOFILE, &before);
        for (const int fd : fillers) ::close(fd);
    }
    std::vector<int> fillers;
    rlimit before{};
};

// The sanitizers' runtime opens a pipe to check memory before it reports on an object, so a full
// descriptor table fails its own checks, not the server's; the plain build runs these.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kDescriptorsCanRunOut = false;
#else
constexpr bool kDescriptorsCanRunOut = true;
#endif

// Out of descriptors with nobody waiting for a Hello, the waiting connection cannot be taken: the
// server waits instead of spinning and takes it once a descriptor is free again.
TEST(RelayServerGuards, OutOfDescriptorsTheServerPausesAcceptingWithoutSpinning) {
    if (!kDescriptorsCanRunOut) GTEST_SKIP() << "needs free descriptors for the sanitizer runtime";
    net::RelayConfig c = config();
    c.acceptPause = 0.2;
    Relay relay(c);
    TestPeer guest;
    guest.socket = nettest::connectLoopback(relay.server.port());
    ASSERT_GE(guest.socket, 0);
    std::chrono::steady_clock::duration spent{};
    {
        DescriptorsTaken taken(guest.socket);
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < 10; ++i) relay.server.step(30);
        spent = std::chrono::steady_clock::now() - start;
    }
    EXPECT_GE(spent, std::chrono::milliseconds(150)) << "the turns waited for traffic instead of spinning";
    EXPECT_EQ(relay.server.notices(),
              std::vector<std::string>{"Out of file descriptors: not accepting guests for 0.2 s at a time until one is free"});
    guest.send(net::HelloMessage{net::kProtocolVersion, kFingerprint, "40617395", "x", "x"});
    EXPECT_TRUE(guest.readUntil(relay.turn(), [&] { return guest.last<net::WelcomeMessage>() != nullptr; }));
}

// Connections that never finish their Hello, from one address or many: a real guest still gets in,
// the one that has waited longest making room for it.
TEST(RelayServerGuards, ConnectionsSilentBeforeTheirHelloNeverKeepAGuestOut) {
    const uint32_t b = loopbackAddress(0, 3, 1), c = loopbackAddress(0, 3, 2), d = loopbackAddress(0, 3, 3);
    const std::string madeRoom =
        "Guest 0 dropped: no Hello within 0.5 seconds while the server had no place for another connection";
    struct Row {
        const char* name;
        std::vector<uint32_t> silentFrom;
        std::size_t maxWaiting;
        bool descriptorsFull;
        std::vector<bool> closed;  // which of the silent ones the server closed
        std::vector<std::string> drops;
    };
    const Row rows[] = {
        {"a fifth from one address is closed at once", {b, b, b, b, b}, 64, false,
         {false, false, false, false, true}, {}},
        {"every place for a waiting connection taken", {b, c, d}, 3, false, {true, false, false}, {madeRoom}},
        {"every descriptor taken", {b, c, d}, 64, true, {true, false, false}, {madeRoom}},
    };
    for (const Row& row : rows) {
        if (row.descriptorsFull && !kDescriptorsCanRunOut) continue;
        net::RelayConfig settings = config();
        settings.maxWaiting = row.maxWaiting;
        settings.crowdedHelloSeconds = 0.5;
        Relay relay(settings, true);
        std::vector<TestPeer> silent(row.silentFrom.size());
        for (std::size_t i = 0; i < silent.size(); ++i) {
            silent[i].socket = nettest::connectLoopbackFrom(relay.server.port(), row.silentFrom[i]);
            nettest::sendAll(silent[i].socket, {'Q', 'R', '6'});
            for (int turn = 0; turn < 5; ++turn) relay.server.step(2);
            relay.now += 0.1;  // the first has waited longest
        }
        relay.now += 0.5;
        TestPeer guest;
        guest.socket = nettest::connectLoopback(relay.server.port());
        {
            std::optional<DescriptorsTaken> taken;
            if (row.descriptorsFull) taken.emplace(guest.socket);
            guest.send(net::HelloMessage{net::kProtocolVersion, kFingerprint, "40617395", "x", "x"});
            EXPECT_TRUE(guest.readUntil(relay.turn(), [&] { return guest.last<net::WelcomeMessage>() != nullptr; }))
                << row.name;
        }
        for (std::size_t i = 0; i < silent.size(); ++i) {
            silent[i].readUntil(relay.turn(), [&] { return silent[i].closed; }, row.closed[i] ? 3000 : 50);
            EXPECT_EQ(silent[i].closed, row.closed[i]) << row.name << ", connection " << i;
        }
        EXPECT_EQ(relay.server.drops(), row.drops) << row.name;
    }
}

// Bad connections from many addresses, one every 10 ms of the server's clock for 30 s: the log stops
// at its size and counts the rest, memory keeps the latest lines only, and the guests who behave stay.
TEST(RelayServerGuards, AFloodOfBadConnectionsCostsABoundedLogAndLosesNoGuest) {
    constexpr int kBad = 3000;
    const std::string dropped = "Guest 0 dropped: bad message: frame without the QR61 magic";
    testsupport::TempDir dir;
    const std::filesystem::path log = dir.path() / "network_error.txt";
    {
        net::RelayConfig c = config();
        c.logPath = log.string();
        c.logBytes = 4096;
        Relay relay(c, true);
        TestPeer a, b;
        relay.join(a, "A");
        relay.join(b, "B");
        for (int i = 0; i < kBad; ++i) {
            relay.now += 0.01;
            const int bad = nettest::connectLoopbackFrom(relay.server.port(), loopbackAddress(2, i / 200, i % 200 + 1));
            nettest::sendAll(bad, {0xEE});
            platform::closeSocket(bad);
            relay.server.step(0);
            if (i % 10 == 0)
                for (TestPeer* guest : {&a, &b}) guest->send(net::LocalPoseMessage{});
        }
        ASSERT_TRUE(a.readUntil(relay.turn(), [&] { return relay.server.dropCount() == kBad; }));
        EXPECT_LE(relay.server.drops().size(), 2 * net::kLinesKept);
        EXPECT_EQ(relay.server.drops().back(), dropped);
        EXPECT_EQ(relay.server.guestCount(), 2u);
    }
    const std::size_t kept = 4096 / (dropped.size() + 1);  // whole lines up to the size
    std::string expected;
    for (std::size_t i = 0; i < kept; ++i) expected += dropped + "\n";
    EXPECT_EQ(testsupport::readFile(log), expected + "Log full: " + std::to_string(kBad - kept) + " more lines left out\n");
}

}  // namespace
