#pragma once
// The player's quests: which are accepted, how far each has come and which are done. Mining
// quests count the blocks of their target dug since they were accepted; visit quests end near
// their place.
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "adventure/catalog.h"

namespace adventure {

// Blocks (horizontally) from a visit quest's place at which it counts as reached.
inline constexpr double kVisitReach = 24.0;

struct QuestProgress {
    int32_t progress = 0;
    uint8_t targetBlock = 0;      // gather quests: the resource counted
    uint32_t minedAtAccept = 0;   // the count of that resource dug before the quest was accepted
    bool hasPlace = false;        // visit quests: where to go
    double placeX = 0.0, placeZ = 0.0;
};

struct QuestLog {
    std::map<std::string, QuestProgress> accepted;  // in progress, by quest id
    std::set<std::string> completed;
    std::map<uint8_t, uint32_t> minedBlocks;  // by resource id
};

enum class QuestState : uint32_t { available = 0, locked = 1, accepted = 2, done = 3 };

QuestState questState(const Quest& quest, const QuestLog& log);

// Starts the quest when it is available; false (nothing changed) when locked, accepted or done.
bool acceptQuest(QuestLog& log, const Quest& quest, uint8_t targetBlock, std::optional<std::pair<double, double>> place);

void noteMinedBlock(QuestLog& log, uint8_t id);

// Moves every accepted quest on from the dug blocks and the player's position; quests that reach
// their count leave the accepted list for the completed set and are returned, in id order.
std::vector<std::string> advanceQuests(QuestLog& log, const Catalog& catalog, double playerX, double playerZ);

}  // namespace adventure
