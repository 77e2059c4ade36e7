#include "server/server_arguments.h"

#include <charconv>

#include "net/protocol.h"

namespace net {

std::optional<ServerArguments> parseServerArguments(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--serve") {
        --argc;
        ++argv;
    }
    if (argc != 3 && argc != 4) return std::nullopt;
    ServerArguments result;
    const std::string port = argv[1];
    uint32_t value = 0;
    const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), value);
    if (error != std::errc() || end != port.data() + port.size() || value > 65535) return std::nullopt;
    result.port = static_cast<uint16_t>(value);
    result.roomCode = argv[2];
    if (result.roomCode.empty() || result.roomCode.size() > kMaxRoomCode) return std::nullopt;
    if (argc == 4) result.contentFolder = argv[3];
    return result;
}

}  // namespace net
