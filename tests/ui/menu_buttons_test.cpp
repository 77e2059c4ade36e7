#include "ui/menu_buttons.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using ui::MenuAction;

constexpr float kW = 1280.0f, kH = 720.0f;

float before(float edge) { return std::nextafter(edge, -1e9f); }

// Every button answers at its inner edges and not one float step outside them, on several sizes.
TEST(MenuButtons, HitsStopExactlyAtTheEdges) {
    const float sizes[][2] = {{1280.0f, 720.0f}, {960.0f, 540.0f}, {1920.0f, 1080.0f}, {3840.0f, 2160.0f}};
    for (const auto& size : sizes) {
        for (const int32_t screen : {1, 2, 5, 6, 12}) {
            for (const ui::MenuButton& b : ui::menuButtons(screen, size[0], size[1])) {
                const float right = b.rect.x + b.rect.w, bottom = b.rect.y + b.rect.h;
                const float midX = b.rect.x + b.rect.w * 0.5f, midY = b.rect.y + b.rect.h * 0.5f;
                EXPECT_EQ(ui::menuActionAt(screen, b.rect.x, midY, size[0], size[1]), b.action);
                EXPECT_EQ(ui::menuActionAt(screen, midX, b.rect.y, size[0], size[1]), b.action);
                EXPECT_EQ(ui::menuActionAt(screen, before(right), before(bottom), size[0], size[1]), b.action);
                EXPECT_EQ(ui::menuActionAt(screen, before(b.rect.x), midY, size[0], size[1]), MenuAction::NoAction);
                EXPECT_EQ(ui::menuActionAt(screen, midX, before(b.rect.y), size[0], size[1]), MenuAction::NoAction);
                EXPECT_EQ(ui::menuActionAt(screen, right, midY, size[0], size[1]), MenuAction::NoAction);
                EXPECT_EQ(ui::menuActionAt(screen, midX, bottom, size[0], size[1]), MenuAction::NoAction);
            }
        }
    }
}

TEST(MenuButtons, ButtonsOfAScreenNeitherOverlapNorLeaveTheFramebuffer) {
    EXPECT_EQ(ui::menuButtons(1, 960.0f, 540.0f).size(), 5u) << "the main menu's five";
    EXPECT_TRUE(ui::menuButtons(0, 960.0f, 540.0f).empty());
    for (const int32_t screen : {1, 2, 5, 6, 12}) {
        const auto buttons = ui::menuButtons(screen, 960.0f, 540.0f);
        for (std::size_t i = 0; i < buttons.size(); ++i) {
            const ui::SlotRect& a = buttons[i].rect;
            EXPECT_GE(a.x, 0.0f);
            EXPECT_GE(a.y, 0.0f);
            EXPECT_LE(a.x + a.w, 960.0f);
            EXPECT_LE(a.y + a.h, 540.0f);
            for (std::size_t j = i + 1; j < buttons.size(); ++j) {
                const ui::SlotRect& b = buttons[j].rect;
                const bool apart = a.x + a.w <= b.x || b.x + b.w <= a.x || a.y + a.h <= b.y || b.y + b.h <= a.y;
                EXPECT_TRUE(apart) << "screen " << screen << " buttons " << i << " and " << j;
            }
        }
    }
}

