#pragma once
// Child processes: start, wait with a time limit, stop. Every child is bound to this process: it is
// killed when this process ends, however it ends (a test killed at its time limit included).
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct ChildProcess {
    int pid = -1;
    // Set once the process has ended and been reaped; later waits return it again.
    std::optional<int> exitCode;
};

// Forks a bound child that starts with no blocked signals and the default handling of SIGINT,
// SIGTERM and SIGPIPE, and runs `inChild` there; `inChild` must end in exec or _exit and call only
// async-signal-safe functions. Returns the child's id, or -1 when fork fails.
int forkBoundChild(const std::function<void()>& inChild);

// Starts `program` with `arguments` (argv[1..]) in `workingDirectory` (empty = this one).
// Throws std::runtime_error when it cannot be started.
ChildProcess startProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                          const std::filesystem::path& workingDirectory = {});
// The exit code once it ended within `timeoutMs` (negative = wait for ever); a process ended by a
// signal gives 128 + the signal number. Empty when still running.
std::optional<int> waitProcess(ChildProcess& child, int timeoutMs);
// Asks it to end (SIGTERM), then kills it when it has not ended after `graceMs`; reaps it.
void stopProcess(ChildProcess& child, int graceMs);

}  // namespace platform
