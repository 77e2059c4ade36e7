#include "support/xvfb.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>

#include "platform/process.h"

namespace testsupport {

namespace {

// Each test process starts from a display number of its own: servers that scan for a free number
// together (-displayfd) can race for the same one when many tests start at once.
int firstDisplayNumber() { return 1000 + static_cast<int>(getpid() % 20000) * 2; }

int startServer(int number) {
    const std::string display = ":" + std::to_string(number);
    // The server must not outlive the test, however the test ends, nor hold the test's output open:
    // CTest waits for every writer of that pipe to close it.
    const int pid = platform::forkBoundChild([&] {
        const int null = open("/dev/null", O_RDWR);
        if (null >= 0) {
            dup2(null, 0);
            dup2(null, 1);
            dup2(null, 2);
        }
        close_range(3, ~0U, 0);
        // -noreset: a test that closes its last connection and opens another must find the server up.
        execlp("Xvfb", "Xvfb", display.c_str(), "-noreset", "-screen", "0", "1920x1080x24", "-nolisten", "tcp",
               static_cast<char*>(nullptr));
        _exit(127);
    });
    if (pid < 0) throw std::runtime_error("fork failed");
    return pid;
}

// The process that holds the display's lock file, or -1.
int lockHolder(int number) {
    std::ifstream lock("/tmp/.X" + std::to_string(number) + "-lock");
    int pid = -1;
    lock >> pid;
    return pid;
}

// True once the server accepts clients; false when it ended (its number was taken). A socket left
// by an earlier server does not count: the lock must be this server's.
bool waitUntilReady(int pid, int number) {
    const std::filesystem::path socket = "/tmp/.X11-unix/X" + std::to_string(number);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return false;
        std::error_code ignored;
        if (lockHolder(number) == pid && std::filesystem::exists(socket, ignored)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    throw std::runtime_error("Xvfb did not start");
}

}  // namespace

Xvfb::Xvfb() {
    const int first = firstDisplayNumber();
    for (int number = first; number < first + 20; ++number) {
        const int pid = startServer(number);
        if (waitUntilReady(pid, number)) {
            pid_ = pid;
            display_ = ":" + std::to_string(number);
            return;
        }
    }
    throw std::runtime_error("Xvfb found no free display");
}

Xvfb::~Xvfb() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

}  // namespace testsupport
