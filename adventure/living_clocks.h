#pragma once
// The clocks of the living world: world steps since the last raid, caravan and market restock. The
// world step runs them while the living world is enabled; each starts again when it reaches its
// interval of the living-world rules.
#include <cstdint>

#include "content/living_world.h"

struct LivingClocks {
    int32_t raid = 0;
    int32_t caravan = 0;
    int32_t market = 0;
};

namespace adventure {

// The longest interval the rules allow for each clock; a saved clock lies below it.
inline constexpr int32_t kMaxRaidTicks = 480000;
inline constexpr int32_t kMaxCaravanTicks = 480000;
inline constexpr int32_t kMaxMarketTicks = 48000;

// One world step; nothing moves while the living world is switched off. A clock at or past its
// interval (the rules may have shortened it since the save) starts again.
void stepLivingClocks(LivingClocks& clocks, const content::LivingWorldRules& rules);

}  // namespace adventure
