#include <algorithm>

#include <GLFW/glfw3.h>

#include "app/app.h"
#include "game/hunger.h"

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
    game::keepNewestArrows(entities.arrows);
    const bool lanGuest = lan.networked && !lan.host;
    // A guest's cells change only through the host's edits, so it simulates no cells of its own.
    if (!lanGuest) {
        stepBlockUpdates();
        stepWater();
        stepCrops();
        stepFurnaces();
        // The world owner's clocks: a guest's raids and caravans would be the owner's to run.
        adventure::stepLivingClocks(livingClocks, rules.livingWorld);
    }
    game::stepHunger(player.food);
    game::stepEffects(potionEffects);
    if (clock.tick % kAutosaveInterval == 0 && writesWorldFiles()) autosave();
}

double App::tickAlpha() const {
    const bool lanGuest = lan.entitiesFromHost();
    const double alpha = lanGuest ? (glfwGetTime() - entities.lastEntityMessage) / 0.1 : clock.accumulator / WorldClock::kStep;
    return std::clamp(alpha, 0.0, 1.0);
}
