#include "app/app.h"

#include "app/game_root.h"

App::App() {
    // POSIX sockets need no start-up call; the flag keeps the connection's shutdown symmetric.
    lan.connection.networkStarted = true;
    files.root = content::executableDirectory(content::developmentRoot());
    files.base = files.root;
    files.saves = files.base / "Saves";
    files.world = files.base;
    playerMesh = content::loadVxmMesh(files.root / "Assets" / "Models" / "Player" / "player.vxm");
}

App::~App() = default;

void App::useBaseDirectory(const std::filesystem::path& folder) {
    files.base = folder;
    files.world = folder;
    files.saves = folder / "Saves";
    std::filesystem::create_directories(folder);
}

void App::useRenderTestBase(const std::filesystem::path& folder) {
    useBaseDirectory(folder);
    chunkRadius = 2;
}
