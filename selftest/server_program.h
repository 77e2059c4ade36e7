#pragma once
// The server program beside the game, as the scenarios run it: started with --serve in a folder of
// its own, stopped through a stop request in that folder.
#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/process.h"

namespace selftest {

class ServerProgram {
   public:
    // Starts quorvane-server (beside this executable) with --serve in `folder`, which is created, and
    // waits until it listens on 127.0.0.1:`port`, or on another free port when that one was taken
    // meanwhile (`port()` tells which); throws when it cannot be started or never listens.
    ServerProgram(const std::filesystem::path& folder, uint16_t port, const std::string& roomCode,
                  const std::filesystem::path& content);
    // Stops it when still running.
    ~ServerProgram();
    ServerProgram(const ServerProgram&) = delete;
    ServerProgram& operator=(const ServerProgram&) = delete;

    // Writes the stop request and waits up to `timeoutMs` for the exit; a server still running then is
    // killed. Returns the exit code (128 + the signal when it was killed).
    int stop(int timeoutMs = 5000);
    uint16_t port() const { return port_; }

   private:
    std::filesystem::path folder_;
    uint16_t port_;
    platform::ChildProcess child_;
};

// A loopback port no one listens on at the moment.
uint16_t freeLoopbackPort();

}  // namespace selftest
