#include "ui/npc_window.h"

#include <algorithm>

#include "ui/ui_state.h"

namespace ui {

namespace {

int32_t progressOf(const adventure::Quest& quest, const adventure::QuestLog& log) {
    if (log.completed.contains(quest.id)) return quest.count;
    const auto accepted = log.accepted.find(quest.id);
    return accepted == log.accepted.end() ? 0 : accepted->second.progress;
}

}  // namespace

NpcWindow npcWindow(const adventure::Npc& npc, const adventure::Catalog& catalog, const adventure::QuestLog& log,
                    uint32_t tab, uint32_t selected) {
    NpcWindow window;
    window.open = true;
    window.name = utf8ToUtf32(npc.name.empty() ? npc.id : npc.name);
    window.tab = tab > 1 ? 0 : tab;
    for (const std::string& id : npc.quests) {
        const auto quest = catalog.quests.find(id);
        if (quest == catalog.quests.end()) continue;
        const adventure::Quest& q = quest->second;
        window.quests.push_back({id, utf8ToUtf32(q.title), utf8ToUtf32(q.description), adventure::questState(q, log),
                                 progressOf(q, log), q.count});
    }
    const uint32_t rows = static_cast<uint32_t>(window.quests.size());
    window.selected = rows == 0 ? 0 : std::min(selected, rows - 1);
    window.acceptEnabled = rows > 0 && window.quests[window.selected].state == adventure::QuestState::available;
    window.hasTrade = npc.trades;
    return window;
}

}  // namespace ui
