// One link's limits at their edges: bytes in a second, silence, and unsent data.
#include "net/peer_link.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/socket.h>

#include "net/loopback.h"
#include "net/session.h"
#include "platform/tcp.h"
#include "server/relay_server.h"

namespace {

// Our end of a connection and the peer's, which the test writes or leaves deaf. A local socket pair:
// what one end sends is there for the other at once, and a full buffer stays full until read.
struct Link {
    Link() {
        int ends[2] = {-1, -1};
        EXPECT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, ends), 0);
        socket = ends[0];
        peer = ends[1];
    }
    ~Link() {
        for (const int s : {socket, peer}) platform::closeSocket(s);
    }
    std::string turn(double now) { return net::exchange(socket, in, out, meter, now, limits, messages); }
    int socket = -1, peer = -1;
    net::LinkLimits limits;
    net::LinkMeter meter;
    std::vector<uint8_t> in, out;
    std::vector<net::Message> messages;
};

// The start of a frame that never ends: bytes that count, but no message.
std::vector<uint8_t> unfinished(std::size_t size) {
    // A hello header announcing a payload of 1 MiB.
    const uint8_t header[] = {'Q', 'R', '6', '1', 1, 0, 0, 0, 0, 0, 0x10, 0};
    std::vector<uint8_t> bytes(size, 0);
    for (std::size_t i = 0; i < std::min(size, sizeof header); ++i) bytes[i] = header[i];
    return bytes;
}

TEST(PeerLink, APeerIsAFloodOneBytePastTheLimitInOneSecond) {
    for (const std::size_t sent : {1000, 1001}) {
        Link link;
        link.limits.bytesPerSecond = 1000;
        net::startMeter(link.meter, 10.0);
        nettest::sendAll(link.peer, unfinished(sent));
        EXPECT_EQ(link.turn(10.5), sent == 1000 ? "" : "flood: more than 1000 bytes in one second");
        EXPECT_EQ(link.in.size(), sent);
    }
}

TEST(PeerLink, APeerIsSilentJustPastTheLimitSinceItLastSentAByte) {
    struct Row {
        double heard;  // when its last byte came (the start, 100, when it sent none)
        double now;
        const char* error;
    };
    const Row rows[] = {
        {100.0, 115.0, ""},
        {100.0, 115.001, "silent for more than 15 seconds"},
        {110.0, 125.0, ""},
        {110.0, 125.001, "silent for more than 15 seconds"},
    };
    for (const Row& row : rows) {
        Link link;
        net::startMeter(link.meter, 100.0);
        if (row.heard != 100.0) {
            nettest::sendAll(link.peer, unfinished(1));
            ASSERT_EQ(link.turn(row.heard), "");
        }
        EXPECT_EQ(link.turn(row.now), row.error) << row.heard << " " << row.now;
    }
}

TEST(PeerLink, APeerThatDoesNotReadIsDroppedOnceItsUnsentDataPassesTheCap) {
    Link link;
    link.limits.sendBuffer = 1u << 20;
    net::startMeter(link.meter, 0.0);
    const std::string dropped = "peer does not read: more than 1048576 bytes wait to be sent";
    link.out.assign(1024, 0);
    EXPECT_EQ(link.turn(0.0), "");
    EXPECT_TRUE(link.out.empty());
    link.out.assign(64u << 20, 0);
    EXPECT_EQ(link.turn(0.0), dropped);
    // Now the socket's buffer is full as well: exactly the cap may wait, one byte more may not.
    while (platform::sendSome(link.socket, link.out.data(), link.out.size()) > 0) {
    }
    for (const std::size_t waiting : {link.limits.sendBuffer, link.limits.sendBuffer + 1}) {
        link.out.assign(waiting, 0);
        EXPECT_EQ(link.turn(0.0), waiting == link.limits.sendBuffer ? "" : dropped);
        EXPECT_EQ(link.out.size(), waiting) << "nothing more left";
    }
}

// What the host passes on to a game from a full room whose other guests keep their own limits: two of
// their seconds can fall into one of the game's, and the host's own messages stay below one guest's
// share. A game takes exactly that and is flooded one past it.
TEST(PeerLink, AGameTakesWhatAFullRoomOfGuestsWithinTheirLimitsSendsAndNoMore) {
    const net::RelayConfig room;
    const std::size_t others = room.maxGuests - 1;
    const uint32_t messages = 2 * room.limits.messagesPerSecond * static_cast<uint32_t>(others + 1);
    const std::size_t bytes = 2 * room.limits.bytesPerSecond * (others + 1);
    const net::LinkLimits game = LanSession().limits;
    ASSERT_EQ(game.sendBuffer, room.limits.sendBuffer);
    struct Row {
        uint32_t messages;
        std::size_t bytes;
        std::string error;
    };
    const Row rows[] = {
        {messages, 0, ""},
        {messages + 1, 0, "flood: more than " + std::to_string(messages) + " messages in one second"},
        {0, bytes, ""},
        {0, bytes + 1, "flood: more than " + std::to_string(bytes) + " bytes in one second"},
    };
    std::vector<uint8_t> frames;
    for (uint32_t i = 0; i < messages + 1; ++i) net::appendFrame(frames, net::PosesMessage{});
    const std::size_t frameSize = frames.size() / (messages + 1);
    for (const Row& row : rows) {
        Link link;
        link.limits = game;
        net::startMeter(link.meter, 10.0);
        if (row.messages > 0) {
            link.in.assign(frames.begin(), frames.begin() + row.messages * frameSize);
            EXPECT_EQ(net::takeMessages(link.in, link.meter, 10.5, link.limits, link.messages), row.error);
            EXPECT_EQ(link.messages.size(), row.messages);
        } else {
            // The second's bytes came in earlier turns but the last thousand.
            link.meter.bytes = row.bytes - 1000;
            nettest::sendAll(link.peer, unfinished(1000));
            EXPECT_EQ(link.turn(10.5), row.error);
        }
    }
}

}  // namespace
