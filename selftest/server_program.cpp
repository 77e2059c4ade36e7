#include "selftest/server_program.h"

#include <chrono>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "platform/environment.h"
#include "platform/tcp.h"
#include "server/server_arguments.h"

namespace fs = std::filesystem;

namespace selftest {

namespace {

constexpr uint32_t kLoopback = 0x0100007F;
constexpr int kStarts = 5;

bool listening(uint16_t port) {
    const int socket = platform::startConnect(kLoopback, port);
    const bool connected = socket >= 0 && platform::pollConnect(socket, 200) == platform::ConnectState::Connected;
    platform::closeSocket(socket);
    return connected;
}

}  // namespace

uint16_t freeLoopbackPort() {
    const int socket = platform::listenOn(kLoopback, 0, 1);
    const uint16_t port = platform::localPort(socket);
    platform::closeSocket(socket);
    return port;
}

ServerProgram::ServerProgram(const fs::path& folder, uint16_t port, const std::string& roomCode,
                             const fs::path& content)
    : folder_(folder), port_(port) {
    fs::create_directories(folder);
    const fs::path program = platform::executablePath().parent_path() / "quorvane-server";
    // A port found free can be taken by another program's connection before the server binds it:
    // a server that exits at once is started again on another free port.
    for (int start = 0; start < kStarts; ++start) {
        if (start > 0) port_ = freeLoopbackPort();
        child_ = platform::startProcess(program, {"--serve", std::to_string(port_), roomCode, content.string()}, folder);
        for (int attempt = 0; attempt < 50; ++attempt) {
            if (listening(port_)) return;
            if (platform::waitProcess(child_, 100)) break;
        }
        if (!child_.exitCode) break;
    }
    stop(0);
    throw std::runtime_error("the server program does not listen on port " + std::to_string(port_));
}

ServerProgram::~ServerProgram() {
    if (!child_.exitCode) stop();
}

int ServerProgram::stop(int timeoutMs) {
    if (child_.exitCode) return *child_.exitCode;
    std::ofstream(folder_ / net::kStopRequestFile) << "stop\n";
    if (const std::optional<int> code = platform::waitProcess(child_, timeoutMs)) return *code;
    platform::stopProcess(child_, 0);
    return child_.exitCode.value_or(-1);
}

}  // namespace selftest
