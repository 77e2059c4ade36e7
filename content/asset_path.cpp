#include "content/asset_path.h"

#include <algorithm>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

namespace content {

namespace {

// "C:" at the start names a drive where content may have been authored, even though it is not a
// root name here.
bool namesDrive(const std::string& text) {
    const char c = text.size() >= 2 ? text[0] : '\0';
    return ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) && text[1] == ':';
}

}  // namespace

fs::path resolveAsset(const fs::path& baseDir, const std::string& text) {
    if (text.empty()) throw std::runtime_error("Empty asset path");
    std::string portable = text;
    std::replace(portable.begin(), portable.end(), '\\', '/');
    const fs::path relative(portable);
    if (relative.has_root_name() || relative.has_root_directory() || namesDrive(portable)) {
        throw std::runtime_error("Asset paths must be relative");
    }
    for (const fs::path& element : relative) {
        if (element == "..") throw std::runtime_error("Asset path cannot contain '..'");
    }
    const fs::path result = baseDir / relative;
    std::error_code error;
    const fs::file_status status = fs::status(result, error);
    const bool missing = error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory;
    if (error && !missing) throw fs::filesystem_error("status", result, error);
    if (!fs::is_regular_file(status)) throw std::runtime_error("Missing asset: " + result.string());
    return result;
}

}  // namespace content
