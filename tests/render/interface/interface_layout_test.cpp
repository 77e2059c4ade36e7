#include "render/interface/interface_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "render/atlases/content_meta.h"
#include "render/interface/interface_tiles.h"
#include "render/interface/overlay_text.h"
#include "ui/connection_form.h"
#include "ui/lan_screens.h"
#include "ui/menu_buttons.h"
#include "ui/panel_words.h"
#include "ui/screen_slots.h"
#include "ui/screen_texts.h"

namespace {

using render::ElementKind;
using render::InterfaceElement;

constexpr float kAny = std::numeric_limits<float>::quiet_NaN();
using Box = std::array<float, 4>;

// One frame's interface: the block and the meta words it reads, nothing hovered.
struct Frame {
    render::InterfaceBlock block{};
    std::vector<uint32_t> meta = std::vector<uint32_t>(render::kContentMetaBytes / 4, 0u);
    Frame(float w, float h, int32_t screen, uint32_t inventory = 0) {
        block.framebuffer[0] = w, block.framebuffer[1] = h;
        block.screen = screen;
        block.inventoryOpen = inventory;
        block.hovered = ui::kNoSlot;
        block.cursor[0] = block.cursor[1] = -1.0f;
    }
    // Glyph count of overlay text line n, and state word k of the LAN screens.
    uint32_t& line(uint32_t n) { return meta[(render::kFirstTextLineRecord + n) * render::kTextLineWords]; }
    uint32_t& state(uint32_t k) { return meta[(render::kFirstTextLineRecord + ui::kScreenStateLine) * 16 + k]; }
    std::vector<InterfaceElement> layout() const { return render::layoutInterface(block, meta); }
};

// Elements of one kind: panels by their panel index, texts by their source.
struct Pick {
    ElementKind kind;
    uint32_t lo = 0, hi = 255;
};
const Pick kFill{ElementKind::Fill}, kWindow{ElementKind::Panel, 0, 0}, kSlot{ElementKind::Panel, 2, 4},
    kTooltip{ElementKind::Panel, 5, 5}, kButton{ElementKind::Panel, 6, 7}, kPicture{ElementKind::Picture},
    kMetaText{ElementKind::Text, 0, 0}, kMenuText{ElementKind::Text, 1, 1}, kNumber{ElementKind::Text, 2, 2};

std::vector<InterfaceElement> picked(const std::vector<InterfaceElement>& all, Pick p) {
    std::vector<InterfaceElement> out;
    for (const InterfaceElement& e : all) {
        const uint32_t key = e.kind == ElementKind::Panel ? static_cast<uint32_t>(e.a[0]) : e.b[0];
        if (e.kind == p.kind &&
            (e.kind == ElementKind::Fill || e.kind == ElementKind::Picture || (key >= p.lo && key <= p.hi)))
            out.push_back(e);
    }
    return out;
}

void expectBox(const float* got, const Box& want, const std::string& what) {
    for (int i = 0; i < 4; ++i)
        if (!std::isnan(want[i])) {
            EXPECT_NEAR(got[i], want[i], 1e-3f) << what << " [" << i << "]";
        }
}

// The font's glyph aspect, and the float just below an edge.
float glyph(float height) { return height * 7.0f / 9.0f; }
float before(float v) { return std::nextafter(v, -std::numeric_limits<float>::infinity()); }

// Where each screen puts its slots, windows and buttons. The scale is 1 at 1280 x 720, follows the
// smaller side and stays within 0.75..3; the inventory panel follows the 16:9 panel rule.
TEST(InterfaceLayout, ElementsSitWhereTheScreenPutsThem) {
    const struct {
        const char* name;
        float w, h;
        int32_t screen;
        uint32_t inventory;
        Pick pick;
        std::size_t n;
        Box want;
    } rows[] = {
        {"first hotbar slot", 1280, 720, 0, 0, kSlot, 0, {442, 666, 44, 44}},
        {"last hotbar slot", 1280, 720, 0, 0, kSlot, 8, {794, 666, 44, 44}},
        {"odd width centres on the half pixel", 1281, 720, 0, 0, kSlot, 0, {442.5f, 666, 44, 44}},
        {"smallest window", 960, 540, 0, 0, kSlot, 8, {595.5f, 499.5f, 33, 33}},
        {"scale never below 0.75", 640, 360, 0, 0, kSlot, 0, {171.5f, 319.5f, 33, 33}},
        {"large window", 1920, 1080, 0, 0, kSlot, 0, {663, 999, 66, 66}},
        {"scale never above 3", 5120, 2880, 0, 0, kSlot, 0, {1966, 2718, 132, 132}},
        {"crosshair on the centre pixel", 1280, 720, 0, 0, kFill, 0, {630, 358, 21, 5}},
        {"crosshair, odd width", 1281, 720, 0, 0, kFill, 0, {630, 358, 21, 5}},
        {"crosshair upright", 1280, 720, 0, 0, kFill, 1, {638, 350, 5, 21}},
        {"crosshair, smallest window", 960, 540, 0, 0, kFill, 0, {472.25f, 268, 16.5f, 5}},
        {"health bar", 1280, 720, 0, 0, kFill, 4, {442, 654, 193.6f, 8}},
        {"food bar", 1280, 720, 0, 0, kFill, 6, {644.4f, 654, 193.6f, 8}},
        {"inventory, height bound", 1280, 720, 0, 1, kWindow, 0, {64, 36, 1152, 648}},
        {"inventory, odd width", 1281, 720, 0, 1, kWindow, 0, {64.5f, 36, 1152, 648}},
        {"inventory, smallest window", 960, 540, 0, 1, kWindow, 0, {48, 27, 864, 486}},
        {"inventory, capped at 1640", 1920, 1080, 0, 1, kWindow, 0, {140, 78.75f, 1640, 922.5f}},
        {"inventory, width bound", 1000, 1000, 0, 1, kWindow, 0, {20, 230, 960, 540}},
        {"helmet slot, portrait top", 1280, 720, 0, 1, kSlot, 0, {69.554667f, 132.8f, 55.546667f, kAny}},
        {"helmet slot, capped panel", 1920, 1080, 0, 1, kSlot, 0, {148.048889f, 203, 80.488889f, kAny}},
        {"helmet slot, smallest window", 960, 540, 0, 1, kSlot, 0, {52.082667f, 107.6f, 40.826667f, kAny}},
        {"last inventory hotbar slot", 1280, 720, 0, 1, kSlot, 39, {871.277333f, 546.064f, 55.546667f, kAny}},
        {"first main menu button", 1280, 720, 1, 0, kButton, 0, {460, 288, 360, 52}},
        {"last main menu button", 1280, 720, 1, 0, kButton, 4, {460, 552, 360, 52}},
        {"main menu, odd width", 1281, 720, 1, 0, kButton, 0, {460.5f, 288, 360, 52}},
        {"main menu, smallest window", 960, 540, 1, 0, kButton, 4, {345, 414, 270, 39}},
        {"menu background covers", 1280, 720, 1, 0, kPicture, 0, {0, 0, 1280, 720}},
        {"menu background, odd width", 1281, 720, 1, 0, kPicture, 0, {0, -0.28125f, 1281, 720.5625f}},
        {"background, tall window", 1000, 1000, 1, 0, kPicture, 0, {-388.888889f, 0, 1777.777778f, 1000}},
        {"pause window", 1280, 720, 2, 0, kWindow, 0, {420, 220, 440, 280}},
        {"pause, resume", 1280, 720, 2, 0, kButton, 0, {450, 270, 380, 52}},
        {"pause, save and quit", 1280, 720, 2, 0, kButton, 1, {450, 340, 380, 52}},
        {"world list, play", 1280, 720, 5, 0, kButton, 0, {50, 640, 220, 52}},
        {"world list, new world", 1280, 720, 5, 0, kButton, 1, {340, 640, 280, 52}},
        {"world list, back", 1280, 720, 5, 0, kButton, 3, {1010, 640, 220, 52}},
        {"world list, play, smallest", 960, 540, 5, 0, kButton, 0, {37.5f, 480, 165, 39}},
        {"world list, back, smallest", 960, 540, 5, 0, kButton, 3, {757.5f, 480, 165, 39}},
        {"new world, name field", 1280, 720, 6, 0, kSlot, 0, {360, 229.2f, 560, 60}},
        {"new world, seed field", 1280, 720, 6, 0, kSlot, 1, {360, 344.4f, 560, 60}},
        {"new world, create", 1280, 720, 6, 0, kButton, 0, {340, 504, 280, 52}},
        {"new world, back", 1280, 720, 6, 0, kButton, 1, {660, 504, 280, 52}},
        {"delete window", 1280, 720, 12, 0, kWindow, 0, {320, 180, 640, 360}},
        {"delete, confirm", 1280, 720, 12, 0, kButton, 0, {370, 460, 240, 52}},
        {"delete, cancel", 1280, 720, 12, 0, kButton, 1, {670, 460, 240, 52}},
        {"death, respawn", 1280, 720, 7, 0, kButton, 0, {470, 389.6f, 340, 56}},
        {"connection, address", 1280, 720, 17, 0, kSlot, 0, {360, 188, 560, 56}},
        {"connection, room code", 1280, 720, 17, 0, kSlot, 2, {360, 418.4f, 560, 56}},
        {"connection, address, odd width", 1281, 720, 17, 0, kSlot, 0, {360.5f, 188, 560, 56}},
        {"connection, connect", 1280, 720, 17, 0, kButton, 0, {340, 593.2f, 280, 52}},
        {"connection, back", 1280, 720, 17, 0, kButton, 1, {660, 593.2f, 280, 52}},
        {"character sheet", 1280, 720, 13, 0, kWindow, 0, {160, 60, 960, 600}},
        {"character sheet, smallest", 960, 540, 13, 0, kWindow, 0, {120, 45, 720, 450}},
        {"open tab", 1280, 720, 13, 0, kSlot, 0, {350, 138, 280, 44}},
        {"other tab", 1280, 720, 13, 0, kButton, 0, {650, 138, 280, 44}},
        {"first chest slot", 1280, 720, 11, 0, kSlot, 0, {426.904f, 120.241333f, 55.546667f, kAny}},
        {"inventory under the chest", 1280, 720, 11, 0, kSlot, 27, {426.904f, 314.654667f, 55.546667f, kAny}},
        {"furnace input", 1280, 720, 10, 0, kSlot, 36, {964.042667f, 120.241333f, 55.546667f, kAny}},
        {"furnace output", 1280, 720, 10, 0, kSlot, 38, {1075.136f, 175.788f, 55.546667f, kAny}},
        {"crafting result", 1280, 720, 9, 0, kSlot, 0, {649.090667f, 231.334667f, 55.546667f, kAny}},
    };
    for (const auto& row : rows) {
        const std::vector<InterfaceElement> all =
            picked(Frame(row.w, row.h, row.screen, row.inventory).layout(), row.pick);
        ASSERT_LT(row.n, all.size()) << row.name;
        expectBox(all[row.n].rect, row.want, row.name);
    }
}

// Bits 0..4 health, 5..9 food, 10 and up the use progress in percent; a bar never leaves its frame.
TEST(InterfaceLayout, BarsFillByTheirShareAndStopAtFull) {
    const struct {
        uint32_t health, food, progress;
        float healthWidth, foodWidth, gaugeWidth;  // gauge -1: none
    } rows[] = {
        {0, 0, 0, 0, 0, -1},
        {1, 19, 1, 9.58f, 182.02f, 0.42f},
        {20, 20, 100, 191.6f, 191.6f, 42},
        {31, 31, 150, 191.6f, 191.6f, 42},
    };
    for (const auto& row : rows) {
        Frame f(1280, 720, 0);
        f.block.status = row.health | row.food << 5 | row.progress << 10;
        const std::vector<InterfaceElement> fills = picked(f.layout(), kFill);
        ASSERT_EQ(fills.size(), row.gaugeWidth < 0 ? 8u : 10u) << row.progress;
        expectBox(fills[5].rect, {443, 655, row.healthWidth, 6}, "health");
        expectBox(fills[7].rect, {645.4f, 655, row.foodWidth, 6}, "food");
        if (row.gaugeWidth >= 0) {
            expectBox(fills[8].rect, {618, 375.5f, 44, 5}, "gauge");
            expectBox(fills[9].rect, {619, 376.5f, row.gaugeWidth, 3}, "gauge fill");
        }
    }
}

// A count keeps its right edge when it gains a digit and never leaves its slot; a single item shows
// none. The bow's arrows show at most a stack in the quiver and the whole count above it.
TEST(InterfaceLayout, CountsStayRightAlignedInsideTheirSlot) {
    const auto hotbar = [](uint32_t n) {
        return [=](Frame& f) { f.block.slots[0] = n << 8 | 5u, f.block.selectedSlot = 1; };
    };
    const auto bow = [](uint32_t n) { return [=](Frame& f) { f.block.cursorStack = 1u << 20 | n << 8 | 9u; }; };
    const auto cursor = [](uint32_t n) {
        return [=](Frame& f) { f.block.cursorStack = n << 8 | 5u, f.block.cursor[0] = 300, f.block.cursor[1] = 200; };
    };
    const auto ingredient = [](uint32_t need) {
        return [=](Frame& f) {
            f.block.slots[ui::kCraftIngredientIdsWord] = 5u, f.block.slots[ui::kCraftIngredientCountWord] = 1u;
            f.block.slots[0] = need;
        };
    };
    const struct {
        const char* name;
        int32_t screen;
        std::function<void(Frame&)> set;
        std::vector<uint32_t> shown;
        float left, right, bottom, height;  // of the slot and of the last number
    } rows[] = {
        {"one item: no count", 0, hotbar(1), {}, 0, 0, 0, 0},
        {"two", 0, hotbar(2), {2}, 442, 482.48f, 706.48f, 15.84f},
        {"nine", 0, hotbar(9), {9}, 442, 482.48f, 706.48f, 15.84f},
        {"ten", 0, hotbar(10), {10}, 442, 482.48f, 706.48f, 15.84f},
        {"a full stack", 0, hotbar(64), {64}, 442, 482.48f, 706.48f, 15.84f},
        {"a stack of arrows", 0, bow(64), {64}, 846, 886.48f, 706.48f, 15.84f},
        {"one arrow more than a stack", 0, bow(65), {64, 65}, 846, 890, 664, 14},
        {"the most arrows counted", 0, bow(4095), {64, 4095}, 846, 890, 664, 14},
        {"cursor stack of one", -142, cursor(1), {}, 0, 0, 0, 0},
        {"cursor stack of nine", -142, cursor(9), {9}, 277.781333f, 322.218667f, 222.218667f, 17.774933f},
        {"cursor stack of ten", -142, cursor(10), {10}, 277.781333f, 322.218667f, 222.218667f, 17.774933f},
        {"ingredient 99", 9, ingredient(99), {99}, 426.904f, 478.006933f, 171.344267f, 19.9968f},
        {"ingredient 100", 9, ingredient(100), {100}, 426.904f, 478.006933f, 171.344267f, 19.9968f},
        {"ingredient 256 shows 255", 9, ingredient(256), {255}, 426.904f, 478.006933f, 171.344267f, 19.9968f},
    };
    for (const auto& row : rows) {
        Frame f(1280, 720, row.screen);
        row.set(f);
        const std::vector<InterfaceElement> numbers = picked(f.layout(), kNumber);
        std::vector<uint32_t> shown;
        for (const InterfaceElement& e : numbers) shown.push_back(e.b[3]);
        EXPECT_EQ(shown, row.shown) << row.name;
        if (numbers.empty() || shown != row.shown) continue;
        const InterfaceElement& e = numbers.back();
        const float digits = static_cast<float>(std::to_string(e.b[3]).size());
        EXPECT_EQ(e.b[2], static_cast<uint32_t>(digits)) << row.name;
        EXPECT_NEAR(e.a[3], row.height, 1e-3f) << row.name;
        EXPECT_NEAR(e.rect[0] + digits * glyph(row.height), row.right, 1e-3f) << row.name;
        EXPECT_NEAR(e.rect[1] + row.height, row.bottom, 1e-3f) << row.name;
        EXPECT_GE(e.rect[0], row.left) << row.name;
    }
}

// Centred texts keep their centre when they gain a glyph, on an odd width too; labels show at most
// 28 glyphs and overlay lines 60.
TEST(InterfaceLayout, CentredTextsStayCentred) {
    const auto biome = [](uint32_t hovered, uint32_t count) {
        return [=](Frame& f) { f.block.hovered = hovered, f.meta[2436 + 8 * ((hovered - 1000) & 31)] = count; };
    };
    const auto toast = [](uint32_t count) { return [=](Frame& f) { f.line(ui::kToastTextLine) = count; }; };
    const auto worldName = [](uint32_t count) { return [=](Frame& f) { f.block.slots[9] = count; }; };
    const auto title = [](uint32_t count) { return [=](Frame& f) { f.line(ui::kTitleTextLine) = count; }; };
    const struct {
        const char* name;
        float w;
        int32_t screen;
        Pick pick;
        std::function<void(Frame&)> set;
        uint32_t glyphs;  // 0: no text
        float top;
    } rows[] = {
        {"biome name of nine", 1280, 0, kMetaText, biome(1000, 9), 9, 12},
        {"biome name of ten", 1280, 0, kMetaText, biome(1000, 10), 10, 12},
        {"biome name, odd width", 1281, 0, kMetaText, biome(1031, 10), 10, 12},
        {"below the biomes", 1280, 0, kMetaText, biome(999, 10), 0, 0},
        {"past the biomes", 1280, 0, kMetaText, biome(1032, 10), 0, 0},
        {"a label of 28", 1280, 0, kMetaText, biome(1000, 28), 28, 12},
        {"a label of 29 shows 28", 1280, 0, kMetaText, biome(1000, 29), 28, 12},
        {"toast of nine", 1280, 0, kMetaText, toast(9), 9, 489.6f},
        {"toast of ten, odd width", 1281, 0, kMetaText, toast(10), 10, 489.6f},
        {"toast of 61 shows 60", 1280, 0, kMetaText, toast(61), 60, 489.6f},
        {"toast under the main menu's buttons", 1280, 1, kMetaText, toast(9), 9, 620.0f},
        {"world to delete, short name", 1280, 12, kMenuText, worldName(4), 4, 270},
        {"world to delete, 24 glyphs", 1281, 12, kMenuText, worldName(24), 24, 270},
        {"world to delete, longer name", 1280, 12, kMenuText, worldName(30), 24, 270},
        {"chest title", 1281, 11, kMetaText, title(6), 6, 54.144f},
    };
    for (const auto& row : rows) {
        Frame f(row.w, 720, row.screen);
        row.set(f);
        const std::vector<InterfaceElement> texts = picked(f.layout(), row.pick);
        std::vector<InterfaceElement> shown;
        for (const InterfaceElement& e : texts)
            if (e.b[2] != 0) shown.push_back(e);
        if (row.glyphs == 0) {
            EXPECT_TRUE(texts.empty()) << row.name;
            continue;
        }
        ASSERT_EQ(shown.size(), 1u) << row.name;
        const InterfaceElement& e = shown[0];
        EXPECT_EQ(e.b[2], row.glyphs) << row.name;
        EXPECT_NEAR(e.rect[0] + row.glyphs * glyph(e.a[3]) * 0.5f, row.w * 0.5f, 1e-3f) << row.name;
        EXPECT_NEAR(e.rect[1], row.top, 1e-3f) << row.name;
    }
}

// The overlay's numbered lines: twelve down the top left corner, each at most 60 glyphs.
TEST(InterfaceLayout, OverlayLinesShowTwelveLinesOfSixtyGlyphs) {
    const struct {
        uint32_t line, count, shown;
        float y;
    } rows[] = {{0, 60, 60, 8}, {0, 61, 60, 8}, {11, 1, 1, 250}, {12, 5, 0, 0}};
    for (const auto& row : rows) {
        Frame f(1280, 720, 0);
        f.line(row.line) = row.count;
        const std::vector<InterfaceElement> texts = picked(f.layout(), kMetaText);
        ASSERT_EQ(texts.size(), row.shown == 0 ? 0u : 1u) << "line " << row.line;
        if (row.shown == 0) continue;
        EXPECT_EQ(texts[0].b[2], row.shown) << "line " << row.line;
        expectBox(texts[0].rect, {8, row.y, kAny, 18 + 1}, "line " + std::to_string(row.line));
    }
}

// Each field's text at its longest (24 name glyphs, 10 seed digits, 15 address characters, 5 port
// digits, 8 room-code digits) stays inside the field, on every window size.
TEST(InterfaceLayout, TypedTextAtItsLimitStaysInsideItsField) {
    for (const auto& [w, h] :
         {std::pair{1280.0f, 720.0f}, {960.0f, 540.0f}, {1920.0f, 1080.0f}, {1281.0f, 720.0f}}) {
        Frame world(w, h, 6);
        world.block.slots[9] = 24, world.block.slots[10] = 10;
        Frame lan(w, h, ui::kConnectionScreen);
        const uint32_t typed[] = {15, 5, 8};
        for (uint32_t k = 0; k < 3; ++k)
            lan.line(ui::kScreenFirstLine + ui::kLineFields + 2 * k + 1) = typed[k];
        for (const auto& [frame, pick, count] : {std::tuple{&world, kMenuText, 2u}, {&lan, kMetaText, 3u}}) {
            const std::vector<InterfaceElement> all = frame->layout();
            const std::vector<InterfaceElement> fields = picked(all, kSlot), texts = picked(all, pick);
            ASSERT_EQ(texts.size(), count);
            for (uint32_t k = 0; k < count; ++k) {
                const InterfaceElement &text = texts[k], &field = fields[k];
                EXPECT_GE(text.rect[0], field.rect[0]) << w << " field " << k;
                EXPECT_LE(text.rect[0] + text.b[2] * glyph(text.a[3]), field.rect[0] + field.rect[2])
                    << w << " field " << k << " of " << text.b[2];
                EXPECT_LE(text.rect[1] + text.rect[3], field.rect[1] + field.rect[3]) << w << " field " << k;
            }
        }
    }
}

// A tooltip shows right of the cursor while it fits the framebuffer, else left of it.
TEST(InterfaceLayout, ATooltipThatWouldLeaveTheScreenTurnsToTheCursorsLeft) {
    const struct {
        uint32_t glyphs;
        float x, w;
    } rows[] = {{4, 914, 74.756030f}, {23, 914, 353.847170f}, {24, 517.463822f, 368.536178f},
                {28, 458.707793f, 427.292207f}};
    for (const auto& row : rows) {
        Frame f(1280, 720, 0, 1);
        f.block.slots[4] = 1u << 8 | 5u;  // slot 8
        f.block.hovered = 8;
        f.block.cursor[0] = 900, f.block.cursor[1] = 560;
        f.meta[8 * 5] = row.glyphs;
        const std::vector<InterfaceElement> all = f.layout();
        const std::vector<InterfaceElement> boxes = picked(all, kTooltip), names = picked(all, kMetaText);
        ASSERT_EQ(boxes.size(), 1u);
        expectBox(boxes[0].rect, {row.x, 574, row.w, kAny}, std::to_string(row.glyphs) + " glyphs");
        EXPECT_LE(boxes[0].rect[0] + boxes[0].rect[2], 1280.0f);
        EXPECT_NEAR(names.back().rect[0], row.x + 8, 1e-3f) << "the name rides in its box";
    }
}

// Lists draw only their filled rows, at the rectangles the mouse is tested against; the chosen row
// is marked. NPC quests: 6 rows; recipes: 10; world thumbnails: 3, with the picture places of the
// interface atlas.
TEST(InterfaceLayout, ListsDrawTheirFilledRowsWhereClicksFindThem) {
    for (const auto& [rows, drawn] : {std::pair{0u, 0u}, {1u, 1u}, {6u, 6u}, {7u, 6u}}) {
        Frame f(1280, 720, ui::kNpcScreen);
        f.state(ui::kStateRows) = rows, f.state(ui::kStateSelection) = drawn == 0 ? 0 : drawn - 1;
        const std::vector<InterfaceElement> all = f.layout();
        const std::vector<InterfaceElement> slots = picked(all, kSlot);
        ASSERT_EQ(slots.size(), 1 + drawn) << "the open tab and the rows, of " << rows;
        for (uint32_t k = 0; k < drawn; ++k) {
            const ui::ScreenRect r = ui::sheetRowRect(k, 1280, 720);
            expectBox(slots[1 + k].rect, {r.x, r.y, r.w, r.h}, "quest row " + std::to_string(k));
            if (k == 5) expectBox(slots[1 + k].rect, {190, 420, 420, 36}, "the last quest row");
            EXPECT_EQ(slots[1 + k].a[0], k + 1 == drawn ? 4.0f : 2.0f) << "chosen: the last row";
        }
        EXPECT_EQ(picked(all, kButton).size(), drawn == 0 ? 1u : 2u) << "accept only with a quest listed";
    }
    const std::vector<ui::ScreenSlot> cells = ui::screenSlots(ui::kCraftingScreen, 1280, 720);
    for (const auto& [count, drawn] : {std::pair{0u, 0u}, {1u, 1u}, {10u, 10u}, {11u, 10u}}) {
        Frame f(1280, 720, ui::kCraftingScreen);
        f.meta[ui::kPanelListCountWord] = count, f.meta[ui::kPanelListSelectedWord] = 9;
        const std::vector<InterfaceElement> slots = picked(f.layout(), kSlot);
        ASSERT_EQ(slots.size(), drawn + 1) << "the rows and the result cell, of " << count;
        for (uint32_t k = 0; k < drawn; ++k) {
            const ui::SlotRect& r = cells[k].rect;
            expectBox(slots[k].rect, {r.x, r.y, r.w, r.h}, "recipe row " + std::to_string(k));
            if (k == 9)
                expectBox(slots[k].rect, {80.664f, 420.193333f, 314.576f, 33.328f}, "the last recipe row");
            EXPECT_EQ(slots[k].a[0], k == 9 ? 4.0f : 2.0f);
        }
    }
    const std::vector<ui::SlotRect> worldRows = ui::worldRowRects(1280, 720);
    for (const auto& [worlds, drawn] : {std::pair{0u, 0u}, {1u, 1u}, {3u, 3u}, {4u, 3u}}) {
        Frame f(1280, 720, 5);
        f.block.slots[13] = worlds;
        const std::vector<InterfaceElement> pictures = picked(f.layout(), kPicture);
        ASSERT_EQ(pictures.size(), 1 + drawn + (worlds > 0 ? 1 : 0)) << worlds << " worlds";
        for (uint32_t k = 0; k < drawn; ++k) {
            const ui::SlotRect& r = worldRows[k];
            expectBox(pictures[1 + k].rect, {r.x, r.y, r.w, r.h}, "world row " + std::to_string(k));
            if (k == 2) expectBox(pictures[1 + k].rect, {120, 404, 224, 126}, "the last world row");
            expectBox(pictures[1 + k].a, {320.0f * k, 1528, 320, 180}, "thumbnail " + std::to_string(k));
        }
        if (worlds > 0) expectBox(pictures.back().a, {960, 1528, 640, 360}, "the chosen world's picture");
    }
}

// A button lights up from its top left pixel to the one before its right and bottom edges.
TEST(InterfaceLayout, ButtonsLightUpInsideTheirEdgesOnly) {
    const struct {
        float x, y;
        float panel;
    } rows[] = {{460, 288, 7}, {before(460), 300, 6}, {500, before(288), 6}, {before(820), before(340), 7},
                {820, 300, 6}, {500, 340, 6}};
    for (const auto& row : rows) {
        Frame f(1280, 720, 1);
        f.block.cursor[0] = row.x, f.block.cursor[1] = row.y;
        EXPECT_EQ(picked(f.layout(), kButton)[0].a[0], row.panel) << row.x << "," << row.y;
    }
}

// Every menu button shows its text: the fixed labels from their groups, the four without a fixed
// label from the overlay text lines that the overlay writer fills each frame, none of them from the
// bytes after the fourth record of group 3 (32,512 on), which belong to the overlay.
TEST(InterfaceLayout, MenuButtonsShowTheirTextsFromLabelsAndOverlayLines) {
    const std::vector<uint8_t> bytes = render::contentMetaBytes({}, {}, 0);
    const struct {
        int32_t screen;
        std::vector<std::u32string> texts;
    } rows[] = {{1, {U"ИГРАТЬ", U"ПРОДОЛЖИТЬ", U"СОЗДАТЬ МИР", U"СЕТЕВАЯ ИГРА", U"ВЫХОД"}},
                {2, {U"ПРОДОЛЖИТЬ", U"СОХРАНИТЬ И ВЫЙТИ"}}};
    for (const auto& row : rows) {
        Frame f(1280, 720, row.screen);
        std::memcpy(f.meta.data(), bytes.data(), bytes.size());
        ui::writeMenuButtonLines(f.meta);
        const std::vector<InterfaceElement> all = f.layout();
        const std::vector<ui::MenuButton> buttons = ui::menuButtons(row.screen, 1280, 720);
        ASSERT_EQ(buttons.size(), row.texts.size());
        for (std::size_t k = 0; k < buttons.size(); ++k) {
            const ui::SlotRect& r = buttons[k].rect;
            const auto text = std::find_if(all.begin(), all.end(), [&r](const InterfaceElement& e) {
                const float cx = e.rect[0] + e.rect[2] * 0.5f, cy = e.rect[1] + e.rect[3] * 0.5f;
                return e.kind == ElementKind::Text && cx > r.x && cx < r.x + r.w && cy > r.y && cy < r.y + r.h;
            });
            ASSERT_NE(text, all.end()) << "button " << k << " of screen " << row.screen;
            const render::LabelRecord expected = render::encodeLabel(row.texts[k]);
            EXPECT_EQ(render::resolvedTextGlyphs(*text, f.block, f.meta),
                      std::vector<uint8_t>(expected.begin() + 4, expected.begin() + 4 + row.texts[k].size()))
                << "button " << k << " of screen " << row.screen;
            const uint32_t byte = 4 * (text->b[1] - 1);
            EXPECT_FALSE(byte >= 32512 && byte < 32640) << "button " << k << " reads the overlay at " << byte;
        }
    }
}

// The inventory's armour slots show the worn pieces that the overlay's armour words carry, with
// their names when hovered, like the portrait beside them.
TEST(InterfaceLayout, ArmourSlotsShowTheWornPieces) {
    const std::vector<ui::ScreenSlot> slots = ui::screenSlots(0, 1280, 720);
    for (const uint32_t hovered : {40u, 41u, 43u}) {
        Frame f(1280, 720, 0, 1);
        f.meta[ui::kPanelArmourWord] = 1u << 8 | 7u;
        f.meta[ui::kPanelArmourWord + 3] = 1u << 8 | 9u;
        f.meta[8 * 7] = f.meta[8 * 9] = 3;  // name glyph counts
        f.block.hovered = hovered;
        const std::vector<InterfaceElement> all = f.layout();
        std::vector<std::pair<uint32_t, uint32_t>> icons;  // id, slot code
        for (const InterfaceElement& e : all) {
            if (e.kind != ElementKind::Icon) continue;
            for (const ui::ScreenSlot& s : slots)
                if (e.rect[0] > s.rect.x && e.rect[0] < s.rect.x + s.rect.w && e.rect[1] > s.rect.y &&
                    e.rect[1] < s.rect.y + s.rect.h)
                    icons.push_back({e.b[0], s.code});
        }
        EXPECT_EQ(icons, (std::vector<std::pair<uint32_t, uint32_t>>{{7u, 40u}, {9u, 43u}}));
        const std::size_t tooltips = picked(all, kTooltip).size();
        EXPECT_EQ(tooltips, hovered == 41u ? 0u : 1u) << "an empty slot has no name to show, hovering " << hovered;
    }
}

}  // namespace
