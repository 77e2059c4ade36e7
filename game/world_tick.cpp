#include "app/app.h"

namespace {

constexpr uint64_t kAutosaveInterval = 100;  // ticks: every 5 s

}  // namespace

void App::tickWorld() {
    ++clock.tick;
    clock.timeOfDay = (clock.timeOfDay + 1) % WorldClock::kDayTicks;
    const bool lanGuest = lan.networked && !lan.host;
    if (clock.tick % kAutosaveInterval == 0 && files.worldOpen && !lanGuest) autosave();
}
