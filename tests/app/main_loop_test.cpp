#include <gtest/gtest.h>

#include "app/app.h"
#include "app/main_loop.h"

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

TEST(Escape, EdgeTriggeredThroughTheScreenTable) {
    App app;
    app.ui.menuOpen = false;
    app.ui.screen = 0;
    app.handleEscape(true);
    EXPECT_EQ(app.ui.screen, 2);
    app.handleEscape(true);  // still held
    app.handleEscape(true);
    EXPECT_EQ(app.ui.screen, 2);
    app.handleEscape(false);
    app.handleEscape(true);
    EXPECT_EQ(app.ui.screen, 0);
    EXPECT_FALSE(app.ui.menuOpen);

    app.handleEscape(false);
    app.ui.textEntryActive = true;
    app.handleEscape(true);
    EXPECT_FALSE(app.ui.textEntryActive);
    EXPECT_EQ(app.ui.screen, 0) << "text entry ends first, nothing else";

    app.handleEscape(false);
    app.setScreen(6);
    app.ui.textField = U"abc";
    app.handleEscape(true);
    EXPECT_EQ(app.ui.screen, 5);
    EXPECT_TRUE(app.ui.textField.empty());
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
