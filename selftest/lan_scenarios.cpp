// The LAN scenarios: the protocol and the relay (--lan-self-test) and the server program
// (--dedicated-self-test), each driven over 127.0.0.1 by protocol peers of its own. The "_OK: " line
// is written only when every check held; otherwise the first check that failed is named.
#include <chrono>
#include <functional>
#include <iostream>
#include <stdexcept>
#include <thread>

#include "content/fingerprint.h"
#include "net/peer_link.h"
#include "net/protocol.h"
#include "platform/environment.h"
#include "platform/tcp.h"
#include "selftest/scenario_log.h"
#include "selftest/scenarios.h"
#include "selftest/server_program.h"
#include "server/relay_server.h"

namespace selftest {

namespace {

constexpr uint32_t kLoopback = 0x0100007F;
constexpr const char* kRoom = "40617395";

void check(bool held, const std::string& what) {
    if (!held) throw std::runtime_error(what);
}

// A guest played by the scenario.
struct Peer {
    int socket = -1;
    std::vector<uint8_t> in, out;
    net::LinkMeter meter;
    std::vector<net::Message> received;
    bool closed = false;

    explicit Peer(uint16_t port) {
        socket = platform::startConnect(kLoopback, port);
        if (socket >= 0 && platform::pollConnect(socket, 2000) != platform::ConnectState::Connected) {
            platform::closeSocket(socket);
            socket = -1;
        }
        net::startMeter(meter, net::linkClock());
    }
    ~Peer() { platform::closeSocket(socket); }
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

