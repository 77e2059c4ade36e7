#include "app/main_loop.h"

#include <GLFW/glfw3.h>

#include <algorithm>

#include "app/app.h"
#include "platform/close_request.h"
#include "render/vulkan/vulkan_check.h"
#include "save/file_save.h"

namespace {

void escapeOnce(App& app) {
    UiState& ui = app.ui;
    if (ui.textEntryActive) {
        app.resetTextEntry();
        return;
    }
    if (ui.inGameWindow) {
        app.closeScreen();
        ui.inGameWindow = false;
        app.rearmInputLatches();
        app.setCursorCaptured(true);
        return;
    }
    const ui::EscapeStep step = ui::escapeTarget(ui.screen, ui.returnScreen, ui.subDialog);
    if (step.clearTextField) ui.textField.clear();
    if (step.clearSubDialog) {
        ui.subDialog = false;
        return;
    }
    if (step.target != ui.screen) app.setScreen(step.target);
}

}  // namespace

void App::handleEscape() {
    // Taken before acting: a screen change clears the latch, but every press seen before it counts.
    const uint32_t presses = ui::takePresses(ui.keyPresses, GLFW_KEY_ESCAPE);
    for (uint32_t i = 0; i < presses; ++i) escapeOnce(*this);
}

void App::runWorldSteps(double now) {
    clock.ticksThisFrame = 0;
    if (files.worldOpen && (!ui.menuOpen || (ui.screen >= 9 && ui.screen <= 11) || lan.started)) {
        clock.ticksThisFrame = core::runFixedSteps(clock.accumulator, now - clock.lastFrameTime, [this] { tickWorld(); });
    } else {
        clock.accumulator = 0.0;
    }
}

void App::updateSleepFade(double now) {
    if (sleepStart < 0.0) return;
    const double elapsed = now - sleepStart;
    if (elapsed >= core::kSleepWakeAfter && !woken) {
        if (hasBed && useBlock(bedX, bedY, bedZ)) {
            clock.timeOfDay = core::kMorningTime;
            player.lightFade = core::kWakeLightFade;
            woken = true;
            saveActionFiles({.player = true});
            showToast(U"ДОБРОЕ УТРО");
        } else {
            sleepStart = -1.0;
            return;
        }
    }
    if (elapsed >= core::kSleepEndAfter) {
        sleepStart = -1.0;
        rearmInputLatches();
        player.inputClock = now;
    }
}

void App::easeHandTimers() {
    const float dt = player.frameDelta;
    player.decayTimer = std::max(0.0f, player.decayTimer - dt * 5.0f);
    const float target = player.blendTarget ? 1.0f : 0.0f;
    player.blend += (target - player.blend) * std::min(dt * 16.0f, 1.0f);
    if (player.swingHold != 0) {
        player.swingPhase = 0.0f;
    } else if (player.swingPhase > 0.0f) {
        player.swingPhase += dt * (player.swingSlow ? 2.8f : 4.8f);
        if (player.swingPhase >= 1.0f) player.swingPhase = 0.0f;
    }
}

void App::runFrame() {
    ui.framePressesAfter = ui::latestPressOrder();
    glfwPollEvents();
    ui.eventsPolledAt = glfwGetTime();
    // The character of the key that opened the chat came with that key's event, or never comes.
    ui.chatSkipChar = false;
    if (platform::closeRequested()) glfwSetWindowShouldClose(gpu.win, GLFW_TRUE);
    updateNetwork();
    followSession();
    handleEscape();
    if (files.worldOpen && (ui.screen == UiState::kPlaying || (ui.screen >= 9 && ui.screen <= 11)))
        streamOpenWorld();
    if (ui.menuOpen) {
        handleScreenInput();
    } else if (sleepStart < 0.0) {
        handleInventoryInput();
        handleMapScreenInput();
        // The open inventory holds the mouse: no looking around.
        if (!ui.inventoryOpen) updatePlayer();
    }
    const double now = glfwGetTime();
    filesave::rethrowBackgroundFailure();
    runWorldSteps(now);
    updateSleepFade(glfwGetTime());
    openDeathScreenIfDead();
    updatePortals();
    updateWorldMap();
    updateQuests();
    if (!ui.menuOpen && sleepStart < 0.0) {
        selectHotbarSlot();
        easeHandTimers();
        // While the chat entry is open the buttons do nothing in the world. A two-part block may
        // reach into a chunk that is read from its file now.
        if (!ui.textEntryActive) runOpenWorldStep([this] { handleUseInput(); });
    }

    int width = 0, height = 0;
    glfwGetFramebufferSize(gpu.win, &width, &height);
    if (width == 0 || height == 0) {
        glfwWaitEvents();
        clock.lastFrameTime = ui.eventsPolledAt = glfwGetTime();
    } else {
        clock.lastFrameTime = now;
        if (static_cast<uint32_t>(width) != gpu.swapchainWidth ||
            static_cast<uint32_t>(height) != gpu.swapchainHeight)
            createSwapchain();
        drawFrame();
    }
}

void App::run() {
    loadSettings();
    clock.lastFrameTime = glfwGetTime();
    // A terminal's Ctrl+C or a TERM signal closes the window like its close button.
    const platform::ScopedCloseRequestHook wakeOnClose([] { glfwPostEmptyEvent(); });
    while (!glfwWindowShouldClose(gpu.win)) runFrame();
    // A LAN guest's world is the session's: nothing of it goes into the local folder.
    if (writesWorldFiles()) {
        saveWorld();
        saveInventory();
    }
    if (gpu.dev) render::check(vkDeviceWaitIdle(gpu.dev), "vkDeviceWaitIdle(dev)", 1338);
}
