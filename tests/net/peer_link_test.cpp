// A peer that stops reading: its unsent data is capped.
#include <gtest/gtest.h>

#include "net/loopback.h"
#include "net/peer_link.h"
#include "platform/tcp.h"

namespace {

TEST(PeerLink, APeerThatDoesNotReadIsDroppedOnceItsUnsentDataPassesTheCap) {
    uint16_t port = 0;
    const int listener = nettest::listenLoopback(port);
    const int socket = nettest::connectLoopback(port);
    const int deaf = nettest::acceptWithin(listener, 2000);  // never reads
    ASSERT_GE(deaf, 0);
    net::LinkLimits limits;
    limits.sendBuffer = 1u << 20;
    net::LinkMeter meter;
    net::startMeter(meter, 0.0);
    std::vector<uint8_t> in, small(1024, 0), large(64u << 20, 0);
    std::vector<net::Message> messages;
    EXPECT_EQ(net::exchange(socket, in, small, meter, 0.0, limits, messages), "");
    EXPECT_TRUE(small.empty());
    EXPECT_EQ(net::exchange(socket, in, large, meter, 0.0, limits, messages),
              "peer does not read: more than 1048576 bytes wait to be sent");
    for (const int s : {socket, deaf, listener}) platform::closeSocket(s);
}

}  // namespace
