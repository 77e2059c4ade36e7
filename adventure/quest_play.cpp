// The quests as the App runs them: the NPC window's contents, accepting, the per-frame update with
// its rewards, and the lists of the journal and territory screens.
#include <algorithm>
#include <cmath>
#include <limits>

#include "app/app.h"
#include "content/resource_ids.h"
#include "world/city.h"

namespace {

// Names that do not resolve leave the id 0, which matches no block.
uint8_t resourceOrZero(const std::string& name) {
    if (name.empty()) return 0;
    try {
        return content::resourceId(name);
    } catch (const std::exception&) {
        return 0;
    }
}

constexpr int32_t kTerritoryReach = 1024;  // blocks around the player

}  // namespace

bool App::openNpcWindow(const std::string& npcId) {
    if (!findNpc(npcId)) return false;
    lanScreens.npcId = npcId;
    lanScreens.npcTab = 0;
    lanScreens.npcSelected = 0;
    setScreen(ui::kNpcScreen);
    return true;
}

void App::buildNpcWindow(ui::NpcWindow& out) const {
    out = ui::NpcWindow{};
    const adventure::Npc* npc = findNpc(lanScreens.npcId);
    if (!npc) return;
    out = ui::npcWindow(*npc, adventureState.catalog, adventureState.standing.quests, lanScreens.npcTab, lanScreens.npcSelected);
    if (!npc->trades) return;
    out.trade = {resourceOrZero(npc->trade.wants), npc->trade.wantsCount, resourceOrZero(npc->trade.gives),
                 npc->trade.givesCount};
}

bool App::acceptSelectedQuest() {
    ui::NpcWindow window;
    buildNpcWindow(window);
    if (!window.acceptEnabled) return false;
    const adventure::Quest& quest = adventureState.catalog.quests.at(window.quests[window.selected].questId);
    std::optional<std::pair<double, double>> place;
    const voxel::StructureRule* city = voxel::cityRule(world.profile.get());
    if (quest.kind == adventure::ObjectiveKind::visit && city && city->id == quest.target) place = nearestCity();
    return adventure::acceptQuest(adventureState.standing.quests, quest, resourceOrZero(quest.target), place);
}

std::optional<std::pair<double, double>> App::nearestCity() {
    std::optional<std::pair<double, double>> best;
    double bestDistance = std::numeric_limits<double>::max();
    const voxel::GenerationContext context{files.seed, generationStage, world.profile};
    for (const voxel::CitySite& site : voxel::nearbyCitySites(context, static_cast<int32_t>(player.x),
                                                              static_cast<int32_t>(player.z), kTerritoryReach)) {
        const double distance = std::hypot(site.x - player.x, site.z - player.z);
        if (!site.present || distance >= bestDistance) continue;
        bestDistance = distance;
        best = std::pair<double, double>{site.x, site.z};
    }
    return best;
}

void App::updateQuests() {
    const std::vector<std::string> finished =
        adventure::advanceQuests(adventureState.standing.quests, adventureState.catalog, player.x, player.z);
    for (const std::string& id : finished) {
        const adventure::Quest& quest = adventureState.catalog.quests.at(id);
        if (quest.rewardItem != 0 && quest.rewardCount > 0) {
            const int32_t left = giveItem(quest.rewardItem, quest.rewardCount);
            if (left > 0) dropItem(quest.rewardItem, left, player.x, player.y - 1.0f, player.z);
        }
        adventure::addExperience(combat.progression, quest.rewardExperience);
        showToast(U"ЗАДАНИЕ ВЫПОЛНЕНО: " + ui::utf8ToUtf32(quest.title));
    }
    // The reward and the quest marked done are saved together: never rewarded twice.
    if (!finished.empty()) saveActionFiles({.quests = true});
}

std::vector<ui::JournalRow> App::journalRows() const {
    std::vector<ui::JournalRow> rows;
    const adventure::QuestLog& log = adventureState.standing.quests;
    for (const auto& [id, progress] : log.accepted) {
        const auto quest = adventureState.catalog.quests.find(id);
        if (quest != adventureState.catalog.quests.end())
            rows.push_back({ui::utf8ToUtf32(quest->second.title), progress.progress, quest->second.count, false});
    }
    for (const std::string& id : log.completed) {
        const auto quest = adventureState.catalog.quests.find(id);
        if (quest != adventureState.catalog.quests.end())
            rows.push_back({ui::utf8ToUtf32(quest->second.title), quest->second.count, quest->second.count, true});
    }
    return rows;
}

std::vector<ui::TerritoryRow> App::territoryRows() {
    std::vector<ui::TerritoryRow> rows;
    const voxel::StructureRule* city = voxel::cityRule(world.profile.get());
    const std::u32string name = ui::utf8ToUtf32(city && !city->name.empty() ? city->name : "ГОРОД");
    const voxel::GenerationContext context{files.seed, generationStage, world.profile};
    for (const voxel::CitySite& site : voxel::nearbyCitySites(context, static_cast<int32_t>(player.x),
                                                              static_cast<int32_t>(player.z), kTerritoryReach)) {
        if (!site.present) continue;
        const double distance = std::hypot(site.x - player.x, site.z - player.z);
        rows.push_back({name + U" " + ui::utf8ToUtf32(std::to_string(site.gx) + "," + std::to_string(site.gz)),
                        static_cast<int32_t>(std::lround(distance))});
    }
    std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.distance < b.distance; });
    return rows;
}
