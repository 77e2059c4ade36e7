// The world maps' files: each dimension's map is read the first time it is needed and written with
// the world, in the world folder as "<dimension>.map140.txt".
#include <string>

#include "app/app.h"
#include "platform/file_read.h"
#include "save/file_save.h"
#include "save/map_file.h"

namespace fs = std::filesystem;

namespace {

// Nothing for a missing file; a refused map for one that is too large or breaks the format.
game::WorldMap readMapFile(const fs::path& path) {
    game::WorldMap map;
    std::error_code error;
    if (!fs::exists(path, error)) return map;
    const uintmax_t size = fs::file_size(path, error);
    const std::optional<std::string> bytes =
        error || size > filesave::kMaxMapFileBytes ? std::nullopt : platform::readFileBytes(path);
    std::optional<game::WorldMap> read = bytes ? filesave::decodeMap(*bytes) : std::nullopt;
    if (read) return std::move(*read);
    map.refused = true;
    return map;
}

}  // namespace

game::WorldMap& App::currentMap() {
    if (maps.directory.empty()) maps.directory = files.world;
    auto found = maps.cache.find(dimension);
    if (found != maps.cache.end()) return found->second;
    const fs::path path = maps.directory / filesave::mapFileName(dimension);
    game::WorldMap& map = maps.cache.emplace(dimension, readMapFile(path)).first->second;
    return map;
}

void App::saveMap() {
    if (saves.readFailed || maps.directory.empty()) return;
    const auto write = [this](const std::string& id, game::WorldMap& map) {
        if (!map.dirty || map.refused) return;
        filesave::Output out(maps.directory / filesave::mapFileName(id));
        const std::string bytes = filesave::encodeMap(map);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.finish();
        map.dirty = false;
    };
    if (auto current = maps.cache.find(dimension); current != maps.cache.end()) write(current->first, current->second);
    for (auto& [id, map] : maps.cache)
        if (id != dimension) write(id, map);
}
