// The room's world: a guest that plays its own world brings it to the room, and the others play it
// from their network cache, so that every game in the room stands in the same world.
#include <fstream>
#include <stdexcept>

#include "app/app.h"
#include "net/startup_folder.h"
#include "save/generation_file.h"
#include "save/world_file.h"
#include "save/world_state_files.h"

namespace fs = std::filesystem;

namespace {

void writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

bool App::playsOwnWorld() const {
    if (files.world.empty() || files.world == lan.cacheDirectory) return false;
    // A --lan-join start plays what its folder holds; one that holds none is only a place to wait.
    if (!files.worldOpen && files.world != lan.startupFolder) return false;
    return net::holdsLocalWorld(files.world);
}

void App::offerRoomWorld() {
    if (lan.worldShared || !lan.authenticated || !playsOwnWorld()) return;
    lan.worldShared = true;
    net::WorldMessage world;
    world.worldFile = filesave::formatWorldFile({ui::utf32ToUtf8(files.worldName), files.seed, generationStage});
    if (saves.profile) world.generation = filesave::encodeGenerationFile(*saves.profile, saves.dimensionProfiles);
    net::appendFrame(lan.connection.sendBuffer, world);
}

void App::playRoomWorld(const net::WorldMessage& world) {
    if (!filesave::parseWorldFile(world.worldFile)) throw std::runtime_error("the room's world file cannot be read");
    lan.worldShared = true;
    const fs::path folder = lan.cacheDirectory;
    if (files.worldOpen && files.world == folder) return;  // already played
    fs::remove_all(folder);
    fs::create_directories(folder);
    writeBytes(folder / filesave::kWorldFile, world.worldFile);
    if (!world.generation.empty()) writeBytes(folder / filesave::kGenerationFile, world.generation);
    openWorld(folder);
}

void App::leaveRoomWorld() {
    if (lan.cacheDirectory.empty() || files.world != lan.cacheDirectory) return;
    // Nothing is saved: the session's world goes with its cache folder.
    files.worldOpen = false;
    unloadAllChunks();
    resetWorldState();
    refreshWorldList();
    setScreen(UiState::kMainMenu);
}
