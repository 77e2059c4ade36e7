#pragma once
// The server program's command line.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace net {

struct ServerArguments {
    uint16_t port = 0;
    std::string roomCode;
    std::filesystem::path contentFolder = "Content";
};

// `<port> <room code> [content folder]`; none when the port is not a number in 0..65535 or the room
// code is empty or longer than a Hello carries.
std::optional<ServerArguments> parseServerArguments(int argc, char** argv);

}  // namespace net
