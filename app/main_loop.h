#pragma once
// The frame loop's fixed-step clock and sleep fade, apart from the window so tests drive them.
#include <cstdint>

#include "game/player_state.h"

namespace core {

// Adds the frame's elapsed time (never negative) to the accumulator, capped at 0.25 s, then runs
// `step` once per whole 0.05 s in it. Returns the number of steps.
template <class Step>
uint32_t runFixedSteps(double& accumulator, double elapsed, Step&& step) {
    accumulator += elapsed > 0.0 ? elapsed : 0.0;
    if (accumulator > WorldClock::kAccumulatorCap) accumulator = WorldClock::kAccumulatorCap;
    uint32_t steps = 0;
    while (accumulator + WorldClock::kSlack >= WorldClock::kStep) {
        step();
        accumulator -= WorldClock::kStep;
        ++steps;
    }
    return steps;
}

constexpr double kSleepWakeAfter = 0.6;  // seconds into the fade: morning comes
constexpr double kSleepEndAfter = 1.2;   // seconds into the fade: play resumes
constexpr int32_t kMorningTime = 2400;
constexpr float kWakeLightFade = 0.05f;

}  // namespace core
