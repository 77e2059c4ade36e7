#include <gtest/gtest.h>

#include <vector>

#include "ui/slot_moves.h"
#include "world/block_registry.h"

namespace {

bool same(const InventorySlot& a, const InventorySlot& b) {
    return a.id == b.id && a.count == b.count && a.wear == b.wear;
}

struct ClickCase {
    const char* name;
    InventorySlot slot, cursor;
    int32_t maxStack;
    InventorySlot slotAfter, cursorAfter;
};

// Each case's slot and cursor after `move`.
using Move = void (*)(InventorySlot&, InventorySlot&, int32_t);
void expectMoves(Move move, std::initializer_list<ClickCase> cases) {
    for (const ClickCase& c : cases) {
        InventorySlot slot = c.slot, cursor = c.cursor;
        move(slot, cursor, c.maxStack);
        EXPECT_TRUE(same(slot, c.slotAfter) && same(cursor, c.cursorAfter)) << c.name;
    }
}

TEST(SlotMoves, LeftClickPicksPlacesMergesAndSwaps) {
    expectMoves(ui::leftClickSlot, {
        {"empty cursor picks the stack up", {3, 10}, {}, 64, {}, {3, 10}},
        {"merge reaching the max exactly", {3, 60}, {3, 4}, 64, {3, 64}, {}},
        {"merge one past the max leaves one", {3, 60}, {3, 5}, 64, {3, 64}, {3, 1}},
        {"a full stack takes nothing", {3, 64}, {3, 5}, 64, {3, 64}, {3, 5}},
        {"an empty slot takes up to the max", {}, {3, 20}, 16, {3, 16}, {3, 4}},
        {"different items swap", {3, 5}, {4, 7}, 64, {4, 7}, {3, 5}},
        {"worn tools never merge", {9, 1, 5}, {9, 1, 0}, 1, {9, 1, 0}, {9, 1, 5}},
    });
}

TEST(SlotMoves, RightClickSplitsAndPlacesOne) {
    expectMoves(ui::rightClickSlot, {
        {"half of an odd stack, rounded up", {3, 5}, {}, 64, {3, 2}, {3, 3}},
        {"a single item is taken whole", {3, 1}, {}, 64, {}, {3, 1}},
        {"one into an empty slot", {}, {3, 5}, 64, {3, 1}, {3, 4}},
        {"one onto max - 1", {3, 63}, {3, 2}, 64, {3, 64}, {3, 1}},
        {"none onto a full stack", {3, 64}, {3, 2}, 64, {3, 64}, {3, 2}},
        {"the last item empties the cursor", {}, {3, 1}, 64, {3, 1}, {}},
    });
}

TEST(SlotMoves, OutputJoinsTheCursorOnlyWhenAllOfItFits) {
    expectMoves(ui::takeFromOutput, {
        {"into an empty cursor", {7, 3}, {}, 64, {}, {7, 3}},
        {"fits exactly", {7, 4}, {7, 60}, 64, {}, {7, 64}},
        {"one too many stays", {7, 5}, {7, 60}, 64, {7, 5}, {7, 60}},
        {"another item on the cursor", {7, 1}, {3, 1}, 64, {7, 1}, {3, 1}},
    });
}

TEST(SlotMoves, AddItemsFillsStacksFirstAndReturnsTheRest) {
    std::vector<InventorySlot> slots{{}, {3, 62}, {4, 1}};
    EXPECT_EQ(ui::addItems(slots, 3, 66, 64), 0);
    EXPECT_TRUE(same(slots[1], {3, 64}) && same(slots[0], {3, 64}));
    EXPECT_EQ(ui::addItems(slots, 3, 1, 64), 1) << "no room left";
}

class ArmourSlots : public ::testing::Test {
   protected:
    void SetUp() override {
        add(30, 0, "");
        add(31, 1, "");
        add(32, -1, "glider");
    }
    void TearDown() override { voxel::resetBlockRegistry(); }
    static void add(uint8_t id, int32_t slot, const char* behavior) {
        voxel::BlockDef def;
        def.isBlock = false;
        def.max_stack = 1;
        def.armor_slot = slot;
        def.behavior = behavior;
        voxel::registerBlock(id, def);
    }
};

TEST_F(ArmourSlots, OnlyArmourOfTheSlotAndAGliderOnTheBody) {
    const struct {
        int32_t slot;
        uint8_t id;
        bool accepted;
    } cases[] = {{0, 30, true}, {1, 30, false}, {1, 31, true}, {1, 32, true},
                 {2, 32, false}, {3, 0, true}, {3, 1, false}, {0, 200, false}};
    for (const auto& c : cases)
        EXPECT_EQ(ui::armourSlotAccepts(c.slot, c.id), c.accepted) << "slot " << c.slot << " id " << int(c.id);
}

// Two of id 3 and one of id 4 make four of id 7.
content::Recipe plankRecipe() { return {"test:thing", "workbench", 7, 4, {{3, 2}, {4, 1}}}; }

TEST(Crafting, ConsumesExactlyAndRefusesWhenShortByOne) {
    const struct {
        const char* name;
        std::vector<InventorySlot> slots;
        int32_t times;
        bool made;
        std::vector<InventorySlot> after;
        int32_t maxStack = 64;  // of the result
    } cases[] = {
        {"exactly enough", {{3, 2}, {4, 1}, {}}, 1, true, {{7, 4}, {}, {}}},
        {"across two stacks", {{3, 1}, {4, 1}, {3, 1}}, 1, true, {{7, 4}, {}, {}}},
        {"short by one", {{3, 1}, {4, 1}, {}}, 0, false, {{3, 1}, {4, 1}, {}}},
        {"twice over", {{3, 4}, {4, 2}, {}}, 2, true, {{3, 2}, {4, 1}, {7, 4}}},
        {"no room for the result", {{3, 3}, {4, 2}}, 1, false, {{3, 3}, {4, 2}}},
        {"the result joins its stack", {{3, 2}, {4, 1}, {7, 60}}, 1, true, {{}, {}, {7, 64}}},
        {"one past the stack's room", {{3, 3}, {4, 2}, {7, 61}}, 1, false, {{3, 3}, {4, 2}, {7, 61}}},
        {"more than a stack goes into two empty slots", {{3, 2}, {4, 1}, {}}, 1, true, {{7, 3}, {7, 1}, {}}, 3},
    };
    for (const auto& c : cases) {
        std::vector<InventorySlot> slots = c.slots;
        EXPECT_EQ(ui::craftableTimes(plankRecipe(), slots), c.times) << c.name;
        EXPECT_EQ(ui::craftOnce(plankRecipe(), slots, c.maxStack), c.made) << c.name;
        for (std::size_t k = 0; k < slots.size(); ++k) EXPECT_TRUE(same(slots[k], c.after[k])) << c.name << " slot " << k;
    }
}

}  // namespace
