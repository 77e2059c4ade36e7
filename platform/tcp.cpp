#include "platform/tcp.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

namespace {

sockaddr_in socketAddress(uint32_t address, uint16_t port) {
    sockaddr_in result{};
    result.sin_family = AF_INET;
    result.sin_addr.s_addr = address;
    result.sin_port = htons(port);
    return result;
}

int newSocket() {
    return ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
}

// Game messages are small and latency-bound: send them at once.
void setNoDelay(int socket) {
    const int on = 1;
    setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

bool wouldBlock(int error) {
    return error == EAGAIN || error == EWOULDBLOCK;
}

}  // namespace

std::optional<uint32_t> parseIpv4(const std::string& text) {
    in_addr address{};
    if (inet_pton(AF_INET, text.c_str(), &address) != 1) return std::nullopt;
    return address.s_addr;
}

int startConnect(uint32_t address, uint16_t port) {
    const int socket = newSocket();
    if (socket < 0) return -1;
    setNoDelay(socket);
    const sockaddr_in target = socketAddress(address, port);
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0 || errno == EINPROGRESS)
        return socket;
    // Refused at once (possible on loopback): there is nothing left to wait for.
    ::close(socket);
    return -1;
}

ConnectState pollConnect(int socket, int timeoutMs) {
    pollfd entry{socket, POLLOUT, 0};
    int ready = 0;
    do {
        ready = ::poll(&entry, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    if (ready == 0) return ConnectState::InProgress;
    if (ready < 0) return ConnectState::Failed;
    int error = 0;
    socklen_t length = sizeof error;
    if (getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) return ConnectState::Failed;
    sockaddr_in peer{};
    socklen_t peerLength = sizeof peer;
    return getpeername(socket, reinterpret_cast<sockaddr*>(&peer), &peerLength) == 0 ? ConnectState::Connected
                                                                                      : ConnectState::Failed;
}

int listenOn(uint32_t address, uint16_t port, int backlog) {
    const int socket = newSocket();
    if (socket < 0) return -1;
    // SO_REUSEADDR only lets a restarted server bind past connections left in TIME_WAIT; Linux still
    // refuses a second listener on the port. SO_REUSEPORT, which would share it, is never set.
    const int on = 1;
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    const sockaddr_in local = socketAddress(address, port);
    if (::bind(socket, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 || ::listen(socket, backlog) != 0) {
        ::close(socket);
        return -1;
    }
    return socket;
}

int acceptConnection(int listenSocket) {
    const int socket = ::accept4(listenSocket, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (socket >= 0) setNoDelay(socket);
    return socket < 0 ? -1 : socket;
}

Accepted acceptPeer(int listenSocket) {
    sockaddr_in peer{};
    socklen_t length = sizeof peer;
    Accepted result;
    result.socket = ::accept4(listenSocket, reinterpret_cast<sockaddr*>(&peer), &length, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (result.socket < 0) {
        result.socket = -1;
        result.outOfDescriptors = errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM;
        return result;
    }
    setNoDelay(result.socket);
    result.address = peer.sin_addr.s_addr;
    return result;
}

std::string ipv4Text(uint32_t address) {
    char text[INET_ADDRSTRLEN] = {};
    in_addr value{};
    value.s_addr = address;
    inet_ntop(AF_INET, &value, text, sizeof text);
    return text;
}

long sendSome(int socket, const uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    for (;;) {
        const ssize_t sent = ::send(socket, data, size, MSG_NOSIGNAL);
        if (sent >= 0) return static_cast<long>(sent);
        if (errno == EINTR) continue;
        return wouldBlock(errno) ? 0 : -1;
    }
}

long receiveSome(int socket, uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    for (;;) {
        const ssize_t received = ::recv(socket, data, size, 0);
        if (received > 0) return static_cast<long>(received);
        if (received == 0) return -1;
        if (errno == EINTR) continue;
        return wouldBlock(errno) ? 0 : -1;
    }
}

void closeSocket(int socket) {
    if (socket >= 0) ::close(socket);
}

uint16_t localPort(int socket) {
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (getsockname(socket, reinterpret_cast<sockaddr*>(&local), &length) != 0) return 0;
    return ntohs(local.sin_port);
}

}  // namespace platform
