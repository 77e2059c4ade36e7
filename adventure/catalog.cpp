// Quest and NPC files. Every file holds one object; a member of the wrong kind counts as missing.
// Texts may not hold a carriage return, line feed or tab. A file above its kind's limit
// (content/file_limits.cpp) is refused whole.
//
// "*.quest.json" (at most 256 quests):
//   "id"           string, required: a content id ("ns:name"), unique among the quests
//   "title"        string, required, 1..80 bytes
//   "description"  string, default "", at most 400 bytes
//   "objective"    object, required:
//       "kind"     string, required: "gather" (an item), "kill" (a mob) or "visit" (a structure)
//       "target"   string, required: a resource name for "gather"; a loaded mob id for "kill"; the id
//                  of a structure with residents for "visit"
//       "count"    whole number 1..999, default 1 (ignored for "visit")
//   "reward"       object, required, with an item, experience or both:
//       "item"     string, default "" (none): a resource name
//       "count"    whole number 1..64, default 1
//       "experience" whole number 0..100000, default 0
//
// "*.npc.json" (at most 128 NPCs), read after every quest file:
//   "id"           string, required: a content id without ".city.", unique among the NPCs
//   "name"         string, default the id, at most 48 bytes
//   "model"        string, default "" (the box figure): a resource whose definition has a model
//   "parts"        array of exactly three strings (head, left arm, right arm group names, each at
//                  most 64 bytes), default ["head", "left_arm", "right_arm"]
//   "height"       number 0.5..4.0 blocks, default 1.82
//   "animations"   object of strings, each at most 64 bytes, default "": "idle", "walk", "gesture"
//   "quests"       array of at most 16 quest ids, each loaded and listed once; default none
// Resource, mob and structure names are texts of at most 100 bytes.
//   "trade"        object, optional: "wants" and "gives" (resource names, required),
//                  "wants_count" and "gives_count" (whole numbers 1..64, default 1)
#include "adventure/catalog.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "adventure/npc_rig.h"
#include "adventure/residents.h"
#include "content/adventure_text.h"
#include "content/loading_frame.h"
#include "content/resource_ids.h"
#include "content/text.h"