    void send(const net::Message& message) { net::appendFrame(out, message); }
    void turn() {
        if (closed || socket < 0) return;
        const std::string error =
            net::exchange(socket, in, out, meter, net::linkClock(), net::hostLinkLimits(), received);
        closed = !error.empty();
    }
    template <class T>
    const T* last() const {
        for (auto it = received.rbegin(); it != received.rend(); ++it)
            if (const T* found = std::get_if<T>(&*it)) return found;
        return nullptr;
    }
};

// Runs `serve` and every peer until `done` holds; false after three seconds.
bool runUntil(const std::function<void()>& serve, std::initializer_list<Peer*> peers,
              const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        serve();
        for (Peer* peer : peers) peer->turn();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Each guest of a scenario is another player.
net::HelloMessage hello(uint64_t fingerprint, const std::string& room, const std::string& name) {
    return {net::kProtocolVersion, fingerprint, room, name, "self-test player " + name};
}

void checkFraming() {
    const std::vector<uint8_t> frame = net::encodeFrame(hello(7, kRoom, "ИГРОК"));
    const net::DecodedFrame whole = net::decodeFrame(frame.data(), frame.size());
    check(whole.status == net::DecodedFrame::Outcome::Complete && net::encodeFrame(whole.message) == frame,
          "a hello does not come back as it was sent");
    check(net::decodeFrame(frame.data(), frame.size() - 1).status == net::DecodedFrame::Outcome::Incomplete,
          "a cut frame is not left waiting");
    // The header of a hello whose payload would be one byte over 1 MiB.
    const uint8_t oversized[] = {'Q', 'R', '6', '1', 1, 0, 0, 0, 1, 0, 0x10, 0};
    check(net::decodeFrame(oversized, sizeof oversized).status == net::DecodedFrame::Outcome::Refused,
          "a payload over 1 MiB is not refused");
}

// One of the two is the world owner; its mobs reach the other guest.
void checkOwnerRelay(const std::function<void()>& serve, Peer& a, Peer& b) {
    check(
        runUntil(serve, {&a, &b}, [&] { return a.last<net::OwnerMessage>() && b.last<net::OwnerMessage>(); }),
        "the guests are not told who owns the world");
    const uint32_t owner = a.last<net::OwnerMessage>()->playerId;
    Peer& from = owner == a.last<net::WelcomeMessage>()->playerId ? a : b;
    Peer& to = &from == &a ? b : a;
    check(
        owner == from.last<net::WelcomeMessage>()->playerId && b.last<net::OwnerMessage>()->playerId == owner,
        "the guests disagree on the world owner");
    from.send(net::MobsMessage{{{5, 0, 1, 70, 2, 0, 0, 10}}});
    check(runUntil(serve, {&a, &b}, [&] { return to.last<net::MobsMessage>() != nullptr; }),
          "the owner's mobs do not reach the other guest");
}

void checkRelay() {
    net::RelayConfig config;
    config.port = 0;
    config.roomCode = kRoom;
    config.fingerprint = 11;
    net::RelayServer server(config);
    check(server.listen(kLoopback), "the relay cannot listen on 127.0.0.1");
    const auto serve = [&] { server.step(1); };
    Peer a(server.port()), b(server.port());
    a.send(hello(11, kRoom, "A"));
    b.send(hello(11, kRoom, "B"));
    check(runUntil(serve, {&a, &b},
                   [&] { return a.last<net::WelcomeMessage>() && b.last<net::WelcomeMessage>(); }),
          "two guests are not let in");
    a.send(net::BlockEditsMessage{{{1, 70, 2, 3, 0, 0}}});
    a.send(net::LocalPoseMessage{{4, 70, 5, 0, 0, 0, 0}});
    check(runUntil(serve, {&a, &b}, [&] { return b.last<net::BlockEditsMessage>() != nullptr; }),
          "an edit does not reach the other guest");
    check(runUntil(serve, {&a, &b},
                   [&] {
                       const auto* poses = b.last<net::PosesMessage>();
                       return poses && poses->players.size() == 1 && poses->players[0].pose[0] == 4.0f;
                   }),
          "a pose does not reach the other guest");
    checkOwnerRelay(serve, a, b);
    Peer late(server.port()), wrong(server.port()), bad(server.port());
    late.send(hello(11, kRoom, "C"));
    wrong.send(hello(11, "1", "D"));
    bad.out = {3, 0, 0, 0, 0xEE, 0, 0};
    check(runUntil(serve, {&a, &b, &late, &wrong, &bad},
                   [&] { return late.last<net::BlockEditsMessage>() && wrong.closed && bad.closed; }),
          "a late guest misses an edit, or a wrong code or garbage is not turned away");
    check(wrong.last<net::RefusalMessage>() && wrong.last<net::RefusalMessage>()->reason == "Wrong room code",
          "a wrong room code is not refused with its reason");
    check(server.drops().size() == 1, "a guest sending garbage is not dropped with one line");
    check(server.guestCount() == 3, "the relay lost a guest that behaved");
}

int runScenario(const Path& out, const std::string& name, const std::string& okLine,
                const std::function<void()>& checks) {
    const std::filesystem::path log = out / (name + ".log");
    try {
        checks();
    } catch (const std::exception& failure) {
        const std::string line = std::string("FAILED: ") + failure.what();
        writeResult(log, line);
        std::cerr << line << std::endl;
        return 1;
    }
    writeResult(log, okLine);
    std::cout << okLine << std::endl;
    return 0;
}

// The server program beside the game, on the game's own content, started with --serve and stopped
// through its stop request.
void checkServerProgram(const Path& out) {
    const std::filesystem::path content = platform::executablePath().parent_path().parent_path() / "Content";
    const uint64_t fingerprint = content::fingerprint(content);
    ServerProgram server(out / "dedicated-server", freeLoopbackPort(), kRoom, content);
    Peer a(server.port()), other(server.port());
    check(a.socket >= 0 && other.socket >= 0, "the server program does not take guests");
    a.send(hello(fingerprint, kRoom, "A"));
    other.send(hello(fingerprint ^ 1, kRoom, "B"));
    check(runUntil([] {}, {&a, &other}, [&] { return a.last<net::WelcomeMessage>() && other.closed; }),
          "the server program does not answer its guests");
    check(other.last<net::RefusalMessage>() != nullptr, "other content is not refused");
    check(runUntil([] {}, {&a}, [&] { return a.last<net::PlayersMessage>() != nullptr; }),
          "the server program does not list its players");
    check(server.stop() == 0, "the server program does not stop cleanly on its stop request");
}

}  // namespace

int lan(const Path& out) {
    return runScenario(
        out, "lan-self-test",
        "LAN_OK: framing limits, two guests through the relay over 127.0.0.1, edits, poses and the "
        "owner's mobs relayed, late joiner caught up, wrong room code refused, garbage sender dropped",
        [] {
            checkFraming();
            checkRelay();
        });
}

int dedicated(const Path& out) {
    return runScenario(out, "dedicated-self-test",
                       "DEDICATED_OK: server program started beside the game with --serve, guest with the game's "
                       "content admitted, other content refused, player list sent, clean stop on stop.request",
                       [&] { checkServerProgram(out); });
}

}  // namespace selftest
