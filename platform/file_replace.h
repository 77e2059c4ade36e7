#pragma once
#include <filesystem>

namespace platform {

// Atomically replaces `target` with `source`, retrying 31 times 100 ms apart while the
// error means the file is busy or locked. Throws std::runtime_error on failure.
void replaceFile(const std::filesystem::path& source, const std::filesystem::path& target);

}  // namespace platform
