#include "adventure/loot_roll.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

int32_t stackOf(uint8_t item) {
    return item == 9 ? 16 : item == 8 ? 1 : 64;
}

int32_t countOf(const ChestSlots& chest, uint8_t item) {
    int32_t n = 0;
    for (const InventorySlot& slot : chest) n += slot.id == item ? slot.count : 0;
    return n;
}

ChestSlots rolled(const std::vector<LootEntry>& entries, uint64_t seed, ChestSlots chest = {}) {
    adventure::rollLoot(entries, seed, stackOf, chest);
    return chest;
}

// Chances of 1 and 0 decide alone; counts land anywhere in min..max and nowhere else.
TEST(LootRoll, ChanceAndCountRangeDecideEveryDropForAnySeed) {
    const std::vector<LootEntry> table{{5, 2, 6, 1.0}, {6, 1, 64, 0.0}, {7, 3, 3, 1.0}, {300, 1, 1, 1.0}};
    std::array<bool, 7> seen{};
    for (uint64_t seed = 0; seed < 200; ++seed) {
        const ChestSlots chest = rolled(table, seed);
        const int32_t fives = countOf(chest, 5);
        ASSERT_GE(fives, 2);
        ASSERT_LE(fives, 6);
        seen[static_cast<std::size_t>(fives)] = true;
        ASSERT_EQ(countOf(chest, 6), 0);
        ASSERT_EQ(countOf(chest, 7), 3);
        ASSERT_EQ(chest[0].id, 5);
        ASSERT_EQ(chest[1].id, 7);
        ASSERT_EQ(chest[2].count, 0) << "an id above 255 is no item";
    }
    EXPECT_TRUE(seen[2] && seen[6]) << "both ends of the range come up";
}

TEST(LootRoll, CountsSplitByTheLargestStackIntoTheEmptySlotsUntilTheChestIsFull) {
    const struct {
        const char* name;
        std::vector<LootEntry> table;
        std::size_t filledBefore;  // slots 0 .. this - 1 already hold something
        std::size_t stacks;
        int32_t lastCount;
    } cases[] = {
        {"a stack of exactly 16", {{9, 16, 16, 1.0}}, 0, 1, 16},
        {"17 makes two", {{9, 17, 17, 1.0}}, 0, 2, 1},
        {"unstackable items one a slot", {{8, 5, 5, 1.0}}, 0, 5, 1},
        {"the last empty slot still takes one", {{8, 1, 1, 1.0}}, 26, 1, 1},
        {"a full chest takes nothing", {{8, 1, 1, 1.0}}, 27, 0, 0},
        {"what finds no slot is lost", {{8, 5, 5, 1.0}}, 25, 2, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ChestSlots chest{};
        std::fill_n(chest.begin(), c.filledBefore, InventorySlot{4, 1, 0});
        chest = rolled(c.table, 1, chest);
        const auto isNew = [](const InventorySlot& slot) { return slot.id != 4 && slot.count > 0; };
        EXPECT_EQ(static_cast<std::size_t>(std::count_if(chest.begin(), chest.end(), isNew)), c.stacks);
        EXPECT_EQ(std::count_if(chest.begin(), chest.end(), [](const auto& s) { return s.id == 4; }),
                  static_cast<long>(c.filledBefore));
        if (c.stacks > 0) {
            EXPECT_EQ(chest[c.filledBefore + c.stacks - 1].count, c.lastCount);
        }
    }
}

TEST(LootRoll, EachCellOfEachWorldRollsItsOwnLoot) {
    const uint64_t seed = adventure::lootSeed(12345, {10, 70, -4});
    EXPECT_EQ(seed, adventure::lootSeed(12345, {10, 70, -4}));
    for (const CellKey& other :
         {CellKey{11, 70, -4}, CellKey{10, 71, -4}, CellKey{10, 70, -3}, CellKey{-4, 70, 10}})
        EXPECT_NE(seed, adventure::lootSeed(12345, other));
    EXPECT_NE(seed, adventure::lootSeed(12346, {10, 70, -4}));
}

}  // namespace
