#include "adventure/living_clocks.h"

namespace adventure {

namespace {

void advance(int32_t& clock, int32_t interval) {
    clock = clock + 1 >= interval ? 0 : clock + 1;
}

}  // namespace

void stepLivingClocks(LivingClocks& clocks, const content::LivingWorldRules& rules) {
    if (!rules.enabled) return;
    advance(clocks.raid, rules.raidTicks);
    advance(clocks.caravan, rules.caravanTicks);
    advance(clocks.market, rules.marketTicks);
}

}  // namespace adventure
