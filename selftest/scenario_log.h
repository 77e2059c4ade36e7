#pragma once
// The one-line result logs of the scenarios: "_OK: " when a scenario did its work, "FAILED: " when
// it could not.
#include <filesystem>
#include <string>

namespace selftest {

// Creates the log's folder and replaces the log with the line.
void writeResult(const std::filesystem::path& log, const std::string& line);

// A scenario whose subject this build lacks says so in its log and on stderr, never with an
// "_OK: " line; the exit code is 1.
int unavailable(const std::filesystem::path& log, const std::string& name, const std::string& needs);

}  // namespace selftest
