#include "net/session.h"

#include <fstream>
#include <stdexcept>

#include "app/app.h"
#include "net/paths.h"
#include "platform/tcp.h"

namespace fs = std::filesystem;

namespace net {

fs::path makeAbsolutePath(const fs::path& path) { return path.is_absolute() ? path : fs::absolute(path); }

void reset(Connection& connection) {
    platform::closeSocket(connection.listenSocket);
    platform::closeSocket(connection.peerSocket);
    connection.listenSocket = -1;
    connection.peerSocket = -1;
    connection.connecting = false;
    connection.sendBuffer.clear();
    connection.receiveBuffer.clear();
}

Connection::~Connection() { reset(*this); }

}  // namespace net

namespace {

std::string cacheFolderName(const std::string& address, uint16_t port) {
    return address + "_" + std::to_string(port);
}

}  // namespace

void App::startSession(bool host, const std::string& address, uint16_t port, const std::string& roomCode) {
    if (host) throw std::runtime_error("Hosting runs in the separate server program");
    const std::optional<uint32_t> ip = platform::parseIpv4(address);
    if (!ip) throw std::runtime_error("Invalid server address");
    net::reset(lan.connection);
    lan.cacheDirectory = files.base / "NetworkCache" / cacheFolderName(address, port);
    fs::create_directories(lan.cacheDirectory);
    const int socket = platform::startConnect(*ip, port);
    if (socket < 0) throw std::runtime_error("Cannot create network socket");
    lan.connection.peerSocket = socket;
    lan.connection.connecting = true;
    lan.host = false;
    lan.networked = true;
    lan.started = false;
    lan.authenticated = false;
    lan.roomCode = roomCode;
    lan.peerAddress = address;
    lan.peerPort = port;
}

void App::updateNetwork() {
    if (!lan.networked) return;
    try {
        if (lan.connection.connecting) {
            switch (platform::pollConnect(lan.connection.peerSocket, 0)) {
                case platform::ConnectState::InProgress:
                    return;
                case platform::ConnectState::Failed:
                    throw std::runtime_error("Cannot connect to " + lan.peerAddress + ":" +
                                             std::to_string(lan.peerPort));
                case platform::ConnectState::Connected:
                    lan.connection.connecting = false;
                    break;
            }
        }
        // No message of the session is understood yet: the peer's bytes are read and dropped only to
        // notice a closed connection, and the session never counts as started.
        uint8_t buffer[4096];
        if (platform::receiveSome(lan.connection.peerSocket, buffer, sizeof buffer) < 0)
            throw std::runtime_error("Connection to the server was lost");
    } catch (const std::exception& failure) {
        // A failed session never ends the game: it is reported and the game goes on alone.
        std::ofstream log(files.base / "network_error.txt", std::ios::binary | std::ios::app);
        log << failure.what() << "\n";
        net::reset(lan.connection);
        lan.networked = false;
        lan.started = false;
        lan.ready = false;
    }
}
