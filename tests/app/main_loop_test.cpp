#include "app/main_loop.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include "app/app.h"
#include "support/temp_dir.h"

TEST(WorldSteps, AccumulatorIsCappedAndKeepsTheRemainder) {
    double accumulator = 0.0;
    int ticks = 0;
    EXPECT_EQ(core::runFixedSteps(accumulator, 1.0, [&] { ++ticks; }), 5u);
    EXPECT_EQ(ticks, 5);
    EXPECT_NEAR(accumulator, 0.0, 1e-12);

    accumulator = 0.0;
    EXPECT_EQ(core::runFixedSteps(accumulator, 0.05 - 5e-10, [] {}), 1u) << "within the slack";
    accumulator = 0.0;
    EXPECT_EQ(core::runFixedSteps(accumulator, 0.05 - 2e-9, [] {}), 0u);
    EXPECT_EQ(core::runFixedSteps(accumulator, 0.03, [] {}), 1u);
    EXPECT_NEAR(accumulator, 0.03 - 2e-9, 1e-12);
    EXPECT_EQ(core::runFixedSteps(accumulator, -5.0, [] {}), 0u) << "time never runs backwards";
}

TEST(WorldSteps, RunOnlyWhileTheWorldIsOpenAndNotPausedByAMenu) {
    App app;
    app.clock.lastFrameTime = 10.0;
    app.runWorldSteps(10.1);
    EXPECT_EQ(app.clock.tick, 0u) << "no world open";
    EXPECT_EQ(app.clock.accumulator, 0.0);

    app.files.worldOpen = true;
    app.ui.menuOpen = true;
    app.ui.screen = 13;
    app.runWorldSteps(10.1);
    EXPECT_EQ(app.clock.tick, 0u) << "a blocking menu stops the clock";

    app.ui.screen = 10;  // inventory-type screens keep the world running
    app.runWorldSteps(10.1);
    EXPECT_EQ(app.clock.ticksThisFrame, 2u);
    EXPECT_EQ(app.clock.tick, 2u);
    EXPECT_EQ(app.clock.timeOfDay, 13442);
}

namespace {

void key(App& app, int code, int action) {
    app.onKey(nullptr, code, 0, action, 0);
}

// A press and its release, both before the next frame looks.
void tap(App& app, int code) {
    key(app, code, GLFW_PRESS);
    key(app, code, GLFW_RELEASE);
}

void startPlaying(App& app) {
    app.ui.menuOpen = false;
    app.ui.screen = UiState::kPlaying;
}

}  // namespace

TEST(Escape, ActsOncePerPressThroughTheScreenTable) {
    App app;
    startPlaying(app);
    tap(app, GLFW_KEY_ESCAPE);
    app.handleEscape();
    EXPECT_EQ(app.ui.screen, 2) << "released before the frame, still counted";
    app.handleEscape();
    EXPECT_EQ(app.ui.screen, 2) << "a press counts in one frame only";

    key(app, GLFW_KEY_ESCAPE, GLFW_PRESS);
    app.handleEscape();
    EXPECT_EQ(app.ui.screen, 0);
    key(app, GLFW_KEY_ESCAPE, GLFW_REPEAT);
    app.handleEscape();
    key(app, GLFW_KEY_ESCAPE, GLFW_REPEAT);
    app.handleEscape();
    EXPECT_EQ(app.ui.screen, 0) << "held: repeats are not presses";
    EXPECT_FALSE(app.ui.menuOpen);
    key(app, GLFW_KEY_ESCAPE, GLFW_RELEASE);

    app.ui.textEntryActive = true;
    tap(app, GLFW_KEY_ESCAPE);
    app.handleEscape();
    EXPECT_FALSE(app.ui.textEntryActive);
    EXPECT_EQ(app.ui.screen, 0) << "text entry ends first, nothing else";

    app.setScreen(6);
    app.ui.textField = U"abc";
    tap(app, GLFW_KEY_ESCAPE);
    app.handleEscape();
    EXPECT_EQ(app.ui.screen, 5);
    EXPECT_TRUE(app.ui.textField.empty());
}

TEST(Escape, TwoPressesInsideOneFrameBothAct) {
    App app;
    startPlaying(app);
    tap(app, GLFW_KEY_ESCAPE);
    tap(app, GLFW_KEY_ESCAPE);
    app.handleEscape();
    EXPECT_EQ(app.ui.screen, 0) << "to the pause screen and back";
    EXPECT_FALSE(app.ui.menuOpen);
}

