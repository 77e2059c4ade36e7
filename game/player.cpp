#include <GLFW/glfw3.h>

#include <algorithm>
#include <cmath>

#include "app/app.h"
#include "app/chunk_window.h"

namespace {

constexpr float kFlySpeed = 10.0f;        // blocks per second
constexpr float kFastFlySpeed = 30.0f;    // with Control held
constexpr float kMouseSensitivity = 0.0025f;  // radians per pixel
constexpr float kPitchLimit = 1.55f;
constexpr float kMaxFrameDelta = 0.25f;   // a long stall must not fling the camera

bool keyDown(GLFWwindow* win, int key) { return glfwGetKey(win, key) == GLFW_PRESS; }

}  // namespace

void App::updatePlayer() {
    const double now = glfwGetTime();
    player.frameDelta = static_cast<float>(now - player.inputClock);
    player.inputClock = now;
    const float dt = std::clamp(player.frameDelta, 0.0f, kMaxFrameDelta);

    double mouseX = 0.0, mouseY = 0.0;
    glfwGetCursorPos(gpu.win, &mouseX, &mouseY);
    if (player.resetMouseLook) {
        player.resetMouseLook = false;
    } else {
        player.yaw += static_cast<float>(mouseX - player.lastMouseX) * kMouseSensitivity;
        player.pitch = std::clamp(player.pitch - static_cast<float>(mouseY - player.lastMouseY) * kMouseSensitivity,
                                  -kPitchLimit, kPitchLimit);
    }
    player.lastMouseX = mouseX;
    player.lastMouseY = mouseY;

    // Free flight without collision: forward follows the yaw, Space and Shift move straight up and down.
    const float forwardX = std::cos(player.yaw), forwardZ = std::sin(player.yaw);
    float moveX = 0.0f, moveY = 0.0f, moveZ = 0.0f;
    if (keyDown(gpu.win, GLFW_KEY_W)) moveX += forwardX, moveZ += forwardZ;
    if (keyDown(gpu.win, GLFW_KEY_S)) moveX -= forwardX, moveZ -= forwardZ;
    if (keyDown(gpu.win, GLFW_KEY_D)) moveX -= forwardZ, moveZ += forwardX;
    if (keyDown(gpu.win, GLFW_KEY_A)) moveX += forwardZ, moveZ -= forwardX;
    if (keyDown(gpu.win, GLFW_KEY_SPACE)) moveY += 1.0f;
    if (keyDown(gpu.win, GLFW_KEY_LEFT_SHIFT)) moveY -= 1.0f;
    const float length = std::sqrt(moveX * moveX + moveY * moveY + moveZ * moveZ);
    const float speed = keyDown(gpu.win, GLFW_KEY_LEFT_CONTROL) ? kFastFlySpeed : kFlySpeed;
    if (length > 0.0f) {
        const float scale = speed * dt / length;
        player.x += moveX * scale;
        player.y += moveY * scale;
        player.z += moveZ * scale;
    }
    player.velocityX = length > 0.0f ? moveX / length * speed : 0.0f;
    player.velocityY = length > 0.0f ? moveY / length * speed : 0.0f;
    player.velocityZ = length > 0.0f ? moveZ / length * speed : 0.0f;
    updatePlayerChunk();
}

void App::updatePlayerChunk() {
    const int32_t cx = core::chunkOf(player.x), cz = core::chunkOf(player.z);
    if (cx == player.chunkX && cz == player.chunkZ) return;
    player.chunkX = cx;
    player.chunkZ = cz;
}

bool App::useBlock(int32_t, int32_t, int32_t) {
    // No block of the world can be used yet: beds, doors and machines come with the world's blocks.
    return false;
}
