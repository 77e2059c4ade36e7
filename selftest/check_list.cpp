#include "selftest/check_list.h"

#include <fstream>
#include <iostream>
#include <system_error>

namespace selftest {

namespace {

bool writeLine(const std::filesystem::path& log, const std::string& line) {
    std::error_code ignored;
    std::filesystem::create_directories(log.parent_path(), ignored);
    std::ofstream out(log, std::ios::binary | std::ios::trunc);
    out << line << "\n";
    return static_cast<bool>(out.flush());
}

}  // namespace

void require(bool holds, const std::string& check, const std::string& found) {
    if (!holds) throw CheckFailure(check, found);
}

int runChecks(const std::filesystem::path& log, const std::string& okLine, const std::function<void()>& body) {
    std::string line = okLine;
    try {
        body();
    } catch (const std::exception& failure) {
        line = std::string("FAILED: ") + failure.what();
    }
    const bool ok = line == okLine;
    // A result that never reached the log is no result.
    if (!writeLine(log, line)) {
        std::cerr << "FAILED: cannot write " << log.string() << std::endl;
        return 1;
    }
    (ok ? std::cout : std::cerr) << line << std::endl;
    return ok ? 0 : 1;
}

}  // namespace selftest
