#pragma once
// Which dimensions an edit may name: the overworld and each dimension file of the content the server
// was started with, read no further than its id (the server has no block registry to load them with).
#include <filesystem>
#include <set>
#include <string>

namespace net {

// A file the game would refuse still counts: its edits come from no game, and one known too many
// costs nothing, while one missing would refuse a real player's edits.
std::set<std::string> contentDimensionIds(const std::filesystem::path& contentFolder);

}  // namespace net
