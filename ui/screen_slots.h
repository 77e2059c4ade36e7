#pragma once
// Where the inventory-type screens draw their slots, and which slot lies under the cursor. The
// interface layout draws from the same rectangles, so a click always lands on the slot it shows.
#include <cstdint>
#include <vector>

namespace ui {

// Slot codes: 0..35 inventory (hotbar 0..8), 40..43 armour, 60..62 furnace input, fuel and
// output, 100..126 the open chest; on the crafting screen 200..205 the ingredients, 210 the result
// and 300..309 the rows of the recipe list.
inline constexpr uint32_t kArmourSlotBase = 40;
inline constexpr uint32_t kIngredientCellBase = 200;
inline constexpr uint32_t kResultCell = 210;
inline constexpr uint32_t kRecipeRowBase = 300;
inline constexpr uint32_t kFurnaceSlotBase = 60;
inline constexpr uint32_t kChestSlotBase = 100;
inline constexpr uint32_t kNoSlot = 0xFFFF;

// Screens that carry their own slots besides the inventory.
inline constexpr int32_t kCraftingScreen = 9;
inline constexpr int32_t kFurnaceScreen = 10;
inline constexpr int32_t kChestScreen = 11;

struct SlotRect {
    float x, y, w, h;
};

struct ScreenSlot {
    uint32_t code;
    SlotRect rect;
};

// The slots of the inventory screen (screen 0 with the inventory open), the crafting, furnace or
// chest screen, in drawing order.
std::vector<ScreenSlot> screenSlots(int32_t screen, float width, float height);

// The inventory screen's slot under a framebuffer position, kNoSlot when none.
uint32_t inventoryHit(float x, float y, float width, float height);
// The chest screen's slot under a framebuffer position (inventory or chest code), kNoSlot when none.
uint32_t inventorySlotAt(float x, float y, float width, float height);
// Any inventory-type screen's slot under a position.
uint32_t screenSlotAt(int32_t screen, float x, float y, float width, float height);

}  // namespace ui
