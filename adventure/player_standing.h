#pragma once
// The player's standing in the world's society: the wallet, the reputation and the quest log. It is
// kept with the adventure file and starts over with every new world.
#include <cstdint>

#include "adventure/quest_log.h"

namespace adventure {

// The wallet holds less than this many copper coins.
inline constexpr uint64_t kWalletLimit = 1'000'000'000'000;
inline constexpr uint64_t kCopperPerSilver = 100;
inline constexpr uint64_t kCopperPerGold = 10'000;
inline constexpr int32_t kMaxReputation = 1000;

struct PlayerStanding {
    uint64_t copper = 0;     // the wallet, below kWalletLimit
    int32_t reputation = 0;  // 0..kMaxReputation
    QuestLog quests;         // quest progress by quest id
};

// A sum of copper as the coins the player counts: gold, then silver (0..99), then copper (0..99).
struct Coins {
    uint64_t gold = 0;
    uint32_t silver = 0;
    uint32_t copper = 0;
    bool operator==(const Coins&) const = default;
};

Coins coinsOf(uint64_t copper);
// Adds to the wallet, which stops one coin short of its limit; answers the copper it took.
uint64_t earnCoins(PlayerStanding& standing, uint64_t copper);
// Takes the price when the wallet holds it; false, with nothing taken, when it does not.
bool spendCoins(PlayerStanding& standing, uint64_t copper);
// Moves the reputation by `change`, held within 0..kMaxReputation.
void changeReputation(PlayerStanding& standing, int32_t change);

}  // namespace adventure
