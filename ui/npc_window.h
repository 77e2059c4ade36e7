#pragma once
// The NPC window (screen 14) as App::buildNpcWindow lays it out: the open NPC's quests, each with
// its state and whether the accept button may be pressed, and its trade.
#include <cstdint>
#include <string>
#include <vector>

#include "adventure/catalog.h"
#include "adventure/quest_log.h"

namespace ui {

struct NpcQuestRow {
    std::string questId;
    std::u32string title;
    std::u32string description;
    adventure::QuestState state = adventure::QuestState::available;
    int32_t progress = 0;
    int32_t count = 1;
};

struct NpcTradeRow {
    uint8_t wants = 0;  // resource ids, 0 when unknown
    int32_t wantsCount = 0;
    uint8_t gives = 0;
    int32_t givesCount = 0;
};

struct NpcWindow {
    bool open = false;  // an NPC is open and known
    std::u32string name;
    uint32_t tab = 0;      // 0 quests, 1 trades
    uint32_t selected = 0;  // quest row, within the rows
    std::vector<NpcQuestRow> quests;
    bool hasTrade = false;
    NpcTradeRow trade;
    bool acceptEnabled = false;  // of the selected quest
};

// The NPC's quests in its order (unknown ids left out) with their states in the log; the chosen
// row is kept within the list, and only an available quest may be accepted.
NpcWindow npcWindow(const adventure::Npc& npc, const adventure::Catalog& catalog, const adventure::QuestLog& log,
                    uint32_t tab, uint32_t selected);

}  // namespace ui
