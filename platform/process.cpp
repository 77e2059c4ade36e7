#include "platform/process.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace platform {

namespace {

constexpr auto kWaitPollInterval = std::chrono::milliseconds(5);

// The child starts with no blocked signals and the default handling of the ones this process
// takes over (the close request watcher blocks SIGINT and SIGTERM), so that it can be stopped.
class SpawnSetup {
public:
    explicit SpawnSetup(const std::filesystem::path& workingDirectory) {
        posix_spawnattr_init(&attributes_);
        posix_spawn_file_actions_init(&actions_);
        sigset_t none, defaults;
        sigemptyset(&none);
        sigemptyset(&defaults);
        for (int signal : {SIGINT, SIGTERM, SIGPIPE}) sigaddset(&defaults, signal);
        posix_spawnattr_setsigmask(&attributes_, &none);
        posix_spawnattr_setsigdefault(&attributes_, &defaults);
        posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
        if (!workingDirectory.empty()) posix_spawn_file_actions_addchdir_np(&actions_, workingDirectory.c_str());
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&actions_);
        posix_spawnattr_destroy(&attributes_);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;
    const posix_spawnattr_t* attributes() const { return &attributes_; }
    const posix_spawn_file_actions_t* actions() const { return &actions_; }

private:
    posix_spawnattr_t attributes_;
    posix_spawn_file_actions_t actions_;
};

int exitCodeOf(int status) {
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
}

// One look at the child: true once it has ended (and its code is recorded).
bool reap(ChildProcess& child, bool block) {
    int status = 0;
    pid_t result = 0;
    do {
        result = waitpid(child.pid, &status, block ? 0 : WNOHANG);
    } while (result < 0 && errno == EINTR);
    if (result < 0) throw std::runtime_error("Cannot wait for process " + std::to_string(child.pid));
    if (result == 0) return false;
    child.exitCode = exitCodeOf(status);
    child.pid = -1;
    return true;
}

}  // namespace

ChildProcess startProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                          const std::filesystem::path& workingDirectory) {
    std::string programText = program.string();
    std::vector<std::string> argumentTexts = arguments;
    std::vector<char*> argv{programText.data()};
    for (std::string& argument : argumentTexts) argv.push_back(argument.data());
    argv.push_back(nullptr);
    const SpawnSetup setup(workingDirectory);
    pid_t pid = -1;
    if (posix_spawn(&pid, programText.c_str(), setup.actions(), setup.attributes(), argv.data(), environ) != 0)
        throw std::runtime_error("Cannot start " + programText);
    return ChildProcess{pid, std::nullopt};
}

std::optional<int> waitProcess(ChildProcess& child, int timeoutMs) {
    if (child.pid < 0) return child.exitCode;
    if (timeoutMs < 0) {
        reap(child, true);
        return child.exitCode;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!reap(child, false)) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return std::nullopt;
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(kWaitPollInterval, deadline - now));
    }
    return child.exitCode;
}

void stopProcess(ChildProcess& child, int graceMs) {
    if (child.pid < 0) return;
    kill(child.pid, SIGTERM);
    if (waitProcess(child, graceMs)) return;
    kill(child.pid, SIGKILL);
    waitProcess(child, -1);
}

}  // namespace platform
