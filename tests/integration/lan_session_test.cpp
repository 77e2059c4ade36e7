// The server program and a joined game over 127.0.0.1, with fake peers played by the test.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "content/fingerprint.h"
#include "integration/game_fixture.h"
#include "net/protocol.h"
#include "platform/process.h"
#include "platform/tcp.h"

namespace fs = std::filesystem;
using testsupport::readFile;

namespace {

constexpr uint32_t kLoopback = 0x0100007F;

int connectWithin(uint16_t port, int ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < deadline) {
        const int socket = platform::startConnect(kLoopback, port);
        if (socket >= 0 && platform::pollConnect(socket, 500) == platform::ConnectState::Connected)
            return socket;
        platform::closeSocket(socket);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return -1;
}

void sendBytes(int socket, const std::vector<uint8_t>& bytes) {
    ASSERT_EQ(platform::sendSome(socket, bytes.data(), bytes.size()), static_cast<long>(bytes.size()));
}

// Messages as a socket brings them; bytes of a frame not yet whole wait for the next call.
struct Stream {
    int socket = -1;
    std::vector<uint8_t> in;

    // The next whole message within the time.
    std::optional<net::Message> next(int ms) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            net::DecodedFrame frame = net::decodeFrame(in.data(), in.size());
            if (frame.status == net::DecodedFrame::Outcome::Complete) {
                in.erase(in.begin(), in.begin() + static_cast<std::ptrdiff_t>(frame.consumed));
                return frame.message;
            }
            if (std::chrono::steady_clock::now() > deadline) return std::nullopt;
            uint8_t buffer[4096];
            const long got = platform::receiveSome(socket, buffer, sizeof buffer);
            if (got < 0) return std::nullopt;
            in.insert(in.end(), buffer, buffer + got);
            if (got == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
};

std::optional<net::Message> receiveMessage(int socket, int ms) {
    return Stream{socket, {}}.next(ms);
}

// The file's text once it ends a line ("" when none comes in time): a writer creates the file before
// it writes the line, so the file alone may still be empty.
std::string waitForLine(const fs::path& file, int ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;; std::this_thread::sleep_for(std::chrono::milliseconds(20))) {
        const std::string text = fs::exists(file) ? readFile(file) : "";
        if (text.ends_with('\n')) return text;
        if (std::chrono::steady_clock::now() > deadline) return "";
    }
}

// Starts the server program in `folder` on a port it picks itself and returns that port, read from
// its first line: a port picked for it beforehand may be taken by another test in the meantime.
uint16_t startServer(platform::ChildProcess& server, const fs::path& folder, const fs::path& content,
                     const std::string& mode = "") {
    server = platform::startProcess(
        "/bin/sh",
        {"-c", "exec \"$0\" " + mode + " 0 40617395 \"$1\" > server.out", QUORVANE_SERVER_EXECUTABLE,
         content.string()},
        folder);
    const std::string line = waitForLine(folder / "server.out", 30000);
    const std::size_t at = line.find("port ");
    return at == std::string::npos ? 0 : static_cast<uint16_t>(std::stoi(line.substr(at + 5)));
}

TEST(ServerProgram, ServesUntilAStopRequestAppearsInItsFolder) {
    testsupport::TempDir dir;
    testsupport::writeFile(dir.path() / "Content" / "a" / "definition.json", "{}");
    testsupport::writeFile(dir.path() / "stop.request", "");  // left over from an earlier run
    platform::ChildProcess server;
    ASSERT_NE(startServer(server, dir.path(), dir.path() / "Content", "--serve"), 0);
    EXPECT_FALSE(platform::waitProcess(server, 500).has_value()) << "an old request does not stop a new server";
    testsupport::writeFile(dir.path() / "stop.request", "");
    EXPECT_EQ(platform::waitProcess(server, 20000), 0);
    EXPECT_FALSE(fs::exists(dir.path() / "stop.request")) << "the request is taken away with it";
}

TEST(ServerProgram, AdmitsMatchingGuestsRefusesOthersAndDropsABadOne) {
    testsupport::TempDir dir;
    testsupport::writeFile(dir.path() / "Content" / "a" / "definition.json", "{}");
    const uint64_t fingerprint = content::fingerprint(dir.path() / "Content");
    platform::ChildProcess server;
    const uint16_t port = startServer(server, dir.path(), dir.path() / "Content");
    ASSERT_NE(port, 0) << "the server names its port once it listens";

    // Waits are long for a loaded machine; each ends as soon as what it waits for is there.
    const int good = connectWithin(port, 20000);
    ASSERT_GE(good, 0);
    sendBytes(good, net::encodeFrame(net::HelloMessage{net::kProtocolVersion, fingerprint, "40617395", "A", "a"}));
    Stream fromServer{good, {}};
    const auto welcome = fromServer.next(20000);
    ASSERT_TRUE(welcome && std::holds_alternative<net::WelcomeMessage>(*welcome));

    const int other = connectWithin(port, 20000);
    sendBytes(other,
              net::encodeFrame(net::HelloMessage{net::kProtocolVersion, fingerprint + 1, "40617395", "B", "b"}));
    const auto refusal = receiveMessage(other, 20000);
    ASSERT_TRUE(refusal && std::holds_alternative<net::RefusalMessage>(*refusal));
    EXPECT_EQ(std::get<net::RefusalMessage>(*refusal).reason, "Game content differs from the server's");

    sendBytes(good, net::encodeFrame(net::LocalPoseMessage{}));  // not silent, however slow the rest
    const int bad = connectWithin(port, 20000);
    sendBytes(bad, {'Q', 'R', '6', '1', 0xFE, 0, 0, 0, 1, 0, 0, 0, 0});
    EXPECT_EQ(waitForLine(dir.path() / "network_error.txt", 20000),
              "Guest 0 dropped: bad message: message type 254 out of range\n");
    EXPECT_FALSE(platform::waitProcess(server, 200).has_value()) << "the server goes on";
    EXPECT_TRUE(fromServer.next(20000).has_value()) << "and still serves the admitted guest";
    for (const int socket : {good, other, bad}) platform::closeSocket(socket);
    platform::stopProcess(server, 5000);
    EXPECT_EQ(server.exitCode, 0);
}

TEST(ServerProgram, RefusesABadCommandLine) {
    platform::ChildProcess server = platform::startProcess(QUORVANE_SERVER_EXECUTABLE, {"70000", "code"});
    EXPECT_EQ(platform::waitProcess(server, 5000), 2);
}

// The real game joins a host that answers its hello with garbage: the game writes one line and plays on.
TEST(GameStart, AJoinedGameOutlivesAHostThatSendsGarbage) {
    testsupport::GameInstall game;
    testsupport::Xvfb display;
    setenv("DISPLAY", display.display().c_str(), 1);
    setenv("QUORVANE_HEADLESS_CHECK", "", 1);
    const int listener = platform::listenOn(kLoopback, 0, 1);
    const uint16_t port = platform::localPort(listener);
    platform::ChildProcess child =
        platform::startProcess(game.root() / "buildBB" / "quorvane",
                               {"--lan-join", "127.0.0.1", std::to_string(port), "40617395"}, game.root());

    int peer = -1;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(90);
    while (peer < 0 && std::chrono::steady_clock::now() < deadline) {
        peer = platform::acceptConnection(listener);
        if (peer < 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_GE(peer, 0);
    const auto hello = receiveMessage(peer, 30000);
    ASSERT_TRUE(hello && std::holds_alternative<net::HelloMessage>(*hello));
    EXPECT_EQ(std::get<net::HelloMessage>(*hello).roomCode, "40617395");
    sendBytes(peer, {'Q', 'R', '6', '1', 0xAB, 0, 0, 0, 3, 0, 0, 0, 1, 2, 3});
    const fs::path errors = game.root() / "network_error.txt";
    ASSERT_FALSE(waitForLine(errors, 30000).empty());
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_FALSE(platform::waitProcess(child, 0).has_value()) << "the game plays on";
    EXPECT_EQ(readFile(errors), "LAN session ended: server: bad message: message type 171 out of range\n");
    platform::stopProcess(child, 20000);
    EXPECT_EQ(child.exitCode, 0);
    EXPECT_FALSE(fs::exists(game.root() / "last_error.txt"));
    EXPECT_FALSE(fs::exists(game.root() / "NetworkCache" / ("127.0.0.1_" + std::to_string(port))));
    platform::closeSocket(peer);
    platform::closeSocket(listener);
}

}  // namespace

namespace {

// The LAN and dedicated self-test scenarios run in the self-test scenario table.

}  // namespace

namespace {

// Two real games join the real server program; a third guest played by the test sees both bodies.
TEST(ServerProgram, TwoGamesJoinAndTheirBodiesAreRelayed) {
    // Two installs, so that the games keep their files apart; their content is the same.
    testsupport::GameInstall game, other;
    testsupport::Xvfb display;
    setenv("DISPLAY", display.display().c_str(), 1);
    setenv("QUORVANE_HEADLESS_CHECK", "", 1);
    const fs::path content = game.root() / "Content";
    platform::ChildProcess server;
    const uint16_t port = startServer(server, game.root(), content);
    ASSERT_NE(port, 0);
    const std::vector<std::string> join = {"--lan-join", "127.0.0.1", std::to_string(port), "40617395"};
    platform::ChildProcess first =
        platform::startProcess(game.root() / "buildBB" / "quorvane", join, game.root());
    platform::ChildProcess second =
        platform::startProcess(other.root() / "buildBB" / "quorvane", join, other.root());

    const int watcher = connectWithin(port, 5000);
    ASSERT_GE(watcher, 0);
    sendBytes(watcher, net::encodeFrame(net::HelloMessage{
                           net::kProtocolVersion, content::fingerprint(content), "40617395", "watcher", "w"}));
    Stream stream{watcher, {}};
    std::size_t bodies = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(90);
    while (bodies < 2 && std::chrono::steady_clock::now() < deadline) {
        // The watcher keeps talking, or the server would drop it as silent.
        sendBytes(watcher, net::encodeFrame(net::LocalPoseMessage{}));
        const auto message = stream.next(1000);
        if (message && std::holds_alternative<net::PosesMessage>(*message))
            bodies = std::get<net::PosesMessage>(*message).players.size();
    }
    EXPECT_EQ(bodies, 2u) << "both games joined and send their poses";
    for (platform::ChildProcess* child : {&first, &second}) {
        platform::stopProcess(*child, 20000);
        EXPECT_EQ(child->exitCode, 0);
    }
    platform::closeSocket(watcher);
    platform::stopProcess(server, 5000);
    for (const fs::path& root : {game.root(), other.root()}) {
        EXPECT_FALSE(fs::exists(root / "network_error.txt")) << "nobody misbehaved";
        EXPECT_FALSE(fs::exists(root / "last_error.txt"));
    }
}

// A game with a seed-2 world and a game without any world join one room: the second plays the
// first's world from its network cache and makes none of its own.
TEST(ServerProgram, AGuestWithoutAWorldPlaysTheRoomsWorldFromItsCache) {
    testsupport::GameInstall game, other;
    testsupport::Xvfb display;
    setenv("DISPLAY", display.display().c_str(), 1);
    setenv("QUORVANE_HEADLESS_CHECK", "", 1);
    // The world a --lan-join start of the first game plays.
    testsupport::writeFile(game.root() / "NetworkCache" / "startup-1" / "world.txt",
                           "QUORVANE_WORLD 1\nname Общий мир\nseed 2\ngeneration 4\n");
    platform::ChildProcess server;
    const uint16_t port = startServer(server, game.root(), game.root() / "Content");
    ASSERT_NE(port, 0);
    const std::vector<std::string> join = {"--lan-join", "127.0.0.1", std::to_string(port), "40617395"};
    platform::ChildProcess first = platform::startProcess(game.root() / "buildBB" / "quorvane", join, game.root());
    platform::ChildProcess second = platform::startProcess(other.root() / "buildBB" / "quorvane", join, other.root());

    const fs::path copy = other.root() / "NetworkCache" / ("127.0.0.1_" + std::to_string(port)) / "world.txt";
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(90);
    while (text.find("seed 2\n") == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        text = fs::exists(copy) ? readFile(copy) : "";
    }
    EXPECT_NE(text.find("seed 2\n"), std::string::npos) << "the guest holds the room's world: " << text;
    for (platform::ChildProcess* child : {&second, &first}) {
        platform::stopProcess(*child, 20000);
        EXPECT_EQ(child->exitCode, 0);
    }
    platform::stopProcess(server, 5000);
    EXPECT_TRUE(fs::is_empty(other.root() / "NetworkCache")) << "no world of its own, and the copy is gone";
    EXPECT_FALSE(fs::exists(other.root() / "Saves" / "world_1"));
    for (const fs::path& root : {game.root(), other.root()})
        EXPECT_FALSE(fs::exists(root / "network_error.txt") || fs::exists(root / "last_error.txt"));
}

}  // namespace
