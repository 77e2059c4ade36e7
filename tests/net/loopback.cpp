#include "net/loopback.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/tcp.h"

namespace nettest {

int listenLoopback(uint16_t& port) {
    const int socket = platform::listenOn(kLoopback, 0, 8);
    port = socket < 0 ? 0 : platform::localPort(socket);
    return socket;
}

int acceptWithin(int listener, int ms) {
    pollfd entry{listener, POLLIN, 0};
    if (::poll(&entry, 1, ms) <= 0) return -1;
    return platform::acceptConnection(listener);
}

int connectLoopback(uint16_t port) {
    const int socket = platform::startConnect(kLoopback, port);
    if (socket < 0) return -1;
    if (platform::pollConnect(socket, 2000) != platform::ConnectState::Connected) {
        platform::closeSocket(socket);
        return -1;
    }
    return socket;
}

int connectLoopbackFrom(uint16_t port, uint32_t source) {
    const int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_in local{}, target{};
    local.sin_family = target.sin_family = AF_INET;
    local.sin_addr.s_addr = source;
    target.sin_addr.s_addr = kLoopback;
    target.sin_port = htons(port);
    if (socket < 0 || ::bind(socket, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 ||
        (::connect(socket, reinterpret_cast<const sockaddr*>(&target), sizeof target) != 0 && errno != EINPROGRESS) ||
        platform::pollConnect(socket, 2000) != platform::ConnectState::Connected) {
        platform::closeSocket(socket);
        return -1;
    }
    return socket;
}

void sendAll(int socket, const std::vector<uint8_t>& bytes) {
    std::size_t at = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (at < bytes.size() && std::chrono::steady_clock::now() < deadline) {
        const long sent = platform::sendSome(socket, bytes.data() + at, bytes.size() - at);
        if (sent < 0) return;
        at += static_cast<std::size_t>(sent);
        if (sent == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

std::vector<uint8_t> frameOf(const net::Message& message) {
    return net::encodeFrame(message);
}

TestPeer::~TestPeer() {
    platform::closeSocket(socket);
}

bool TestPeer::readUntil(const std::function<void()>& turn, const std::function<bool()>& done, int ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        if (turn) turn();
        uint8_t buffer[65536];
        const long got = closed ? 0 : platform::receiveSome(socket, buffer, sizeof buffer);
        if (got < 0) closed = true;
        if (got > 0) in.insert(in.end(), buffer, buffer + got);
        for (;;) {
            net::DecodedFrame frame = net::decodeFrame(in.data(), in.size());
            if (frame.status != net::DecodedFrame::Outcome::Complete) break;
            received.push_back(std::move(frame.message));
            in.erase(in.begin(), in.begin() + static_cast<std::ptrdiff_t>(frame.consumed));
        }
        if (got <= 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

}  // namespace nettest
