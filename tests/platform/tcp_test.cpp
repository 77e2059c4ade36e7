#include "platform/tcp.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

const uint32_t kLoopback = *platform::parseIpv4("127.0.0.1");

// Retries a non-blocking call until it gives a result or two seconds pass.
template <typename Call>
auto retry(Call call, auto isDone) {
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    auto result = call();
    while (!isDone(result) && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        result = call();
    }
    return result;
}

TEST(Tcp, ParsesDottedAddressesOnly) {
    const auto address = platform::parseIpv4("192.168.1.20");
    ASSERT_TRUE(address);
    const auto* bytes = reinterpret_cast<const uint8_t*>(&*address);
    EXPECT_EQ(bytes[0], 192);
    EXPECT_EQ(bytes[1], 168);
    EXPECT_EQ(bytes[2], 1);
    EXPECT_EQ(bytes[3], 20);
    EXPECT_EQ(platform::parseIpv4("256.1.1.1"), std::nullopt);
    EXPECT_EQ(platform::parseIpv4("1.2.3"), std::nullopt);
    EXPECT_EQ(platform::parseIpv4("localhost"), std::nullopt);
    EXPECT_EQ(platform::parseIpv4(""), std::nullopt);
}

class TcpPair : public testing::Test {
protected:
    void SetUp() override {
        listener_ = platform::listenOn(kLoopback, 0, 4);
        ASSERT_GE(listener_, 0);
        port_ = platform::localPort(listener_);
        ASSERT_NE(port_, 0);
        client_ = platform::startConnect(kLoopback, port_);
        ASSERT_GE(client_, 0);
        const auto state = retry([&] { return platform::pollConnect(client_, 10); },
                                 [](platform::ConnectState s) { return s != platform::ConnectState::InProgress; });
        ASSERT_EQ(state, platform::ConnectState::Connected);
        server_ = retry([&] { return platform::acceptConnection(listener_); }, [](int s) { return s >= 0; });
        ASSERT_GE(server_, 0);
    }
    void TearDown() override {
        platform::closeSocket(client_);
        platform::closeSocket(server_);
        platform::closeSocket(listener_);
    }
    std::string receive(int socket, std::size_t count) {
        std::string received;
        uint8_t buffer[64];
        retry([&] {
            const long got = platform::receiveSome(socket, buffer, sizeof buffer);
            if (got > 0) received.append(reinterpret_cast<char*>(buffer), static_cast<std::size_t>(got));
            return got;
        }, [&](long got) { return got < 0 || received.size() >= count; });
        return received;
    }

    int listener_ = -1;
    int client_ = -1;
    int server_ = -1;
    uint16_t port_ = 0;
};

TEST_F(TcpPair, PortIsExclusive) {
    const int second = platform::listenOn(kLoopback, port_, 4);
    EXPECT_EQ(second, -1);
    platform::closeSocket(second);
}

TEST_F(TcpPair, CarriesBytesBothWays) {
    uint8_t buffer[16];
    EXPECT_EQ(platform::receiveSome(server_, buffer, sizeof buffer), 0) << "nothing waits yet";
    const std::string hello = "hello";
    EXPECT_EQ(platform::sendSome(client_, reinterpret_cast<const uint8_t*>(hello.data()), hello.size()), 5);
    EXPECT_EQ(receive(server_, 5), "hello");
    const std::string reply = "ok";
    EXPECT_EQ(platform::sendSome(server_, reinterpret_cast<const uint8_t*>(reply.data()), reply.size()), 2);
    EXPECT_EQ(receive(client_, 2), "ok");
}

TEST_F(TcpPair, NoticesAClosedPeer) {
    platform::closeSocket(client_);
    client_ = -1;
    uint8_t buffer[16];
    EXPECT_EQ(retry([&] { return platform::receiveSome(server_, buffer, sizeof buffer); }, [](long r) { return r != 0; }),
              -1);
    // Sending into the closed connection fails sooner or later, without SIGPIPE ending the test.
    const uint8_t byte = 1;
    EXPECT_EQ(retry([&] { return platform::sendSome(server_, &byte, 1); }, [](long r) { return r < 0; }), -1);
}

TEST(Tcp, ConnectToAClosedPortFails) {
    const int listener = platform::listenOn(kLoopback, 0, 1);
    ASSERT_GE(listener, 0);
    const uint16_t port = platform::localPort(listener);
    platform::closeSocket(listener);
    // A refusal may come at once (no socket) or through the poll.
    const int socket = platform::startConnect(kLoopback, port);
    const auto state = socket < 0 ? platform::ConnectState::Failed
                                  : retry([&] { return platform::pollConnect(socket, 10); },
                                          [](platform::ConnectState s) { return s != platform::ConnectState::InProgress; });
    EXPECT_EQ(state, platform::ConnectState::Failed);
    platform::closeSocket(socket);
}

}  // namespace
