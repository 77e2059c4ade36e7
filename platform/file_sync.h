#pragma once
// Making written files survive a power loss: their bytes and, after a rename, the folder entry.
#include <filesystem>

namespace platform {

// Flushes the file's data to the disk. Throws std::runtime_error "Cannot sync <path>" on failure.
void syncFile(const std::filesystem::path& path);
// Flushes the folder's entries (a rename into it) to the disk; an empty path is the current folder.
// Throws std::runtime_error "Cannot sync <folder>" on failure.
void syncFolder(const std::filesystem::path& folder);

}  // namespace platform
