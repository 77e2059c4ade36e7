#pragma once
// Plain sockets over 127.0.0.1 for the LAN tests: a fake peer on either side of a session.
#include <cstdint>
#include <functional>
#include <vector>

#include "net/protocol.h"

namespace nettest {

inline constexpr uint32_t kLoopback = 0x0100007F;  // 127.0.0.1 in network order

// A listening socket on a free loopback port.
int listenLoopback(uint16_t& port);
// The first connection that arrives within the time, or -1.
int acceptWithin(int listener, int ms);
// A connected socket, or -1.
int connectLoopback(uint16_t port);
// A connected socket from another loopback address (network order, such as 127.0.0.2), or -1.
int connectLoopbackFrom(uint16_t port, uint32_t source);
void sendAll(int socket, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> frameOf(const net::Message& message);

// A protocol peer driven by the test: it collects what arrives while `turn` runs the other side.
struct TestPeer {
    int socket = -1;
    std::vector<uint8_t> in;
    std::vector<net::Message> received;
    bool closed = false;

    ~TestPeer();
    void send(const net::Message& message) { sendAll(socket, frameOf(message)); }
    // Reads (running `turn` between reads) until `done` holds or the time is up; false on time-out.
    bool readUntil(const std::function<void()>& turn, const std::function<bool()>& done, int ms = 3000);
    template <class T>
    const T* last() const {
        for (auto it = received.rbegin(); it != received.rend(); ++it)
            if (const T* found = std::get_if<T>(&*it)) return found;
        return nullptr;
    }
};

}  // namespace nettest
