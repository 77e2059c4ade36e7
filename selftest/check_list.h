#pragma once
// The named checks of the self-test scenarios: the first that does not hold ends the scenario with
// "FAILED: <check>: <what was found>", and only a scenario whose every check held writes its
// "<NAME>_OK: " line.
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>

namespace selftest {

struct CheckFailure : std::runtime_error {
    CheckFailure(const std::string& check, const std::string& found) : std::runtime_error(check + ": " + found) {}
};

// Throws CheckFailure when the condition does not hold.
void require(bool holds, const std::string& check, const std::string& found);

// Runs the scenario's checks; the log gets "FAILED: " and the failure (of a check or of anything the
// scenario called), or the OK line when the body returned. Exit code 1 or 0, and 1 as well when the
// OK line could not be written.
int runChecks(const std::filesystem::path& log, const std::string& okLine, const std::function<void()>& body);

}  // namespace selftest
