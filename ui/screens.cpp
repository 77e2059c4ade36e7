#include <GLFW/glfw3.h>

#include "app/app.h"
#include "net/protocol.h"

void App::rearmInputLatches() {
    ui.mouseLeftLatched = true;
    ui.mouseRightLatched = true;
    ui.keysLatched = true;
    ui::clearPresses(ui.keyPresses);
    ui::clearPresses(ui.buttonPresses);
    player.resetMouseLook = true;
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
    if (gpu.win)
        glfwSetInputMode(gpu.win, GLFW_CURSOR, ui.menuOpen ? GLFW_CURSOR_NORMAL : GLFW_CURSOR_DISABLED);
    if (gpu.win) ui.panelOpenedAt = glfwGetTime();
}

// Leaves the inventory or a container window: the cursor stack goes back, play resumes.
void App::closeScreen() {
    returnCursorStack();
    const bool container = ui.screen >= 9 && ui.screen <= 11;
    ui.inventoryOpen = false;
    ui.inGameWindow = false;
    if (container) {
        setScreen(UiState::kPlaying);
    } else {
        rearmInputLatches();
        if (gpu.win && !ui.menuOpen) glfwSetInputMode(gpu.win, GLFW_CURSOR, GLFW_CURSOR_DISABLED);
    }
    releaseHeldActions();
}

void App::resetTextEntry() {
    ui.textEntryActive = false;
    if (gpu.win)
        glfwSetInputMode(gpu.win, GLFW_CURSOR, ui.menuOpen ? GLFW_CURSOR_NORMAL : GLFW_CURSOR_DISABLED);
}

void App::releaseHeldActions() {
    ui.mouseLeftLatched = true;
    ui.mouseRightLatched = true;
    if (lan.heldAction && lan.networked && !lan.host && lan.ready) sendClientEvent(net::kEventReleaseHeld);
    lan.heldAction = false;
}

void App::showToast(const std::u32string& text) {
    ui.toast.text = text;
    ui.toast.until = (gpu.win ? glfwGetTime() : 0.0) + 4.0;
}

void App::handleScreenInput() {
    const double now = glfwGetTime();
    player.frameDelta = static_cast<float>(now - player.inputClock);
    player.inputClock = now;
    handleWorldMenus();
    handleContainerInput();
    handleLanScreenInput();
}

void App::onKey(GLFWwindow* window, int key, int, int action, int modifiers) {
    if (action == GLFW_PRESS) ui::notePress(ui.keyPresses, key);
    if (action != GLFW_RELEASE && ui.screen == ui::kConnectionScreen && connectionFormKey(key, modifiers)) return;
    onWorldMenuKey(key, action);
    // F3+B shows the hitboxes of mobs, NPCs and shaped blocks.
    if (action == GLFW_PRESS && key == GLFW_KEY_B && window && glfwGetKey(window, GLFW_KEY_F3) == GLFW_PRESS)
        showHitboxes = !showHitboxes;
    // F5 switches between the first-person view and the camera behind the player.
    if (action == GLFW_PRESS && key == GLFW_KEY_F5 && !ui.menuOpen) player.thirdPerson = !player.thirdPerson;
    if (action == GLFW_RELEASE || !ui.textEntryActive) return;
    if (key == GLFW_KEY_BACKSPACE && !ui.textField.empty()) ui.textField.pop_back();
}

void App::onMouseButton(GLFWwindow*, int button, int action, int) {
    if (action == GLFW_PRESS) ui::notePress(ui.buttonPresses, button);
    if (action == GLFW_PRESS && lan.networked && !lan.host) lan.heldAction = true;
    if (button == GLFW_MOUSE_BUTTON_LEFT && action != GLFW_REPEAT) hands.leftHeld = action == GLFW_PRESS;
    if (button == GLFW_MOUSE_BUTTON_RIGHT && action != GLFW_REPEAT) hands.rightHeld = action == GLFW_PRESS;
}

void App::onChar(GLFWwindow*, unsigned int codePoint) {
    if (ui.screen == ui::kConnectionScreen) { connectionFormChar(codePoint); return; }
    onWorldMenuChar(codePoint);
    if (ui.textEntryActive) ui.textField.push_back(static_cast<char32_t>(codePoint));
}
