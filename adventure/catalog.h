#pragma once
// The quests and non-player characters of Content ("*.quest.json", "*.npc.json"), checked against
// the mobs, structures and resources that exist.
#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "adventure/npc.h"
#include "content/json.h"

namespace adventure {

enum class ObjectiveKind : int32_t { gather = 0, kill = 1, visit = 2 };

struct Quest {
    std::string id;
    std::string title;
    std::string description;
    ObjectiveKind kind = ObjectiveKind::gather;
    std::string target;  // resource, mob or structure id
    int32_t count = 1;
    uint8_t rewardItem = 0;  // 0: no item
    int32_t rewardCount = 0;
    int32_t rewardExperience = 0;
    std::string previous;  // a quest that must be done first; empty when none
};

struct Catalog {
    std::map<std::string, Quest> quests;
    std::vector<Npc> npcs;  // in load order
};

inline constexpr std::size_t maxQuests = 256;
inline constexpr std::size_t maxNpcs = 128;
inline constexpr std::size_t maxQuestsPerNpc = 16;

// What a quest objective's target is checked against.
struct ContentIndexes {
    const std::set<std::string>& mobs;
    const std::set<std::string>& structures;  // structures with residents
};

// One quest file's object; throws std::runtime_error with the file's message. Needs the registry.
Quest readQuest(const content::Json& object, const ContentIndexes& indexes, const Catalog& catalog);
// One NPC file's object, before its model is fitted; quests it offers must be in the catalog.
Npc readNpc(const content::Json& object, const Catalog& catalog);

// Every quest file, then every NPC file, each kind in sorted path order; a faulty file is skipped
// with its line in "adventure_errors.txt". Each NPC's model is fitted as it loads.
Catalog loadContent(const std::filesystem::path& contentDir, const std::set<std::string>& mobIds,
                    const std::set<std::string>& structureIds);

}  // namespace adventure
