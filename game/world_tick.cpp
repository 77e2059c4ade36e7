#include <algorithm>

#include <GLFW/glfw3.h>

#include "app/app.h"

namespace {

constexpr uint64_t kAutosaveInterval = 100;  // ticks: every 5 s

}  // namespace

void App::tickWorld() {
    ++clock.tick;
    clock.timeOfDay = (clock.timeOfDay + 1) % WorldClock::kDayTicks;
    stepParticles();
    spawnBlockParticles();
    stepSparks();
    stepMobs();
    stepDroppedItems();
    const bool lanGuest = lan.networked && !lan.host;
    if (clock.tick % kAutosaveInterval == 0 && files.worldOpen && !lanGuest) autosave();
}

double App::tickAlpha() const {
    const bool lanGuest = lan.networked && !lan.host;
    const double alpha = lanGuest ? (glfwGetTime() - entities.lastEntityMessage) / 0.1 : clock.accumulator / WorldClock::kStep;
    return std::clamp(alpha, 0.0, 1.0);
}
