#include "ui/lan_screens.h"

#include <gtest/gtest.h>

#include "ui/connection_form.h"

namespace {

constexpr float kW = 1280.0f, kH = 720.0f;

float centreX(const ui::ScreenRect& r) { return r.x + r.w * 0.5f; }
float centreY(const ui::ScreenRect& r) { return r.y + r.h * 0.5f; }

TEST(LanScreens, ClicksHitWhatEachScreenDraws) {
    struct Case {
        int32_t screen;
        ui::ScreenRect at;
        ui::ScreenHit what;
        uint32_t index;
    };
    const Case cases[] = {
        {ui::kConnectionScreen, ui::formFieldRect(2, kW, kH), ui::ScreenHit::field, 2},
        {ui::kConnectionScreen, ui::formButtonRect(1, kW, kH), ui::ScreenHit::formButton, 1},
        {ui::kDeathScreen, ui::respawnButtonRect(kW, kH), ui::ScreenHit::respawn, 0},
        {ui::kCharacterScreen, ui::respawnButtonRect(kW, kH), ui::ScreenHit::none, 0},
        {ui::kCharacterScreen, ui::sheetTabRect(1, kW, kH), ui::ScreenHit::tab, 1},
        {ui::kJournalScreen, ui::sheetTabRect(1, kW, kH), ui::ScreenHit::none, 0},
        {ui::kNpcScreen, ui::sheetRowRect(2, kW, kH), ui::ScreenHit::row, 2},
        {ui::kNpcScreen, ui::npcAcceptRect(kW, kH), ui::ScreenHit::accept, 0},
        {ui::kJournalScreen, ui::npcAcceptRect(kW, kH), ui::ScreenHit::none, 0},
    };
    for (const Case& c : cases) {
        const ui::ScreenHitResult hit = ui::screenHit(c.screen, centreX(c.at), centreY(c.at), kW, kH);
        EXPECT_EQ(hit.what, c.what) << c.screen;
        EXPECT_EQ(hit.index, c.index) << c.screen;
    }
}

TEST(LanScreens, ARectangleTakesItsLeftEdgeButNotItsRightEdge) {
    const ui::ScreenRect r = ui::respawnButtonRect(kW, kH);
    const float y = centreY(r);
    EXPECT_EQ(ui::screenHit(ui::kDeathScreen, r.x, y, kW, kH).what, ui::ScreenHit::respawn);
    EXPECT_EQ(ui::screenHit(ui::kDeathScreen, r.x + r.w, y, kW, kH).what, ui::ScreenHit::none);
}

}  // namespace
