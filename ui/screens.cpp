#include <GLFW/glfw3.h>

#include "app/app.h"
#include "net/protocol.h"

void App::handleScreenInput() {
    const double now = glfwGetTime();
    player.frameDelta = static_cast<float>(now - player.inputClock);
    player.inputClock = now;
    handleWorldMenus();
    handleContainerInput();
    handleLanScreenInput();
    handleMapScreenInput();
}

void App::onKey(GLFWwindow* window, int key, int, int action, int modifiers) {
    // The open chat entry takes every key; Escape still reaches the frame loop, which closes it.
    if (ui.textEntryActive) {
        if (action == GLFW_PRESS && key == GLFW_KEY_ESCAPE) ui::notePress(ui.keyPresses, key);
        if (action != GLFW_RELEASE) chatKey(key);
        return;
    }
    const bool chatKeyPressed = key == GLFW_KEY_T || key == GLFW_KEY_ENTER || key == GLFW_KEY_KP_ENTER;
    if (action == GLFW_PRESS && chatKeyPressed && files.worldOpen && !ui.menuOpen && !ui.inGameWindow) {
        openChat(key == GLFW_KEY_T);
        return;
    }
    if (action == GLFW_PRESS) ui::notePress(ui.keyPresses, key);
    // The flight toggle reads the press's own time, as near as the poll that delivers it tells.
    if (action == GLFW_PRESS && key == GLFW_KEY_SPACE && !ui.menuOpen)
        game::notePress(motion.flightTap, {ui.eventsPolledAt, glfwGetTime()});
    if (action != GLFW_RELEASE && ui.screen == ui::kConnectionScreen && connectionFormKey(key, modifiers)) return;
    onWorldMenuKey(key, action);
    // F3+B shows the hitboxes of mobs, NPCs and shaped blocks.
    if (action == GLFW_PRESS && key == GLFW_KEY_B && window && glfwGetKey(window, GLFW_KEY_F3) == GLFW_PRESS)
        showHitboxes = !showHitboxes;
    // F5 switches between the first-person view and the camera behind the player.
    if (action == GLFW_PRESS && key == GLFW_KEY_F5 && !ui.menuOpen) player.thirdPerson = !player.thirdPerson;
}

void App::onMouseButton(GLFWwindow*, int button, int action, int) {
    if (action == GLFW_PRESS) ui::notePress(ui.buttonPresses, button);
    if (action == GLFW_PRESS && lan.networked && !lan.host) {
        lan.heldAction = true;
        lan.actionsReleased = false;
        lan.heldButton = button;
    }
    if (button == GLFW_MOUSE_BUTTON_LEFT && action != GLFW_REPEAT) hands.leftHeld = action == GLFW_PRESS;
    if (button == GLFW_MOUSE_BUTTON_RIGHT && action != GLFW_REPEAT) hands.rightHeld = action == GLFW_PRESS;
}

void App::onChar(GLFWwindow*, unsigned int codePoint) {
    if (ui.textEntryActive) return chatChar(codePoint);
    if (ui.screen == ui::kConnectionScreen) { connectionFormChar(codePoint); return; }
    onWorldMenuChar(codePoint);
}
