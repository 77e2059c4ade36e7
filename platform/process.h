#pragma once
// Child processes: start, wait with a time limit, stop.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct ChildProcess {
    int pid = -1;
    // Set once the process has ended and been reaped; later waits return it again.
    std::optional<int> exitCode;
};

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
