#include "ui/screen_slots.h"

#include <algorithm>

namespace ui {

namespace {

// The inventory panel as the interface draws it; the arithmetic follows the layout's float steps.
struct Panel {
    float x, y, w, h, left, right, header, footer, s;
};

Panel panelFor(float width, float height) {
    Panel p{};
    const float size = std::min(std::min(1640.0f, width * 0.96f), height * 0.9f * 1600.0f / 900.0f);
    p.w = size;
    p.h = size * 900.0f / 1600.0f;
    p.x = (width - size) * 0.5f;
    p.y = (height - p.h) * 0.5f;
    p.left = size * 0.302f;
    p.right = size * 0.238f;
    p.header = p.h * 0.1f;
    p.footer = p.h * 0.11f;
    p.s = std::min((size - p.left - p.right - 30.0f) / 9.0f, 82.0f);
    return p;
}

float gridLeft(const Panel& p) { return p.x + p.left + (p.w - p.left - p.right - 9.0f * p.s) * 0.5f; }
float gridTop(const Panel& p) { return p.y + p.header + p.s * 0.35f; }

void addRow(std::vector<ScreenSlot>& out, float x, float y, float s, uint32_t columns, uint32_t first) {
    for (uint32_t k = 0; k < columns; ++k) out.push_back({first + k, {x + static_cast<float>(k) * s, y, s, s}});
}

void addGrid(std::vector<ScreenSlot>& out, float x, float y, float s, uint32_t rows, uint32_t first) {
    for (uint32_t r = 0; r < rows; ++r) addRow(out, x, y + static_cast<float>(r) * s, s, 9u, first + 9u * r);
}

void addHotbar(std::vector<ScreenSlot>& out, const Panel& p) {
    addRow(out, gridLeft(p), p.y + p.h - p.footer - p.s * 1.2f, p.s, 9u, 0u);
}

void inventorySlots(std::vector<ScreenSlot>& out, const Panel& p) {
    const float armourX = p.x + p.s * 0.1f, armourY = p.y + p.header + 32.0f;
    for (uint32_t k = 0; k < 4u; ++k)
        out.push_back({kArmourSlotBase + k, {armourX, armourY + static_cast<float>(k) * p.s, p.s, p.s}});
    addGrid(out, gridLeft(p), gridTop(p), p.s, 3u, 9u);
    addHotbar(out, p);
}

// Input above fuel in the right column, the output beside them.
void furnaceSlots(std::vector<ScreenSlot>& out, const Panel& p) {
    addGrid(out, gridLeft(p), gridTop(p), p.s, 3u, 9u);
    addHotbar(out, p);
    const float column = p.x + p.w - p.right + p.s * 0.4f, top = gridTop(p);
    out.push_back({kFurnaceSlotBase, {column, top, p.s, p.s}});
    out.push_back({kFurnaceSlotBase + 1u, {column, top + 2.0f * p.s, p.s, p.s}});
    out.push_back({kFurnaceSlotBase + 2u, {column + 2.0f * p.s, top + p.s, p.s, p.s}});
}

// The chest's three rows on top, the inventory's below them.
void chestSlots(std::vector<ScreenSlot>& out, const Panel& p) {
    addGrid(out, gridLeft(p), gridTop(p), p.s, 3u, kChestSlotBase);
    addGrid(out, gridLeft(p), gridTop(p) + 3.5f * p.s, p.s, 3u, 9u);
    addHotbar(out, p);
}

// The recipe list down the left column; the chosen recipe's ingredients in a row and its result
// below them. The crafting screen shows no inventory slots.
void craftingSlots(std::vector<ScreenSlot>& out, const Panel& p) {
    const float rowHeight = p.s * 0.6f, rowWidth = p.left - p.s * 0.6f;
    for (uint32_t r = 0; r < 10u; ++r)
        out.push_back({kRecipeRowBase + r, {p.x + p.s * 0.3f, gridTop(p) + static_cast<float>(r) * rowHeight, rowWidth,
                                            rowHeight}});
    addRow(out, gridLeft(p), gridTop(p), p.s, 6u, kIngredientCellBase);
    out.push_back({kResultCell, {gridLeft(p) + 4.0f * p.s, gridTop(p) + 2.0f * p.s, p.s, p.s}});
}

bool inside(const SlotRect& r, float x, float y) { return x >= r.x && y >= r.y && x < r.x + r.w && y < r.y + r.h; }

}  // namespace

std::vector<ScreenSlot> screenSlots(int32_t screen, float width, float height) {
    const Panel p = panelFor(std::max(width, 1.0f), std::max(height, 1.0f));
    std::vector<ScreenSlot> out;
    if (screen == kFurnaceScreen)
        furnaceSlots(out, p);
    else if (screen == kChestScreen)
        chestSlots(out, p);
    else if (screen == kCraftingScreen)
        craftingSlots(out, p);
    else
        inventorySlots(out, p);
    return out;
}

uint32_t screenSlotAt(int32_t screen, float x, float y, float width, float height) {
    for (const ScreenSlot& slot : screenSlots(screen, width, height))
        if (inside(slot.rect, x, y)) return slot.code;
    return kNoSlot;
}

uint32_t inventoryHit(float x, float y, float width, float height) { return screenSlotAt(0, x, y, width, height); }

uint32_t inventorySlotAt(float x, float y, float width, float height) {
    return screenSlotAt(kChestScreen, x, y, width, height);
}

}  // namespace ui
