#pragma once
// The saved worlds: folders "world_<N>" under the saves directory that hold a readable world.txt.
#include <filesystem>
#include <string>
#include <vector>

#include "ui/ui_state.h"

namespace filesave {

// The worlds in `saves`, by N ascending. N is a positive decimal number without leading zeros, so
// each world has one folder name. A missing saves directory gives an empty list. A world whose
// world.txt exists but is refused is left out, and the message naming the file and the cause goes
// to `problems` when one is given.
std::vector<WorldEntry> listWorldFolders(const std::filesystem::path& saves,
                                         std::vector<std::string>* problems = nullptr);

// The folder for a new world: "world_<N>" with N one above every numbered folder in `saves`,
// readable or not, so that a new world never writes into a damaged one.
std::filesystem::path nextWorldFolder(const std::filesystem::path& saves);

}  // namespace filesave
