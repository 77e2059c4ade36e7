#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "render/interface/interface_layout.h"
#include "ui/screen_slots.h"

namespace {

constexpr float kWidth = 1280.0f, kHeight = 720.0f;

// The slot frames the interface draws (slot, hovered and selected panels), in drawing order.
std::vector<std::array<float, 4>> drawnSlots(int32_t screen, uint32_t inventoryOpen) {
    render::InterfaceBlock block{};
    block.framebuffer[0] = kWidth, block.framebuffer[1] = kHeight;
    block.screen = screen;
    block.inventoryOpen = inventoryOpen;
    block.hovered = ui::kNoSlot;
    std::vector<std::array<float, 4>> rects;
    for (const render::InterfaceElement& e : render::layoutInterface(block, {}))
        if (e.kind == render::ElementKind::Panel && e.a[0] >= 2.0f && e.a[0] <= 4.0f)
            rects.push_back({e.rect[0], e.rect[1], e.rect[2], e.rect[3]});
    return rects;
}

TEST(ScreenSlots, HitRectanglesAreTheDrawnSlots) {
    for (const auto& [screen, open] : {std::pair{0, 1u}, {10, 0u}, {11, 0u}}) {
        const std::vector<ui::ScreenSlot> slots = ui::screenSlots(screen, kWidth, kHeight);
        const std::vector<std::array<float, 4>> drawn = drawnSlots(screen, open);
        ASSERT_EQ(slots.size(), drawn.size()) << "screen " << screen;
        for (std::size_t k = 0; k < slots.size(); ++k) {
            const ui::SlotRect& r = slots[k].rect;
            EXPECT_EQ((std::array<float, 4>{r.x, r.y, r.w, r.h}), drawn[k]) << "screen " << screen << " slot " << k;
        }
    }
}

ui::SlotRect rectOf(int32_t screen, uint32_t code) {
    for (const ui::ScreenSlot& slot : ui::screenSlots(screen, kWidth, kHeight))
        if (slot.code == code) return slot.rect;
    ADD_FAILURE() << "no slot " << code;
    return {};
}

float before(float v) { return std::nextafter(v, -std::numeric_limits<float>::infinity()); }

TEST(ScreenSlots, EdgesOfSlotsAndTheGapsBetween) {
    const ui::SlotRect hot0 = rectOf(0, 0), hot8 = rectOf(0, 8), row3 = rectOf(0, 27), helmet = rectOf(0, 40),
                       boots = rectOf(0, 43), chest0 = rectOf(11, 100), chestLast = rectOf(11, 126),
                       recipe0 = rectOf(9, 300), recipe9 = rectOf(9, 309);
    const float midHot = hot0.y + hot0.h * 0.5f;
    const struct {
        const char* name;
        int32_t screen;
        float x, y;
        uint32_t slot;
    } cases[] = {
        {"first pixel of hotbar slot 0", 0, hot0.x, hot0.y, 0},
        {"last pixel of hotbar slot 0", 0, before(hot0.x + hot0.w), before(hot0.y + hot0.h), 0},
        {"right edge belongs to slot 1", 0, hot0.x + hot0.w, midHot, 1},
        {"left of the hotbar", 0, before(hot0.x), midHot, ui::kNoSlot},
        {"right of the last hotbar slot", 0, hot8.x + hot8.w, midHot, ui::kNoSlot},
        {"below the last main row", 0, row3.x, row3.y + row3.h, ui::kNoSlot},
        {"last pixel of the last main row", 0, row3.x, before(row3.y + row3.h), 27},
        {"top of the helmet slot", 0, helmet.x, helmet.y, 40},
        {"above the helmet slot", 0, helmet.x, before(helmet.y), ui::kNoSlot},
        {"bottom of the boots slot", 0, helmet.x, before(boots.y + boots.h), 43},
        {"first chest slot", 11, chest0.x, chest0.y, 100},
        {"last chest slot", 11, before(chestLast.x + chestLast.w), chestLast.y, 126},
        {"gap under the chest rows", 11, chestLast.x, chestLast.y + chestLast.h, ui::kNoSlot},
        {"first recipe row", 9, recipe0.x, recipe0.y, 300},
        {"above the recipe list", 9, recipe0.x, before(recipe0.y), ui::kNoSlot},
        {"the next row from a row's bottom edge", 9, recipe0.x, recipe0.y + recipe0.h, 301},
        {"last pixel of the last recipe row", 9, before(recipe9.x + recipe9.w), before(recipe9.y + recipe9.h), 309},
        {"below the recipe list", 9, recipe9.x, recipe9.y + recipe9.h, ui::kNoSlot},
    };
    for (const auto& c : cases) {
        const uint32_t got = c.screen == 0    ? ui::inventoryHit(c.x, c.y, kWidth, kHeight)
                             : c.screen == 11 ? ui::inventorySlotAt(c.x, c.y, kWidth, kHeight)
                                              : ui::screenSlotAt(c.screen, c.x, c.y, kWidth, kHeight);
        EXPECT_EQ(got, c.slot) << c.name;
    }
}

}  // namespace
