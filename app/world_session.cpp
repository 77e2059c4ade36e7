// Entering and leaving worlds from the menus: the start-up stages that read a world, run again for
// the world the player chose, and the clean state the App returns to when the player leaves.
#include <filesystem>
#include <iostream>

#include "app/app.h"
#include "save/file_save.h"
#include "save/world_list.h"

namespace fs = std::filesystem;

namespace {

// Everything of the previous world goes before the next one is read.
void switchWorldFolder(App& app, const fs::path& folder) {
    app.files.worldOpen = false;
    app.unloadAllChunks();
    app.resetWorldState();
    app.dimension = "core:overworld";
    app.travelDimension = "core:overworld";
    app.files.world = folder;
    app.files.seed = GameFiles{}.seed;
    app.files.worldName = GameFiles{}.worldName;
}

// The terrain, the save files, the residents and every mesh, then play.
void startWorld(App& app) {
    app.generateEnvironment();
    app.loadSavedState();
    app.updatePlayerChunk();
    app.prepareCities();
    app.uploadMesh(render::meshEverything);
    app.files.worldOpen = true;
    app.ui.inventoryOpen = false;
    app.setScreen(UiState::kPlaying);
}

}  // namespace

void App::openWorld(const fs::path& folder) {
    switchWorldFolder(*this, folder);
    loadWorld();
    startWorld(*this);
}

void App::createWorld(const std::u32string& name, uint32_t seed) {
    const fs::path folder = filesave::nextWorldFolder(files.saves);
    fs::create_directories(folder);
    switchWorldFolder(*this, folder);
    files.worldName = name;
    files.seed = seed;
    startWorld(*this);
    // The folder is a world from the first moment: world.txt and generation.json are written now.
    saveWorld();
    saveInventory();
}

void App::setAsideUnreadableWorld(const std::string& message) {
    std::cerr << message << "\n";
    showToast(ui::utf8ToUtf32(message));
    switchWorldFolder(*this, filesave::nextWorldFolder(files.saves));
    generateEnvironment();
}

void App::runOpenWorldStep(const std::function<void()>& step) {
    try {
        step();
    } catch (const std::runtime_error& failure) {
        // Only a file that could not be read is the world's fault; anything else still ends the game.
        if (!saves.readFailed) throw;
        closeUnreadableWorld(failure.what());
    }
}

void App::streamOpenWorld() {
    runOpenWorldStep([this] { streamWorld(); });
}

void App::closeUnreadableWorld(const std::string& message) {
    std::cerr << message << "\n";
    // The read failure stays set while the world closes, so no writer touches its files; the next
    // world starts with a clean state.
    leaveWorld();
    showToast(ui::utf8ToUtf32(message));
}

void App::leaveWorld() {
    const fs::path folder = files.world;
    if (files.worldOpen) {
        saveWorld();
        saveInventory();
    }
    // The saves still queued for this world land before it closes, even when it saved nothing more.
    filesave::backgroundWriter().drain();
    files.worldOpen = false;
    unloadAllChunks();
    resetWorldState();
    refreshWorldList(folder);
    setScreen(UiState::kMainMenu);
}

void App::deleteSelectedWorld() {
    if (ui.selectedWorld < 0 || ui.selectedWorld >= static_cast<int32_t>(ui.worlds.size())) return;
    filesave::moveWorldToBackups(ui.worlds[static_cast<std::size_t>(ui.selectedWorld)].directory,
                                 files.base / "Backups");
    refreshWorldList();
}
