#pragma once
#include <filesystem>

namespace net {

// The absolute form of a path; relative paths are resolved against the current directory.
std::filesystem::path makeAbsolutePath(const std::filesystem::path& path);

}  // namespace net
