#include "platform/file_read.h"

#include <fstream>
#include <iterator>
#include <system_error>

namespace platform {

std::optional<std::string> readFileBytes(const std::filesystem::path& path) {
    // Checked first: a directory opens as a stream on this platform and fails only while reading.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return std::nullopt;
    return bytes;
}

}  // namespace platform
