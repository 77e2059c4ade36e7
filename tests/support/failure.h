#pragma once
#include <stdexcept>
#include <string>
#include <utility>

namespace testsupport {

// The message of the `Error` that `action` raises, or "(no failure)" when it returns. An error of
// another type passes through and fails the test.
template <class Error = std::runtime_error, class Action>
std::string failureOf(Action&& action) {
    try {
        std::forward<Action>(action)();
    } catch (const Error& error) {
        return error.what();
    }
    return "(no failure)";
}

}  // namespace testsupport
