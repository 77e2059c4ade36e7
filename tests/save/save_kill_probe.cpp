// A world saved by a real process that is killed in the middle of its save:
//   save_kill_probe prepare <world>            writes save A: 5 gold in a chest, 10 stones in the pack
//   save_kill_probe save <world> <step> <how>  opens A, moves 3 gold to the pack and places 3 stones
//                                              (save B), then saves it by "world" (saveWorld) or
//                                              "autosave"; or, by "window", takes 3 gold from the
//                                              chest's window and closes it (save C: the inventory
//                                              and the chests); SIGKILL at the save's <step>-th step
//                                              (0: never; then prints "steps <n>")
//   save_kill_probe check <world>              opens the world; prints "A", "B" or "C", or what it
//                                              found and exits 1 when the world is a mix of them
// A furnace, a crop, a dropped item and the block states fill every other state file of both saves.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>

#include "app/app.h"
#include "save/file_save.h"
#include "save/save_set.h"
#include "ui/screen_slots.h"

namespace {

constexpr uint32_t kSeed = 777;
constexpr uint8_t kStone = 1;
constexpr uint8_t kGold = 7;
constexpr int32_t kChestX = 2, kChestY = 110, kChestZ = 2;
constexpr int32_t kPlacedY = 120;  // open sky in a generated chunk: only placed stones stand there

int stopAt = 0;
int steps = 0;

void stepTaken(std::string_view) {
    if (++steps == stopAt) std::raise(SIGKILL);
}

void openWorld(App& app, const std::filesystem::path& folder) {
    app.files.world = folder;
    app.files.seed = kSeed;
    app.chunkRadius = 0;
    app.loadWorld();
    app.generateEnvironment();
    app.loadSavedState();
    app.files.worldOpen = true;
}

int placedStones(const App& app) {
    int placed = 0;
    for (int32_t x = 4; x < 7; ++x) placed += app.blockAt(x, kPlacedY, 5) == kStone;
    return placed;
}

void prepare(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    App app;
    app.files.world = folder;
    app.files.seed = kSeed;
    app.files.worldName = U"Probe";
    app.chunkRadius = 0;
    app.generateEnvironment();
    app.files.worldOpen = true;
    app.inventory.hotbar = {};
    app.inventory.hotbar[0] = {kStone, 10, 0};
    app.containers.chests[app.dimension][{kChestX, kChestY, kChestZ}][0] = {kGold, 5, 0};
    app.machines[app.dimension][{1, 110, 1}].slots[0] = {kGold, 1, 0};
    app.sim.crops[{3, 110, 3}] = 0;
    DroppedItem item;
    item.id = kStone;
    item.count = 1;
    item.x = item.y = item.z = 8.0f;
    app.entities.droppedItems.push_back(item);
    app.world.blockStates[{1, 110, 1}] = {kGold, 1};
    app.saveWorld();
}

// Save C: the player's own moves in the chest's window, saved as the window closes.
void closeChestWindow(App& app) {
    app.openContainerScreen(ContainerKind::Chest, {kChestX, kChestY, kChestZ});
    app.clickScreenSlot(ui::kChestSlotBase, true);  // half of five, rounded up
    app.clickScreenSlot(1, false);
    app.closeScreen();
}

void save(const std::filesystem::path& folder, const std::string& how) {
    App app;
    openWorld(app, folder);
    if (how == "window") {
        filesave::setSaveStepHook(stepTaken);
        closeChestWindow(app);
        filesave::backgroundWriter().drain();  // the writer's steps are the places to be killed
        filesave::rethrowBackgroundFailure();
        std::cout << "steps " << steps << "\n";
        return;
    }
    // Save B: gold from the chest into the pack, three stones from the pack into the world.
    app.containers.chests.at(app.dimension).at({kChestX, kChestY, kChestZ})[0].count = 2;
    app.inventory.hotbar[1] = {kGold, 3, 0};
    for (int32_t x = 4; x < 7; ++x)
        if (!app.setBlock(x, kPlacedY, 5, kStone)) throw std::runtime_error("cannot place a stone");
    app.inventory.hotbar[0].count = 7;
    app.entities.droppedItems.clear();
    app.world.blockStates[{1, 110, 1}] = {kGold, 2};
    filesave::setSaveStepHook(stepTaken);
    if (how == "autosave") {
        app.autosave();
        filesave::backgroundWriter().drain();
        filesave::rethrowBackgroundFailure();
    } else {
        app.saveWorld();
    }
    std::cout << "steps " << steps << "\n";
}

int check(const std::filesystem::path& folder) {
    App app;
    openWorld(app, folder);
    const int chestGold = app.containers.chests.at(app.dimension).at({kChestX, kChestY, kChestZ})[0].count;
    const int packGold = app.inventory.hotbar[1].id == kGold ? app.inventory.hotbar[1].count : 0;
    const int packStones = app.inventory.hotbar[0].count;
    const int placed = placedStones(app);
    const std::size_t drops = app.entities.droppedItems.size();
    const int state = app.world.blockStates.at({1, 110, 1}).state;
    if (chestGold == 5 && packGold == 0 && packStones == 10 && placed == 0 && drops == 1 && state == 1) {
        std::cout << "A\n";
        return 0;
    }
    if (chestGold == 2 && packGold == 3 && packStones == 7 && placed == 3 && drops == 0 && state == 2) {
        std::cout << "B\n";
        return 0;
    }
    if (chestGold == 2 && packGold == 3 && packStones == 10 && placed == 0 && drops == 1 && state == 1) {
        std::cout << "C\n";
        return 0;
    }
    std::cout << "mix: chest gold " << chestGold << ", pack gold " << packGold << ", pack stones "
              << packStones << ", placed " << placed << ", drops " << drops << ", state " << state << "\n";
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const std::string mode = argc > 2 ? argv[1] : "";
        if (mode == "prepare" && argc == 3) {
            prepare(argv[2]);
            return 0;
        }
        if (mode == "save" && argc == 5) {
            stopAt = std::atoi(argv[3]);
            save(argv[2], argv[4]);
            return 0;
        }
        if (mode == "check" && argc == 3) return check(argv[2]);
        std::cerr << "usage: save_kill_probe prepare|save|check <world> [step world|autosave|window]\n";
        return 2;
    } catch (const std::exception& e) {
        std::cout << "failed: " << e.what() << "\n";
        return 2;
    }
}
