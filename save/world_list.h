#pragma once
// The saved worlds: folders "world_<N>" under the saves directory that hold a readable world.txt.
#include <filesystem>
#include <string>
#include <vector>

#include "ui/ui_state.h"

namespace filesave {

// The file beside the worlds that names each world folder the list skipped and why.
inline constexpr const char* kWorldListErrorsFile = "world_list_errors.txt";

struct WorldListing {
    std::vector<WorldEntry> worlds;
    // One line per skipped folder: "<folder name>: <cause>", in folder order.
    std::vector<std::string> skipped;
    // The world files among them that exist but were refused, each message naming the file.
    std::vector<std::string> refused;
};

// The worlds in `saves`, by N ascending. N is a positive decimal number without leading zeros, so
// each world has one folder name. A missing saves directory gives an empty list. A numbered folder
// whose world.txt is missing or cannot be read is skipped and named in `skipped`.
WorldListing scanWorldFolders(const std::filesystem::path& saves);

// Moves a world folder into backups/"DeletedWorlds", under its own name, or with "-2", "-3" ...
// when a deleted world of that name is kept there already. Returns where it went; throws
// "Cannot delete world: <folder>" when it cannot be moved.
std::filesystem::path moveWorldToBackups(const std::filesystem::path& folder, const std::filesystem::path& backups);

// The folder for a new world: "world_<N>" with N one above every numbered folder in `saves`,
// readable or not, so that a new world never writes into a damaged one.
std::filesystem::path nextWorldFolder(const std::filesystem::path& saves);

}  // namespace filesave
