#pragma once
// What the connection form, the character sheet and the NPC window keep between frames.
#include <cstdint>
#include <string>
#include <vector>

#include "ui/connection_form.h"
#include "ui/screen_texts.h"

struct LanScreensState {
    ui::ConnectionFormFocus form;
    uint32_t characterTab = 0;  // 0 skills, 1 character
    std::string npcId;          // the open NPC
    uint32_t npcTab = 0;        // 0 quests, 1 trades
    uint32_t npcSelected = 0;   // quest row
    // The territory list and where the player stood when it was made: finding the cities costs
    // too much to repeat every frame while the player stands still.
    std::vector<ui::TerritoryRow> territories;
    float territoriesX = 0.0f, territoriesZ = 0.0f;
    bool territoriesValid = false;
};
