// The world menus' input: the main menu's five buttons, the pause screen, the world list with its
// wheel and rows, the new-world form and the delete confirmation. Buttons are hit-tested against
// the rectangles the interface draws (ui/menu_buttons.h).
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <stdexcept>

#include "app/app.h"
#include "ui/message_lines.h"
#include "ui/new_world_form.h"
#include "ui/world_list_view.h"

namespace {

constexpr int32_t kWorldList = 5, kNewWorld = 6, kDeleteWorld = 12, kConnection = 17;

bool isWorldMenu(int32_t screen) {
    return screen == UiState::kMainMenu || screen == UiState::kPause || screen == kWorldList ||
           screen == kNewWorld || screen == kDeleteWorld;
}

// What Enter does on each screen: the first button, the selected world, the form's create.
ui::MenuAction enterAction(int32_t screen) {
    if (screen == UiState::kMainMenu) return ui::MenuAction::OpenWorldList;
    if (screen == kWorldList) return ui::MenuAction::PlaySelected;
    if (screen == kNewWorld) return ui::MenuAction::CreateWorld;
    return ui::MenuAction::NoAction;
}

uint32_t randomSeed() {
    std::random_device device;
    return device();
}

// The world whose world.txt was written last, or -1 when there is none.
int32_t lastSavedWorld(const std::vector<WorldEntry>& worlds) {
    int32_t latest = -1;
    std::filesystem::file_time_type latestTime{};
    for (std::size_t k = 0; k < worlds.size(); ++k) {
        std::error_code error;
        const auto time = std::filesystem::last_write_time(worlds[k].directory / "world.txt", error);
        if (error || (latest >= 0 && time <= latestTime)) continue;
        latest = static_cast<int32_t>(k);
        latestTime = time;
    }
    return latest;
}

}  // namespace

void App::handleWorldMenus() {
    const int32_t screen = ui.screen;
    if (!isWorldMenu(screen)) return;
    const auto [x, y] = cursorInFramebuffer();
    const float width = static_cast<float>(gpu.swapchainWidth), height = static_cast<float>(gpu.swapchainHeight);
    const bool enter = ui::takePresses(ui.keyPresses, GLFW_KEY_ENTER) + ui::takePresses(ui.keyPresses, GLFW_KEY_KP_ENTER) > 0;
    const bool click = ui::takePresses(ui.buttonPresses, GLFW_MOUSE_BUTTON_LEFT) > 0;
    if (screen == kWorldList) {
        // Whole wheel steps move the list by a row; a click on a row selects its world.
        const double steps = std::trunc(player.scrollAccumulator);
        player.scrollAccumulator -= steps;
        const ui::WorldListView before{ui.worldScroll, ui.selectedWorld};
        const ui::WorldListView after =
            ui::scrolledWorldList(before, static_cast<int32_t>(ui.worlds.size()), ui::kWorldRowsShown,
                                  static_cast<int32_t>(steps), click ? ui::worldRowAt(x, y, width, height) : -1);
        ui.worldScroll = after.scroll;
        ui.selectedWorld = after.selected;
        // The atlas holds the previews of the rows shown and of the selected world.
        if (after != before && gpu.dev) buildUiAtlas();
    }
    if (click && screen == kNewWorld) {
        const int32_t field = ui::newWorldFieldAt(x, y, width, height);
        if (field >= 0) ui.newWorld.focusedField = static_cast<uint32_t>(field);
    }
    ui::MenuAction action = click ? ui::menuActionAt(screen, x, y, width, height) : ui::MenuAction::NoAction;
    if (action == ui::MenuAction::NoAction && enter) action = enterAction(screen);
    runMenuAction(action);
}

void App::runMenuAction(ui::MenuAction action) {
    using ui::MenuAction;
    const bool haveWorld = ui.selectedWorld >= 0 && ui.selectedWorld < static_cast<int32_t>(ui.worlds.size());
    try {
        switch (action) {
            case MenuAction::OpenWorldList:
            case MenuAction::BackToWorldList:
                setScreen(kWorldList);
                break;
            case MenuAction::ContinueWorld:
                listWorlds();
                if (const int32_t last = lastSavedWorld(ui.worlds); last >= 0)
                    openWorld(ui.worlds[static_cast<std::size_t>(last)].directory);
                else if (saves.worldListProblems.empty())
                    showToast(U"НЕТ МИРОВ");
                else  // the worlds were left out: say so, and where to read why
                    showToast(ui::worldListNotice(saves.worldListProblems).front());
                break;
            case MenuAction::OpenNewWorld:
                ui.newWorld = NewWorldForm{};
                setScreen(kNewWorld);
                break;
            case MenuAction::OpenConnection:
                setScreen(kConnection);
                break;
            case MenuAction::Quit:
                if (gpu.win) glfwSetWindowShouldClose(gpu.win, GLFW_TRUE);
                break;
            case MenuAction::Resume:
                setScreen(UiState::kPlaying);
                break;
            case MenuAction::SaveAndQuit:
                leaveWorld();
                break;
            case MenuAction::PlaySelected:
                if (haveWorld) openWorld(ui.worlds[static_cast<std::size_t>(ui.selectedWorld)].directory);
                break;
            case MenuAction::DeleteSelected:
                if (haveWorld) setScreen(kDeleteWorld);
                break;
            case MenuAction::BackToMainMenu:
                setScreen(UiState::kMainMenu);
                break;
            case MenuAction::CreateWorld: {
                const std::optional<uint32_t> seed = ui::formSeed(ui.newWorld.seed, randomSeed());
                ui.newWorld.seedError = !seed;
                if (seed) createWorld(ui::formWorldName(ui.newWorld.name, GameFiles{}.worldName), *seed);
                break;
            }
            case MenuAction::ConfirmDelete:
                deleteSelectedWorld();
                setScreen(kWorldList);
                break;
            case MenuAction::NoAction:
                break;
        }
    } catch (const std::runtime_error& failure) {
        // A world that cannot be read or written stays as it is; the player is told and stays here.
        showToast(ui::utf8ToUtf32(failure.what()));
    }
}

void App::onWorldMenuKey(int key, int action) {
    if (!ui.menuOpen || ui.screen != kNewWorld || action == GLFW_RELEASE) return;
    if (key == GLFW_KEY_BACKSPACE) ui::eraseFromForm(ui.newWorld);
    if (key == GLFW_KEY_TAB && action == GLFW_PRESS) ui::switchFormField(ui.newWorld);
}

void App::onWorldMenuChar(unsigned int codePoint) {
    if (ui.menuOpen && ui.screen == kNewWorld) ui::typeIntoForm(ui.newWorld, static_cast<char32_t>(codePoint));
}
