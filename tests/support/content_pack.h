#pragma once
#include <filesystem>

namespace testsupport {

// Copies a content pack, without the error files a game started beside it leaves there, so that the
// copy's error files are all its own loaders'.
void copyContentPack(const std::filesystem::path& source, const std::filesystem::path& target);

}  // namespace testsupport
