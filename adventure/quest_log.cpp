#include "adventure/quest_log.h"

#include <algorithm>
#include <cmath>

namespace adventure {

QuestState questState(const Quest& quest, const QuestLog& log) {
    if (log.completed.contains(quest.id)) return QuestState::done;
    if (log.accepted.contains(quest.id)) return QuestState::accepted;
    if (!quest.previous.empty() && !log.completed.contains(quest.previous)) return QuestState::locked;
    return QuestState::available;
}

bool acceptQuest(QuestLog& log, const Quest& quest, uint8_t targetBlock,
                 std::optional<std::pair<double, double>> place) {
    if (questState(quest, log) != QuestState::available) return false;
    QuestProgress progress;
    progress.targetBlock = targetBlock;
    const auto mined = log.minedBlocks.find(targetBlock);
    progress.minedAtAccept = mined == log.minedBlocks.end() ? 0u : mined->second;
    if (place) {
        progress.hasPlace = true;
        progress.placeX = place->first;
        progress.placeZ = place->second;
    }
    log.accepted[quest.id] = progress;
    return true;
}

void noteMinedBlock(QuestLog& log, uint8_t id) {
    uint32_t& count = log.minedBlocks[id];
    if (count < UINT32_MAX) ++count;
}

namespace {

int32_t progressOf(const Quest& quest, const QuestProgress& state, const QuestLog& log, double x, double z) {
    switch (quest.kind) {
        case ObjectiveKind::gather: {
            const auto mined = log.minedBlocks.find(state.targetBlock);
            const uint32_t now = mined == log.minedBlocks.end() ? 0u : mined->second;
            const uint32_t dug = now - std::min(now, state.minedAtAccept);
            return static_cast<int32_t>(std::min<uint32_t>(dug, static_cast<uint32_t>(quest.count)));
        }
        case ObjectiveKind::visit:
            if (!state.hasPlace) return state.progress;
            return std::hypot(x - state.placeX, z - state.placeZ) <= kVisitReach ? quest.count : 0;
        case ObjectiveKind::kill:
            break;
    }
    return state.progress;
}

}  // namespace

std::vector<std::string> advanceQuests(QuestLog& log, const Catalog& catalog, double playerX, double playerZ) {
    std::vector<std::string> finished;
    for (auto& [id, state] : log.accepted) {
        const auto quest = catalog.quests.find(id);
        if (quest == catalog.quests.end()) continue;
        state.progress = std::max(state.progress, progressOf(quest->second, state, log, playerX, playerZ));
        if (state.progress >= quest->second.count) finished.push_back(id);
    }
    for (const std::string& id : finished) {
        log.accepted.erase(id);
        log.completed.insert(id);
    }
    return finished;
}

}  // namespace adventure
