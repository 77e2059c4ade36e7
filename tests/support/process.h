#pragma once
#include <map>
#include <string>
#include <vector>

namespace testsupport {

struct RunResult {
    int exitCode = -1;  // 128 + signal when it ended by a signal
    std::string out;
    std::string err;
};

struct RunOptions {
    std::vector<std::string> arguments;
    std::map<std::string, std::string> environment;  // added to (or replacing in) ours
    std::vector<std::string> unset;                   // removed from ours
    std::string workingDirectory;
    int timeoutSeconds = 120;
    // Sent once `stdout` contains `signalAfter` (or never when empty).
    std::string signalAfter;
    int signal = 15;
};

// Runs a program to its end, collecting its output; kills it at the time limit.
RunResult runProgram(const std::string& program, const RunOptions& options);

}  // namespace testsupport
