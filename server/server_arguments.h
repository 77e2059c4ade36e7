#pragma once
// The server program's command line and its stop request.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace net {

// A file of this name in the server's working directory asks it to stop; it stops with exit code 0.
inline constexpr const char* kStopRequestFile = "stop.request";

struct ServerArguments {
    uint16_t port = 0;
    std::string roomCode;
    std::filesystem::path contentFolder = "Content";
};

// `--serve <port> <room code> [content folder]`, or the same without `--serve`; none when the port is
// not a number in 0..65535 or the room code is empty or longer than a Hello carries.
std::optional<ServerArguments> parseServerArguments(int argc, char** argv);

}  // namespace net
