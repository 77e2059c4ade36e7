// Quorvane Server: hosts one LAN session.
//   quorvane-server --serve <port> <room code> [content folder]    (or without --serve)
// It stops on SIGINT or SIGTERM, or when a file "stop.request" appears in its working directory.
// The content fingerprint guests must match is computed from the content folder (default "Content"
// in the current directory, the game's own pack when started from the game's folder); so are the
// block ids and dimensions an edit may name.
#include <csignal>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>

#include "content/fingerprint.h"
#include "server/content_block_ids.h"
#include "server/content_dimension_ids.h"
#include "server/relay_server.h"
#include "server/server_arguments.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) {
    stopRequested = 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::optional<net::ServerArguments> arguments = net::parseServerArguments(argc, argv);
    if (!arguments) {
        std::cerr << "Usage: quorvane-server [--serve] <port> <room code> [content folder]" << std::endl;
        return 2;
    }
    try {
        net::RelayConfig config;
        config.port = arguments->port;
        config.roomCode = arguments->roomCode;
        config.fingerprint = content::fingerprint(arguments->contentFolder);
        // The game keeps its ids in Saves beside its Content folder.
        config.highestBlockId = net::highestBlockId(
            arguments->contentFolder, arguments->contentFolder.parent_path() / "Saves" / "content_ids.txt");
        config.dimensions = net::contentDimensionIds(arguments->contentFolder);
        config.logPath = "network_error.txt";
        net::RelayServer server(config);
        if (!server.listen(0)) {
            std::cerr << "Cannot listen on port " << config.port << std::endl;
            return 1;
        }
        std::signal(SIGINT, requestStop);
        std::signal(SIGTERM, requestStop);
        std::cout << "Quorvane Server: port " << server.port() << ", room " << config.roomCode << ", content "
                  << std::hex << config.fingerprint << std::dec << ", block ids up to "
                  << int{config.highestBlockId} << std::endl;
        // A request left over from an earlier run does not stop this one.
        std::error_code ignored;
        std::filesystem::remove(net::kStopRequestFile, ignored);
        while (!stopRequested && !std::filesystem::exists(net::kStopRequestFile, ignored)) server.step(50);
        std::filesystem::remove(net::kStopRequestFile, ignored);
        return 0;
    } catch (const std::exception& failure) {
        std::cerr << "Quorvane Server: " << failure.what() << std::endl;
        return 1;
    }
}
