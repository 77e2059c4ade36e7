// The ui self-test: the slot layouts of the inventory, crafting, furnace and chest screens at three
// window sizes: each screen has exactly its slots, inside the window and none over another, and the
// hit test finds each slot at its corner and centre and not one pixel past its far edge.
#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "selftest/check_list.h"
#include "selftest/scenarios.h"
#include "ui/screen_slots.h"

namespace selftest {

namespace {

struct ScreenCase {
    const char* name;
    int32_t screen;
    std::vector<std::pair<uint32_t, uint32_t>> codeRanges;  // [first, last] of each group of codes
};

std::set<uint32_t> expectedCodes(const ScreenCase& c) {
    std::set<uint32_t> codes;
    for (const auto& [first, last] : c.codeRanges)
        for (uint32_t code = first; code <= last; ++code) codes.insert(code);
    return codes;
}

// Neighbours touch; the layout's float steps may let them share a few millionths of a pixel.
bool overlap(const ui::SlotRect& a, const ui::SlotRect& b) {
    constexpr float kSlack = 0.01f;
    return a.x + kSlack < b.x + b.w && b.x + kSlack < a.x + a.w && a.y + kSlack < b.y + b.h && b.y + kSlack < a.y + a.h;
}

std::string where(const ScreenCase& c, float w, float h, uint32_t code) {
    return std::string(c.name) + " at " + std::to_string(int(w)) + "x" + std::to_string(int(h)) + ", slot " +
           std::to_string(code);
}

void checkLayout(const ScreenCase& c, float w, float h) {
    const std::vector<ui::ScreenSlot> slots = ui::screenSlots(c.screen, w, h);
    std::set<uint32_t> codes;
    for (const ui::ScreenSlot& s : slots) codes.insert(s.code);
    require(codes == expectedCodes(c) && codes.size() == slots.size(), "slot set",
            std::string(c.name) + " has " + std::to_string(slots.size()) + " slots, not its own set");
    for (std::size_t i = 0; i < slots.size(); ++i) {
        const ui::SlotRect& r = slots[i].rect;
        const std::string at = where(c, w, h, slots[i].code);
        require(r.w > 0 && r.h > 0 && r.x >= 0 && r.y >= 0 && r.x + r.w <= w && r.y + r.h <= h, "slot in window", at);
        for (std::size_t j = i + 1; j < slots.size(); ++j)
            require(!overlap(r, slots[j].rect), "slots apart", at + " over slot " + std::to_string(slots[j].code));
        const uint32_t code = slots[i].code;
        // A hundredth of a pixel in: the sliver two neighbours share goes to the one listed first.
        require(ui::screenSlotAt(c.screen, r.x + 0.01f, r.y + 0.01f, w, h) == code, "hit at the corner", at);
        require(ui::screenSlotAt(c.screen, r.x + r.w / 2, r.y + r.h / 2, w, h) == code, "hit in the middle", at);
        require(ui::screenSlotAt(c.screen, r.x + r.w, r.y + r.h / 2, w, h) != code, "no hit past the edge", at);
        require(ui::screenSlotAt(c.screen, r.x + r.w / 2, r.y + r.h, w, h) != code, "no hit below the edge", at);
    }
    require(ui::screenSlotAt(c.screen, 0.0f, 0.0f, w, h) == ui::kNoSlot, "no slot in the corner", c.name);
}

void uiChecks() {
    const std::vector<ScreenCase> cases = {
        {"inventory", 0, {{0, 35}, {ui::kArmourSlotBase, ui::kArmourSlotBase + 3}}},
        {"crafting",
         ui::kCraftingScreen,
         {{ui::kRecipeRowBase, ui::kRecipeRowBase + 9}, {ui::kIngredientCellBase, ui::kIngredientCellBase + 5},
          {ui::kResultCell, ui::kResultCell}}},
        {"furnace", ui::kFurnaceScreen, {{0, 35}, {ui::kFurnaceSlotBase, ui::kFurnaceSlotBase + 2}}},
        {"chest", ui::kChestScreen, {{0, 35}, {ui::kChestSlotBase, ui::kChestSlotBase + 26}}},
    };
    const std::pair<float, float> sizes[] = {{800.0f, 600.0f}, {1280.0f, 720.0f}, {1920.0f, 1080.0f}};
    for (const ScreenCase& c : cases)
        for (const auto& [w, h] : sizes) checkLayout(c, w, h);
}

}  // namespace

// The layouts need no content and no files: the second path is not read.
int ui(const Path& out, const Path&) {
    return runChecks(out / "ui-self-test.log",
                     "UI_OK: inventory, crafting, furnace and chest slot layouts at three window sizes, hit tests "
                     "at each slot's corner, middle and edges",
                     uiChecks);
}

}  // namespace selftest
