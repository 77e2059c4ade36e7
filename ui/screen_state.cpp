// The screen state that every layer may change: the screen shown, its window, the input latches,
// the toast line and the world list a screen opens on. Input handling stays in ui/screens.cpp.
#include <GLFW/glfw3.h>

#include <algorithm>
#include <limits>

#include "app/app.h"
#include "net/protocol.h"
#include "ui/screen_slots.h"
#include "ui/world_list_view.h"

void App::rearmInputLatches() {
    ui.mouseLeftLatched = true;
    ui.mouseRightLatched = true;
    ui.keysLatched = true;
    // Presses that came after the press which changed the screen, in the same frame, were meant for
    // the new screen: at a slow frame rate a Down pressed right after the click that opens a
    // workbench comes with it. Every other press was meant for the screen that is left.
    const uint64_t acted = std::max(ui.keyPresses.lastTaken, ui.buttonPresses.lastTaken);
    const uint64_t keepAfter = acted > ui.framePressesAfter ? acted : std::numeric_limits<uint64_t>::max();
    ui::keepPressesAfter(ui.keyPresses, keepAfter);
    ui::keepPressesAfter(ui.buttonPresses, keepAfter);
    motion.flightTap = {};
    player.resetMouseLook = true;
}

// The view turns from where the cursor stands at the capture, so the first move after closing a
// window turns it even when it comes before the next frame reads the mouse.
void App::setCursorCaptured(bool captured) {
    if (!gpu.win) return;
    glfwSetInputMode(gpu.win, GLFW_CURSOR, captured ? GLFW_CURSOR_DISABLED : GLFW_CURSOR_NORMAL);
    if (!captured) return;
    glfwGetCursorPos(gpu.win, &player.lastMouseX, &player.lastMouseY);
    player.resetMouseLook = false;
}

void App::setScreen(int32_t screen) {
    const bool fromPlay = !ui.menuOpen;
    const int32_t previous = ui.screen;
    ui.screen = screen;
    ui.menuOpen = screen != UiState::kPlaying;
    // Pausing a world takes its picture for the world list (the next frame writes it).
    if (screen == UiState::kPause && fromPlay && files.worldOpen && swapchain.copyable)
        gpu.capturePath = files.world / "preview.png";
    if (screen == 5 && previous != 5) refreshWorldList();
    ui.textEntryActive = false;
    rearmInputLatches();
    setCursorCaptured(!ui.menuOpen);
    if (gpu.win) ui.panelOpenedAt = glfwGetTime();
}

void App::resetTextEntry() {
    ui.textEntryActive = false;
    setCursorCaptured(!ui.menuOpen);
}

void App::releaseHeldActions() {
    ui.mouseLeftLatched = true;
    ui.mouseRightLatched = true;
    if (lan.heldAction && lan.networked && !lan.host && lan.ready) sendClientEvent(net::kEventReleaseHeld);
    lan.heldAction = false;
    lan.actionsReleased = true;
    lan.heldButton = -1;
}

void App::showToast(const std::u32string& text) {
    ui.toast.text = text;
    ui.toast.until = (gpu.win ? glfwGetTime() : 0.0) + 4.0;
}

void App::refreshWorldList(const std::filesystem::path& select) {
    listWorlds();
    const int32_t count = static_cast<int32_t>(ui.worlds.size());
    for (int32_t k = 0; k < count && !select.empty(); ++k)
        if (ui.worlds[static_cast<std::size_t>(k)].directory == select) ui.selectedWorld = k;
    const ui::WorldListView view = ui::clampedWorldList({ui.worldScroll, ui.selectedWorld}, count, ui::kWorldRowsShown);
    ui.worldScroll = view.scroll;
    ui.selectedWorld = view.selected;
    if (gpu.dev) buildUiAtlas();
}

void App::openInventory() {
    ui.inventoryOpen = true;
    ui.inGameWindow = true;
    rearmInputLatches();
    setCursorCaptured(false);
    if (gpu.win) ui.panelOpenedAt = glfwGetTime();
}

void App::openContainerScreen(ContainerKind kind, const CellKey& cell) {
    const auto [x, y, z] = cell;
    ui.container = ContainerView{kind, {x, y, z}, 0};
    ui.inventoryOpen = false;
    if (kind == ContainerKind::Chest) containers.chests[dimension].try_emplace(cell);
    if (kind == ContainerKind::Furnace) machines[dimension].try_emplace(cell);
    const int32_t screen = kind == ContainerKind::Chest     ? ui::kChestScreen
                           : kind == ContainerKind::Furnace ? ui::kFurnaceScreen
                                                            : ui::kCraftingScreen;
    setScreen(screen);
    ui.inGameWindow = true;
}