// The toast ("НЕТ МИРОВ" after Continue without worlds, a failure) never covers a button: on every
// menu screen and size its plate across the whole width stays clear of the buttons and on screen.
// Without buttons it stays at 68 % of the height.
TEST(MenuButtons, TheToastCoversNoButton) {
    const float sizes[][2] = {{1280.0f, 720.0f}, {960.0f, 540.0f}, {1920.0f, 1080.0f},
                              {1280.0f, 1440.0f}, {3840.0f, 540.0f}, {3840.0f, 2160.0f}};
    for (const auto& [w, h] : sizes) {
        EXPECT_FLOAT_EQ(ui::toastTop(0, w, h), h * 0.68f) << w << "x" << h;
        for (const int32_t screen : {1, 2, 5, 6, 12}) {
            const ui::SlotRect band = ui::toastBand(ui::toastTop(screen, w, h), w, h);
            EXPECT_GE(band.y, 0.0f) << screen << " " << w << "x" << h;
            EXPECT_LE(band.y + band.h, h) << screen << " " << w << "x" << h;
            for (const ui::MenuButton& b : ui::menuButtons(screen, w, h)) {
                const bool apart = b.rect.y + b.rect.h <= band.y || band.y + band.h <= b.rect.y;
                EXPECT_TRUE(apart) << screen << " " << w << "x" << h << " button at " << b.rect.y;
            }
        }
    }
}

// The world list's notice, shown when every world was left out, sits between the title and the
// toast: on screen, clear of the toast's plate and of every button.
TEST(MenuButtons, TheWorldNoticeStaysClearOfTheToastAndTheButtons) {
    const float sizes[][2] = {{1280.0f, 720.0f}, {960.0f, 540.0f}, {1920.0f, 1080.0f},
                              {1280.0f, 1440.0f}, {3840.0f, 540.0f}, {3840.0f, 2160.0f}};
    for (const auto& [w, h] : sizes) {
        const float unit = ui::interfaceUnit(w, h);
        const float top = ui::worldNoticeTop(0, w, h);
        const float bottom = ui::worldNoticeTop(2, w, h) + ui::kWorldNoticeTextHeight * unit;
        EXPECT_GT(top, 90.0f * unit) << w << "x" << h << ": below the title";
        EXPECT_LT(bottom, ui::toastBand(ui::toastTop(5, w, h), w, h).y) << w << "x" << h;
        for (const ui::MenuButton& b : ui::menuButtons(5, w, h)) EXPECT_LT(bottom, b.rect.y) << w << "x" << h;
        EXPECT_GT(ui::worldNoticeTop(1, w, h) - ui::worldNoticeTop(0, w, h), ui::kWorldNoticeTextHeight * unit)
            << "rows do not overlap";
    }
}

TEST(MenuButtons, WorldRowsAndFormFieldsAnswerInsideOnly) {
    const auto rows = ui::worldRowRects(kW, kH);
    ASSERT_EQ(rows.size(), 3u);
    for (int32_t k = 0; k < 3; ++k) {
        const ui::SlotRect& r = rows[static_cast<std::size_t>(k)];
        EXPECT_EQ(ui::worldRowAt(r.x, r.y, kW, kH), k);
        EXPECT_EQ(ui::worldRowAt(before(r.x + r.w), before(r.y + r.h), kW, kH), k);
        EXPECT_EQ(ui::worldRowAt(r.x + r.w, r.y, kW, kH), -1);
        EXPECT_EQ(ui::worldRowAt(before(r.x), r.y, kW, kH), -1);
    }
    EXPECT_EQ(ui::worldRowAt(rows[0].x, rows[0].y + rows[0].h, kW, kH), -1) << "the gap between rows";
    EXPECT_EQ(ui::worldRowAt(rows[0].x, before(rows[0].y), kW, kH), -1) << "above the first row";
    EXPECT_EQ(ui::worldRowAt(rows[2].x, rows[2].y + rows[2].h, kW, kH), -1) << "below the last row";
    for (uint32_t field = 0; field < 2u; ++field) {
        const ui::SlotRect r = ui::newWorldFieldRect(field, kW, kH);
        EXPECT_EQ(ui::newWorldFieldAt(r.x, r.y, kW, kH), static_cast<int32_t>(field));
        EXPECT_EQ(ui::newWorldFieldAt(r.x, r.y + r.h, kW, kH), -1);
        EXPECT_EQ(ui::newWorldFieldAt(r.x, before(r.y), kW, kH), -1);
    }
}

}  // namespace
