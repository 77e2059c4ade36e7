#pragma once
// What the connection form, the character sheet and the NPC window keep between frames.
#include <cstdint>
#include <string>

#include "ui/connection_form.h"

struct LanScreensState {
    ui::ConnectionFormFocus form;
    uint32_t characterTab = 0;  // 0 skills, 1 character
    std::string npcId;          // the open NPC
    uint32_t npcTab = 0;        // 0 quests, 1 trades
    uint32_t npcSelected = 0;   // quest row
};