TEST(ScreenInput, EnterTappedBetweenFramesOpensTheWorldList) {
    testsupport::TempDir dir;
    App app;
    app.files.saves = dir.path() / "Saves";
    tap(app, GLFW_KEY_ENTER);
    app.handleScreenInput();
    EXPECT_FALSE(app.files.worldOpen) << "no world opens before one is chosen";
    EXPECT_EQ(app.ui.screen, 5);
}

TEST(ScreenInput, PressesBeforeAScreenChangeDoNotActOnTheNextScreen) {
    testsupport::TempDir dir;
    App app;
    app.files.saves = dir.path() / "Saves";
    startPlaying(app);
    key(app, GLFW_KEY_ENTER, GLFW_PRESS);
    app.onMouseButton(nullptr, GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS, 0);
    app.setScreen(UiState::kMainMenu);
    app.handleScreenInput();
    EXPECT_EQ(app.ui.screen, UiState::kMainMenu) << "Enter was pressed in play";
    EXPECT_EQ(ui::takePresses(app.ui.buttonPresses, GLFW_MOUSE_BUTTON_LEFT), 0u);

    key(app, GLFW_KEY_ENTER, GLFW_REPEAT);
    app.handleScreenInput();
    EXPECT_EQ(app.ui.screen, UiState::kMainMenu) << "still held from before the change";
    key(app, GLFW_KEY_ENTER, GLFW_RELEASE);
    tap(app, GLFW_KEY_ENTER);
    app.handleScreenInput();
    EXPECT_EQ(app.ui.screen, 5) << "a new press takes the main menu's first button";
}

TEST(MouseButtons, PressesAreLatchedReleasesAreNot) {
    App app;
    app.onMouseButton(nullptr, GLFW_MOUSE_BUTTON_RIGHT, GLFW_PRESS, 0);
    app.onMouseButton(nullptr, GLFW_MOUSE_BUTTON_RIGHT, GLFW_RELEASE, 0);
    EXPECT_EQ(ui::takePresses(app.ui.buttonPresses, GLFW_MOUSE_BUTTON_RIGHT), 1u);
    EXPECT_EQ(ui::takePresses(app.ui.buttonPresses, GLFW_MOUSE_BUTTON_LEFT), 0u);
}

TEST(SleepFade, WithoutABedEndsAtOnceAndKeepsTheTime) {
    App app;
    app.sleepStart = 100.0;
    app.updateSleepFade(100.3);
    EXPECT_EQ(app.sleepStart, 100.0) << "still fading";
    app.updateSleepFade(100.7);
    EXPECT_EQ(app.sleepStart, -1.0);
    EXPECT_EQ(app.clock.timeOfDay, 13440);
    EXPECT_FALSE(app.woken);
}

TEST(SleepFade, EndsAfterTheFadeOnceWoken) {
    App app;
    app.sleepStart = 5.0;
    app.woken = true;
    app.player.resetMouseLook = false;
    app.updateSleepFade(6.1);
    EXPECT_EQ(app.sleepStart, 5.0);
    app.updateSleepFade(6.2);
    EXPECT_EQ(app.sleepStart, -1.0);
    EXPECT_TRUE(app.player.resetMouseLook);
    EXPECT_EQ(app.player.inputClock, 6.2);
}

TEST(HandTimers, EaseTowardTheirTargets) {
    App app;
    app.player.frameDelta = 0.1f;
    app.player.decayTimer = 1.0f;
    app.player.blendTarget = true;
    app.player.swingPhase = 0.5f;
    app.easeHandTimers();
    EXPECT_FLOAT_EQ(app.player.decayTimer, 0.5f);
    EXPECT_FLOAT_EQ(app.player.blend, 1.0f);
    EXPECT_FLOAT_EQ(app.player.swingPhase, 0.98f);
    app.easeHandTimers();
    EXPECT_EQ(app.player.swingPhase, 0.0f) << "a finished swing returns to rest";
    app.player.swingPhase = 0.5f;
    app.player.swingHold = 1;
    app.easeHandTimers();
    EXPECT_EQ(app.player.swingPhase, 0.0f);
}
