#include "adventure/quest_log.h"

#include <gtest/gtest.h>

#include <limits>

#include "app/app.h"
#include "support/fresh_registry.h"
#include "ui/npc_window.h"

namespace {

adventure::Quest quest(const std::string& id, adventure::ObjectiveKind kind, int32_t count, const std::string& previous = "") {
    adventure::Quest q;
    q.id = id;
    q.title = id;
    q.kind = kind;
    q.count = count;
    q.previous = previous;
    return q;
}

TEST(QuestLog, ALaterStageStaysLockedUntilTheEarlierIsDone) {
    adventure::QuestLog log;
    const adventure::Quest first = quest("q:first", adventure::ObjectiveKind::gather, 2);
    const adventure::Quest second = quest("q:second", adventure::ObjectiveKind::gather, 2, "q:first");
    EXPECT_EQ(adventure::questState(second, log), adventure::QuestState::locked);
    EXPECT_FALSE(adventure::acceptQuest(log, second, 1, std::nullopt));
    ASSERT_TRUE(adventure::acceptQuest(log, first, 1, std::nullopt));
    EXPECT_FALSE(adventure::acceptQuest(log, first, 1, std::nullopt));  // accepted once only
    EXPECT_EQ(adventure::questState(second, log), adventure::QuestState::locked);
    log.completed.insert("q:first");
    EXPECT_EQ(adventure::questState(second, log), adventure::QuestState::available);
}

TEST(QuestLog, MiningCountsOnlyBlocksOfTheTargetDugAfterAccepting) {
    adventure::Catalog catalog;
    catalog.quests["q:dig"] = quest("q:dig", adventure::ObjectiveKind::gather, 3);
    adventure::QuestLog log;
    adventure::noteMinedBlock(log, 3);  // before accepting: not counted
    ASSERT_TRUE(adventure::acceptQuest(log, catalog.quests["q:dig"], 3, std::nullopt));
    adventure::noteMinedBlock(log, 4);  // another block
    adventure::noteMinedBlock(log, 3);
    adventure::noteMinedBlock(log, 3);
    EXPECT_TRUE(adventure::advanceQuests(log, catalog, 0.0, 0.0).empty());
    EXPECT_EQ(log.accepted.at("q:dig").progress, 2);
    adventure::noteMinedBlock(log, 3);
    EXPECT_EQ(adventure::advanceQuests(log, catalog, 0.0, 0.0), std::vector<std::string>{"q:dig"});
    EXPECT_TRUE(log.completed.contains("q:dig"));
    EXPECT_FALSE(log.accepted.contains("q:dig"));
}

TEST(QuestLog, AVisitEndsWithinReachOfItsPlace) {
    adventure::Catalog catalog;
    catalog.quests["q:go"] = quest("q:go", adventure::ObjectiveKind::visit, 1);
    adventure::QuestLog log;
    ASSERT_TRUE(adventure::acceptQuest(log, catalog.quests["q:go"], 0, std::pair<double, double>{100.0, 0.0}));
    EXPECT_TRUE(adventure::advanceQuests(log, catalog, 100.0 - adventure::kVisitReach - 0.01, 0.0).empty());
    EXPECT_EQ(adventure::advanceQuests(log, catalog, 100.0 - adventure::kVisitReach, 0.0).size(), 1u);
}

class QuestRewards : public testsupport::FreshRegistryTest {};

// The reward goes into the inventory as far as it has room, the rest is dropped at the feet, and
// experience stops at its ceiling; a second update pays nothing more.
TEST_F(QuestRewards, ItemsFillTheRoomLeftAndExperienceStopsAtItsCeiling) {
    constexpr uint8_t stick = 13, stone = 14;
    voxel::registerBlock(stick, testsupport::namedBlock("t:stick"));
    voxel::registerBlock(stone, testsupport::namedBlock("t:stone"));
    constexpr uint32_t top = std::numeric_limits<uint32_t>::max();
    const struct {
        int32_t room;
        uint32_t experience, expected;
        int32_t given, dropped;
    } rows[] = {{2, 0, 50, 2, 0}, {1, top - 50, top, 1, 1}, {0, top - 49, top, 0, 2}};
    for (const auto& row : rows) {
        App app;
        for (InventorySlot& slot : app.inventory.hotbar) slot = {stone, 64, 0};
        for (InventorySlot& slot : app.inventory.main) slot = {stone, 64, 0};
        app.inventory.hotbar[4] = {stick, 64 - row.room, 0};
        app.combat.progression.level = adventure::kMaxLevel;  // where experience has no level left to buy
        app.combat.progression.experience = row.experience;
        adventure::Quest q = quest("q:dig", adventure::ObjectiveKind::gather, 1);
        q.rewardItem = stick;
        q.rewardCount = 2;
        q.rewardExperience = 50;
        app.adventureState.catalog.quests[q.id] = q;
        ASSERT_TRUE(adventure::acceptQuest(app.adventureState.standing.quests, q, stone, std::nullopt));
        adventure::noteMinedBlock(app.adventureState.standing.quests, stone);
        for (int frame = 0; frame < 2; ++frame) app.updateQuests();
        EXPECT_EQ(app.combat.progression.experience, row.expected) << row.room;
        EXPECT_EQ(app.countItem(stick), 64 - row.room + row.given) << row.room;
        int32_t dropped = 0;
        for (const DroppedItem& item : app.entities.droppedItems)
            dropped += item.id == stick ? item.count : 0;
        EXPECT_EQ(dropped, row.dropped) << row.room;
    }
}

TEST(QuestLog, MinedCountStopsAtItsCeiling) {
    adventure::QuestLog log;
    log.minedBlocks[3] = std::numeric_limits<uint32_t>::max() - 1;
    adventure::noteMinedBlock(log, 3);
    EXPECT_EQ(log.minedBlocks[3], std::numeric_limits<uint32_t>::max());
    adventure::noteMinedBlock(log, 3);
    EXPECT_EQ(log.minedBlocks[3], std::numeric_limits<uint32_t>::max());
}

TEST(NpcWindow, OnlyAnAvailableQuestEnablesAcceptAndTheRowStaysInRange) {
    adventure::Catalog catalog;
    catalog.quests["q:a"] = quest("q:a", adventure::ObjectiveKind::gather, 2);
    catalog.quests["q:b"] = quest("q:b", adventure::ObjectiveKind::gather, 2, "q:a");
    adventure::Npc npc;
    npc.name = "N";
    npc.quests = {"q:a", "q:missing", "q:b"};
    adventure::QuestLog log;
    ui::NpcWindow window = ui::npcWindow(npc, catalog, log, 0, 0);
    ASSERT_EQ(window.quests.size(), 2u);  // the unknown id is left out
    EXPECT_TRUE(window.acceptEnabled);
    window = ui::npcWindow(npc, catalog, log, 0, 9);
    EXPECT_EQ(window.selected, 1u);
    EXPECT_FALSE(window.acceptEnabled);  // q:b is locked
    adventure::acceptQuest(log, catalog.quests["q:a"], 1, std::nullopt);
    EXPECT_FALSE(ui::npcWindow(npc, catalog, log, 0, 0).acceptEnabled);  // already accepted
}

}  // namespace
