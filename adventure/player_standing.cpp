#include "adventure/player_standing.h"

#include <algorithm>

namespace adventure {

Coins coinsOf(uint64_t copper) {
    return {copper / kCopperPerGold, static_cast<uint32_t>(copper % kCopperPerGold / kCopperPerSilver),
            static_cast<uint32_t>(copper % kCopperPerSilver)};
}

uint64_t earnCoins(PlayerStanding& standing, uint64_t copper) {
    const uint64_t room = kWalletLimit - 1 - std::min(standing.copper, kWalletLimit - 1);
    const uint64_t taken = std::min(copper, room);
    standing.copper = std::min(standing.copper, kWalletLimit - 1) + taken;
    return taken;
}

bool spendCoins(PlayerStanding& standing, uint64_t copper) {
    if (copper > standing.copper) return false;
    standing.copper -= copper;
    return true;
}

void changeReputation(PlayerStanding& standing, int32_t change) {
    const int64_t moved = int64_t{standing.reputation} + change;
    standing.reputation = static_cast<int32_t>(std::clamp<int64_t>(moved, 0, kMaxReputation));
}

}  // namespace adventure
