#pragma once
#include <filesystem>
#include <optional>
#include <string>

namespace platform {

// The whole content of a file, byte for byte; nothing when `path` is not a regular file that can
// be read to the end. Callers report the failure with their own message.
std::optional<std::string> readFileBytes(const std::filesystem::path& path);

}  // namespace platform
