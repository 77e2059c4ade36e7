// The room's world: a game that plays its own world brings it to the room, and the others play the
// copy the session wrote into their network cache, so that every game in the room stands in one world.
#include "app/app.h"
#include "net/startup_folder.h"
#include "save/generation_file.h"
#include "save/world_file.h"

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

void App::followSession() {
    if (lan.networked) offerRoomWorld();
    if (std::exchange(lan.roomWorldArrived, false) && !(files.worldOpen && files.world == lan.cacheDirectory))
        runOpenWorldStep([this] { openWorld(lan.cacheDirectory); });
    if (std::exchange(lan.leftRoomWorld, false)) {
        refreshWorldList();
        setScreen(UiState::kMainMenu);
    }
    if (!lan.notice.empty()) showToast(ui::utf8ToUtf32(std::exchange(lan.notice, {})));
}
