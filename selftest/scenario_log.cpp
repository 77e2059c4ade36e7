#include "selftest/scenario_log.h"

#include <fstream>
#include <iostream>
#include <system_error>

namespace selftest {

void writeResult(const std::filesystem::path& log, const std::string& line) {
    std::error_code ignored;
    std::filesystem::create_directories(log.parent_path(), ignored);
    std::ofstream out(log, std::ios::binary | std::ios::trunc);
    out << line << "\n";
}

int unavailable(const std::filesystem::path& log, const std::string& name, const std::string& needs) {
    const std::string line = "FAILED: " + name + " needs " + needs + ", which this build does not have yet";
    writeResult(log, line);
    std::cerr << line << std::endl;
    return 1;
}

}  // namespace selftest
