#pragma once
// IPv4 TCP sockets: non-blocking, TCP_NODELAY, no SIGPIPE. Sockets are plain descriptors, -1 = none.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// The address as four bytes in network order when `text` is a numeric dotted IPv4 address.
std::optional<uint32_t> parseIpv4(const std::string& text);

enum class ConnectState { InProgress, Connected, Failed };

// Starts a non-blocking connect; returns the socket, or -1 when no socket could be made.
int startConnect(uint32_t address, uint16_t port);
// Waits up to `timeoutMs` (0 = just look) for a started connect to finish.
ConnectState pollConnect(int socket, int timeoutMs);
// A non-blocking listening socket on `address` (0 = any) with exclusive use of the port; -1 on failure.
int listenOn(uint32_t address, uint16_t port, int backlog);
// A non-blocking accepted socket, or -1 when none waits.
int acceptConnection(int listenSocket);
struct Accepted {
    int socket = -1;             // -1 when none was taken
    uint32_t address = 0;        // the peer's IPv4 address, network order
    bool outOfDescriptors = false;  // the process or the system has no descriptor left for it
};
// Like acceptConnection, with the peer's address and why none was taken.
Accepted acceptPeer(int listenSocket);
// The IPv4 address (network order) as dotted text.
std::string ipv4Text(uint32_t address);
// Sends what the socket takes now: bytes sent, 0 when it would block, -1 on a broken connection.
long sendSome(int socket, const uint8_t* data, std::size_t size);
// Receives what is there: bytes read, 0 when nothing waits, -1 when the peer closed or failed.
long receiveSome(int socket, uint8_t* data, std::size_t size);
void closeSocket(int socket);
// The local port of a bound socket.
uint16_t localPort(int socket);

}  // namespace platform
