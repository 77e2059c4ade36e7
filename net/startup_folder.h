#pragma once
// The world folder of a start with --lan-join: "startup-<time>" under the network cache. It is the
// App's world while the session runs and goes with the session, unless the player's own world was
// saved there; then later starts keep using it instead of making a folder each.
#include <cstdint>
#include <filesystem>

namespace net {

// Save files of a world the player played (its world file, chunk or inventory file) are in it.
bool holdsLocalWorld(const std::filesystem::path& folder);

// The folder for a start at `now` (100 ns units since 1970): the newest "startup-<digits>" folder of
// the cache that holds a local world, else a new "startup-<now>". Startup folders holding none are
// leftovers and removed. The folder exists afterwards; failing to create it raises.
std::filesystem::path prepareStartupFolder(const std::filesystem::path& networkCache, uint64_t now);

// Removes the folder unless it holds a local world; true when it is gone (or never was).
bool releaseStartupFolder(const std::filesystem::path& folder);

}  // namespace net