namespace adventure {
namespace {

using content::Json;

// Names are echoed in error lines, so they are bounded and single-line like any text.
constexpr std::size_t maxNameBytes = 100;

bool isObject(const Json& value) {
    return value.tag == content::JsonObject;
}

std::string requiredText(const Json& object, const std::string& key, std::size_t maxLength,
                         const char* message) {
    std::string text = readText(object, key, "", maxLength);
    if (text.empty()) throw std::runtime_error(message);
    return text;
}

void readObjective(const Json& object, const ContentIndexes& indexes, Quest& quest) {
    const Json& objective = Json::find(object, "objective");
    if (!isObject(objective)) throw std::runtime_error("Quest requires an objective");
    const std::string kind = content::jsonStringOr(Json::find(objective, "kind"), "");
    quest.target = readText(objective, "target", "", maxNameBytes);
    if (kind == "gather") {
        quest.kind = ObjectiveKind::gather;
        content::adventureResourceId(quest.target);
    } else if (kind == "kill" || kind == "visit") {
        quest.kind = kind == "kill" ? ObjectiveKind::kill : ObjectiveKind::visit;
        const std::set<std::string>& index = kind == "kill" ? indexes.mobs : indexes.structures;
        if (index.count(quest.target) == 0) throw std::runtime_error("Unknown expedition structure or mob");
    } else {
        throw std::runtime_error("Invalid quest objective");
    }
    quest.count = quest.kind == ObjectiveKind::visit ? 1 : readValue(objective, "count", 1, 1, 999);
}

void readReward(const Json& object, Quest& quest) {
    const Json& reward = Json::find(object, "reward");
    if (!isObject(reward)) throw std::runtime_error("Quest requires a reward");
    const std::string item = readText(reward, "item", "", maxNameBytes);
    quest.rewardCount = readValue(reward, "count", 1, 1, 64);
    quest.rewardExperience = readValue(reward, "experience", 0, 0, 100000);
    if (!item.empty()) quest.rewardItem = content::adventureResourceId(item);
    if (item.empty() && quest.rewardExperience == 0) throw std::runtime_error("Quest requires a reward");
    if (item.empty()) quest.rewardCount = 0;
}

void readPartNames(const Json& object, Npc& npc) {
    const Json& parts = Json::find(object, "parts");
    if (parts.tag == content::JsonNull) return;
    if (parts.tag != content::JsonArray || parts.items.size() != npc.modelPartNames.size()) {
        throw std::runtime_error("NPC requires three part names");
    }
    for (std::size_t i = 0; i < npc.modelPartNames.size(); ++i) {
        const Json& name = parts.items[i];
        if (name.tag != content::JsonString || name.text.size() > 64 ||
            name.text.find_first_of("\r\n\t") != std::string::npos) {
            throw std::runtime_error("NPC requires three part names");
        }
        npc.modelPartNames[i] = name.text;
    }
}

void readHeight(const Json& object, Npc& npc) {
    const Json& height = Json::find(object, "height");
    if (height.tag != content::JsonNumber) return;
    if (!(height.number >= 0.5 && height.number <= 4.0)) throw std::runtime_error("Invalid NPC height");
    npc.height = height.number;
}

void readAnimations(const Json& object, Npc& npc) {
    const Json& animations = Json::find(object, "animations");
    const char* const keys[] = {"idle", "walk", "gesture"};
    for (std::size_t i = 0; i < npc.animationNames.size(); ++i)
        npc.animationNames[i] = readText(animations, keys[i], "", 64);
}

void readQuestList(const Json& object, const Catalog& catalog, Npc& npc) {
    const Json& quests = Json::find(object, "quests");
    if (quests.tag == content::JsonNull) return;
    if (quests.tag != content::JsonArray || quests.items.size() > maxQuestsPerNpc) {
        throw std::runtime_error("NPC offers at most 16 quests");
    }
    for (const Json& item : quests.items) {
        const std::string id = content::jsonStringOr(item, "");
        const bool repeated = std::find(npc.quests.begin(), npc.quests.end(), id) != npc.quests.end();
        if (catalog.quests.count(id) == 0 || repeated)
            throw std::runtime_error("Unknown or repeated NPC quest");
        npc.quests.push_back(id);
    }
}

void readTrade(const Json& object, Npc& npc) {
    const Json& trade = Json::find(object, "trade");
    if (trade.tag == content::JsonNull) return;
    if (!isObject(trade)) throw std::runtime_error("Invalid NPC trade");
    npc.trade.wants = readText(trade, "wants", "", maxNameBytes);
    npc.trade.gives = readText(trade, "gives", "", maxNameBytes);
    content::adventureResourceId(npc.trade.wants);
    content::adventureResourceId(npc.trade.gives);
    npc.trade.wantsCount = readValue(trade, "wants_count", 1, 1, 64);
    npc.trade.givesCount = readValue(trade, "gives_count", 1, 1, 64);
    npc.trades = true;
}

bool takenNpcId(const Catalog& catalog, const std::string& id) {
    return std::any_of(catalog.npcs.begin(), catalog.npcs.end(),
                       [&](const Npc& npc) { return npc.id == id; });
}

content::Json loadAdventureFile(const std::filesystem::path& file) {
    const bool quest = ::endsWith(file.filename().string(), ".quest.json");
    return content::loadJsonFile(file, quest ? content::ContentFile::Quest : content::ContentFile::Npc);
}

}  // namespace

Quest readQuest(const Json& object, const ContentIndexes& indexes, const Catalog& catalog) {
    if (catalog.quests.size() >= maxQuests) throw std::runtime_error("Too many quests");
    Quest quest;
    quest.id = content::jsonStringOr(Json::find(object, "id"), "");
    if (!content::isValidContentId(quest.id) || catalog.quests.count(quest.id) != 0) {
        throw std::runtime_error("Invalid or duplicate quest ID");
    }
    quest.title = requiredText(object, "title", 80, "Quest requires a title");
    quest.description = readText(object, "description", "", 400);
    readObjective(object, indexes, quest);
    readReward(object, quest);
    // A chain of stages: the earlier stage is an earlier file, so it is known already.
    quest.previous = readText(object, "previous", "", 100);
    if (!quest.previous.empty() && catalog.quests.count(quest.previous) == 0)
        throw std::runtime_error("Unknown previous quest");
    return quest;
}

Npc readNpc(const Json& object, const Catalog& catalog) {
    if (catalog.npcs.size() >= maxNpcs) throw std::runtime_error("Too many NPCs");
    Npc npc;
    npc.id = content::jsonStringOr(Json::find(object, "id"), "");
    if (!content::isValidContentId(npc.id) || npc.id.find(citySuffix) != std::string::npos ||
        takenNpcId(catalog, npc.id)) {
        throw std::runtime_error("Invalid or duplicate NPC ID");
    }
    npc.name = readText(object, "name", npc.id, 48);
    npc.modelResource = readText(object, "model", "", maxNameBytes);
    if (!npc.modelResource.empty()) content::adventureResourceId(npc.modelResource);
    readPartNames(object, npc);
    readHeight(object, npc);
    readAnimations(object, npc);
    readQuestList(object, catalog, npc);
    readTrade(object, npc);
    return npc;
}

Catalog loadContent(const std::filesystem::path& contentDir, const std::set<std::string>& mobIds,
                    const std::set<std::string>& structureIds) {
    const std::vector<std::filesystem::path> questFiles =
        content::findFilesEndingWith(contentDir, ".quest.json");
    const std::vector<std::filesystem::path> npcFiles = content::findFilesEndingWith(contentDir, ".npc.json");
    content::ErrorFile errors(contentDir, "adventure_errors.txt", false);
    const ContentIndexes indexes{mobIds, structureIds};
    Catalog catalog;
    content::forEachContentFile(questFiles, errors, [&](const std::filesystem::path& file) {
        Quest quest = readQuest(loadAdventureFile(file), indexes, catalog);
        catalog.quests.emplace(quest.id, std::move(quest));
    });
    content::forEachContentFile(npcFiles, errors, [&](const std::filesystem::path& file) {
        Npc npc = readNpc(loadAdventureFile(file), catalog);
        loadRig(npc, contentDir);
        catalog.npcs.push_back(std::move(npc));
    });
    return catalog;
}

}  // namespace adventure
