#pragma once
// Checked paths of assets named inside content files.
#include <filesystem>
#include <string>

namespace content {

// baseDir joined with text, which must be non-empty, relative and free of ".." (a backslash counts
// as a separator, so paths authored on Windows resolve), and must name a regular file.
std::filesystem::path resolveAsset(const std::filesystem::path& baseDir, const std::string& text);

}  // namespace content
