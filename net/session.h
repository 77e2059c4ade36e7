#pragma once
// The LAN session as the App holds it: the connection, the flags and the connect form.
#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace net {

// The session's TCP connection: a listening and a peer socket (-1 when closed) and their buffers.
struct Connection {
    int listenSocket = -1;
    int peerSocket = -1;
    bool networkStarted = false;
    bool connecting = false;  // a non-blocking connect is under way
    std::vector<uint8_t> sendBuffer;
    std::vector<uint8_t> receiveBuffer;

    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection();
};

void reset(Connection& connection);

}  // namespace net

struct RemotePose {
    std::array<float, 7> values{};  // x, eye y, z, yaw, spare, walk amount, walk phase
};

struct LanSession {
    std::array<uint32_t, 256> serverToLocal{};
    std::array<uint32_t, 256> localToServer{};
    net::Connection connection;
    bool host = false;
    bool started = false;
    bool networked = false;
    bool authenticated = false;
    bool ready = false;
    bool startupJoin = false;
    uint64_t contentFingerprint = 0;
    std::string roomCode;
    std::string formAddress = "127.0.0.1";
    std::string formPort = "29810";
    std::string formRoomCode;
    std::string formStatus;
    std::string playerName = "ИГРОК";
    std::string peerAddress;
    uint16_t peerPort = 0;
    std::filesystem::path cacheDirectory;
    std::map<uint32_t, RemotePose> remotePoses;
    // The session's own extra player (drawn before the map's), valid while the flag is set.
    RemotePose extraPose;
    bool hasExtraPose = false;
    std::vector<std::string> playerList;

    LanSession() {
        for (uint32_t i = 0; i < 256; ++i) serverToLocal[i] = localToServer[i] = i;
    }
};
