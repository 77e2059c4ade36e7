#include "ui/lan_screens.h"

#include <gtest/gtest.h>

#include <cmath>

#include "ui/connection_form.h"

namespace {

constexpr float kW = 1280.0f, kH = 720.0f;

float centreX(const ui::ScreenRect& r) { return r.x + r.w * 0.5f; }
float centreY(const ui::ScreenRect& r) { return r.y + r.h * 0.5f; }
float before(float v) { return std::nextafter(v, -1e9f); }
// A rectangle of one point, whose centre is that point.
ui::ScreenRect point(float x, float y) { return {x, y, 0.0f, 0.0f}; }

// The state words a screen is drawn from: its open tab and the rows it lists.
std::array<uint32_t, 16> shown(uint32_t tab, uint32_t rows) {
    std::array<uint32_t, 16> state{};
    state[ui::kStateFocus] = tab, state[ui::kStateRows] = rows;
    return state;
}

// A click hits the centre of what a screen draws; a rectangle takes its top left pixel and the one
// before its right and bottom edges, no more.
TEST(LanScreens, ClicksHitWhatEachScreenDrawsUpToItsEdges) {
    const ui::ScreenRect respawn = ui::respawnButtonRect(kW, kH), first = ui::sheetRowRect(0, kW, kH),
                         last = ui::sheetRowRect(5, kW, kH);
    struct Case {
        int32_t screen;
        ui::ScreenRect at;
        std::array<uint32_t, 16> state;
        ui::ScreenHit what;
        uint32_t index;
    };
    const Case cases[] = {
        {ui::kConnectionScreen, ui::formFieldRect(2, kW, kH), {}, ui::ScreenHit::field, 2},
        {ui::kConnectionScreen, ui::formButtonRect(1, kW, kH), {}, ui::ScreenHit::formButton, 1},
        {ui::kDeathScreen, respawn, {}, ui::ScreenHit::respawn, 0},
        {ui::kCharacterScreen, respawn, {}, ui::ScreenHit::none, 0},
        {ui::kCharacterScreen, ui::sheetTabRect(1, kW, kH), {}, ui::ScreenHit::tab, 1},
        {ui::kJournalScreen, ui::sheetTabRect(1, kW, kH), {}, ui::ScreenHit::none, 0},
        {ui::kNpcScreen, ui::sheetRowRect(2, kW, kH), shown(0, 6), ui::ScreenHit::row, 2},
        {ui::kNpcScreen, ui::sheetRowRect(2, kW, kH), shown(0, 3), ui::ScreenHit::row, 2},  // the last quest
        {ui::kNpcScreen, ui::sheetRowRect(3, kW, kH), shown(0, 3), ui::ScreenHit::none, 0},  // a row without one
        {ui::kNpcScreen, ui::sheetRowRect(5, kW, kH), shown(0, 9), ui::ScreenHit::row, 5},   // the last row shown
        {ui::kNpcScreen, ui::npcAcceptRect(kW, kH), shown(0, 1), ui::ScreenHit::accept, 0},
        {ui::kNpcScreen, ui::npcAcceptRect(kW, kH), shown(0, 0), ui::ScreenHit::none, 0},  // no quest, no button
        // The trade tab draws neither the quest rows nor the accept button.
        {ui::kNpcScreen, ui::npcAcceptRect(kW, kH), shown(1, 3), ui::ScreenHit::none, 0},
        {ui::kNpcScreen, ui::sheetRowRect(0, kW, kH), shown(1, 3), ui::ScreenHit::none, 0},
        {ui::kNpcScreen, ui::sheetTabRect(0, kW, kH), shown(1, 3), ui::ScreenHit::tab, 0},
        {ui::kJournalScreen, ui::npcAcceptRect(kW, kH), shown(0, 3), ui::ScreenHit::none, 0},
        {ui::kDeathScreen, point(respawn.x, centreY(respawn)), shown(0, 6), ui::ScreenHit::respawn, 0},
        {ui::kDeathScreen, point(respawn.x + respawn.w, centreY(respawn)), shown(0, 6), ui::ScreenHit::none, 0},
        {ui::kDeathScreen, point(before(respawn.x), centreY(respawn)), shown(0, 6), ui::ScreenHit::none, 0},
        {ui::kNpcScreen, point(first.x, first.y), shown(0, 6), ui::ScreenHit::row, 0},
        {ui::kNpcScreen, point(first.x, before(first.y)), shown(0, 6), ui::ScreenHit::none, 0},
        {ui::kNpcScreen, point(before(last.x + last.w), before(last.y + last.h)), shown(0, 6), ui::ScreenHit::row, 5},
        {ui::kNpcScreen, point(last.x, last.y + last.h), shown(0, 6), ui::ScreenHit::none, 0},
    };
    for (const Case& c : cases) {
        const ui::ScreenHitResult hit = ui::screenHit(c.screen, centreX(c.at), centreY(c.at), kW, kH, c.state);
        EXPECT_EQ(hit.what, c.what) << c.screen << " at " << centreX(c.at) << "," << centreY(c.at);
        EXPECT_EQ(hit.index, c.index) << c.screen << " at " << centreX(c.at) << "," << centreY(c.at);
    }
}

}  // namespace
