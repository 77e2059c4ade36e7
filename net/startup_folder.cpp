#include "net/startup_folder.h"

#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "save/world_file.h"
#include "save/world_state_files.h"

namespace fs = std::filesystem;

namespace net {

namespace {

constexpr std::string_view kStartupPrefix = "startup-";

std::optional<uint64_t> startupTime(const std::string& name) {
    if (name.size() <= kStartupPrefix.size() || !name.starts_with(kStartupPrefix)) return std::nullopt;
    const std::string_view digits = std::string_view(name).substr(kStartupPrefix.size());
    uint64_t time = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), time);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return time;
}

}  // namespace

bool holdsLocalWorld(const fs::path& folder) {
    std::error_code error;
    // What a save writes first: the chunks and inventory after an edit, the world file with the world.
    for (const fs::path& file :
         {folder / filesave::kWorldFile, folder / "Chunks", folder / filesave::kInventoryFile})
        if (fs::exists(file, error)) return true;
    return false;
}

fs::path prepareStartupFolder(const fs::path& networkCache, uint64_t now) {
    std::optional<std::pair<uint64_t, fs::path>> kept;
    std::vector<fs::path> leftovers;
    std::error_code error;
    for (fs::directory_iterator it(networkCache, error), end; !error && it != end; it.increment(error)) {
        std::error_code entryError;
        if (!it->is_directory(entryError)) continue;
        const std::optional<uint64_t> time = startupTime(it->path().filename().string());
        if (!time) continue;
        if (!holdsLocalWorld(it->path())) {
            leftovers.push_back(it->path());
        } else if (!kept || *time > kept->first) {
            kept = std::pair{*time, it->path()};
        }
    }
    for (const fs::path& folder : leftovers) releaseStartupFolder(folder);
    const fs::path folder =
        kept ? kept->second : networkCache / (std::string(kStartupPrefix) + std::to_string(now));
    fs::create_directories(folder);
    return folder;
}

bool releaseStartupFolder(const fs::path& folder) {
    if (folder.empty() || holdsLocalWorld(folder)) return folder.empty();
    std::error_code ignored;  // a folder someone holds open is left for the next start
    fs::remove_all(folder, ignored);
    return !fs::exists(folder, ignored);
}

}  // namespace net
