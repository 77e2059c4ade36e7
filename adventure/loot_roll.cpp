#include "adventure/loot_roll.h"

#include <algorithm>

namespace adventure {

namespace {

// SplitMix64: small, fast and good enough for loot.
struct LootRandom {
    uint64_t state;
    uint64_t next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1): a chance of 1 always passes, a chance of 0 never does.
    double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
};

// Puts `count` of the item into the empty slots from `slot` on; answers the next slot to look at.
std::size_t placeStacks(ChestSlots& chest, std::size_t slot, uint8_t item, int32_t count, int32_t stack) {
    while (count > 0 && slot < chest.size()) {
        if (chest[slot].count > 0) {
            ++slot;
            continue;
        }
        const int32_t put = std::min(count, stack);
        chest[slot++] = InventorySlot{item, put, 0};
        count -= put;
    }
    return slot;
}

}  // namespace

uint64_t lootSeed(uint32_t worldSeed, const CellKey& cell) {
    LootRandom mix{worldSeed};
    uint64_t seed = mix.next();
    for (int32_t coordinate : {std::get<0>(cell), std::get<1>(cell), std::get<2>(cell)}) {
        mix.state = seed ^ static_cast<uint32_t>(coordinate);
        seed = mix.next();
    }
    return seed;
}

void rollLoot(const std::vector<LootEntry>& entries, uint64_t seed, const MaxStack& maxStack,
              ChestSlots& chest) {
    LootRandom random{seed};
    std::size_t slot = 0;
    for (const LootEntry& entry : entries) {
        // Both draws are made for every entry, so one entry's chance never shifts another's count.
        const bool drops = random.unit() < entry.chance;
        const uint64_t span = static_cast<uint64_t>(std::max(entry.max - entry.min, 0)) + 1;
        const auto count = static_cast<int32_t>(entry.min + static_cast<int64_t>(random.next() % span));
        if (!drops || entry.item == 0 || entry.item > 255 || count < 1) continue;
        const auto item = static_cast<uint8_t>(entry.item);
        slot = placeStacks(chest, slot, item, count, std::max(1, maxStack(item)));
    }
}

}  // namespace adventure
