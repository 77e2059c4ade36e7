#include <gtest/gtest.h>

#include "world/features.h"
#include "world/loaded_world.h"
#include "world/structures.h"

namespace {

constexpr uint8_t chest = 22, coal = 23;

// The chest of the first present ruins of seed 12345 at stage 4, with the ruins' loot table giving
// exactly four coal, and a chest one cell above it that no generation placed.
class StructureChests : public worldtest::LoadedWorld {
   protected:
    void SetUp() override {
        LoadedWorld::SetUp();
        worldtest::addBlock(chest, "chest", true, false);
        worldtest::addBlock(coal, "", false, false, false);
        app.rules.lootTables["core:ruins"] = {LootEntry{coal, 4, 4, 1.0}};
        const voxel::GenerationContext context{app.files.seed, app.generationStage, app.world.profile};
        for (int32_t r = 0; r < 64 && !site.present; ++r) site = voxel::ruinsSite(context, r % 8, r / 8);
        ASSERT_TRUE(site.present);
        generated = {site.x + 2, site.y + 1, site.z + 2};
        placed = {site.x + 2, site.y + 2, site.z + 2};
        ASSERT_EQ(voxel::chestLootAt(context, site.x + 2, site.y + 1, site.z + 2), "core:ruins");
        load(voxel::floorDiv(site.x + 2, 16), voxel::floorDiv(site.z + 2, 16));
        for (const auto& [x, y, z] : {generated, placed}) ASSERT_TRUE(app.setBlock(x, y, z, chest));
    }
    int32_t coalIn(const App& from, const CellKey& cell) {
        const auto& chests = cellsIn(from.containers.chests, from.dimension);
        const auto found = chests.find(cell);
        if (found == chests.end()) return 0;
        int32_t n = 0;
        for (const InventorySlot& slot : found->second) n += slot.id == coal ? slot.count : 0;
        return n;
    }
    bool open(App& in, const CellKey& cell) {
        const auto [x, y, z] = cell;
        return in.useBlock(x, y, z);
    }

    voxel::RuinsSite site;
    CellKey generated, placed;
};

// Opened, emptied and opened again, in this game and after a restart: filled the first time only.
TEST_F(StructureChests, AGeneratedChestIsFilledTheFirstTimeItOpensAndNeverAgain) {
    ASSERT_TRUE(open(app, placed));
    EXPECT_EQ(coalIn(app, placed), 0) << "no generation put this chest here";
    ASSERT_TRUE(open(app, generated));
    EXPECT_EQ(coalIn(app, generated), 4);
    app.containers.chests[app.dimension][generated] = {};  // the player takes everything
    ASSERT_TRUE(open(app, generated));
    EXPECT_EQ(coalIn(app, generated), 0);
    app.saveWorldState();

    App reopened;
    reopened.files.world = worldDir.path();
    reopened.loadSavedState();
    EXPECT_EQ(reopened.loot.filledChests, (std::set<DimensionCell>{{app.dimension, generated}}));
    reopened.rules.lootTables = app.rules.lootTables;
    reopened.world.chunks = app.world.chunks;
    reopened.reindexChunks();
    ASSERT_TRUE(open(reopened, generated));
    EXPECT_EQ(coalIn(reopened, generated), 0);
}

// The same cell in another dimension is another chest (the terrain is left as it is: only the
// dimension changes): each is filled once, and emptying one leaves the other as it was.
TEST_F(StructureChests, AChestFilledInOneDimensionLeavesTheSameCellOfAnotherToFill) {
    ASSERT_TRUE(open(app, generated));
    app.containers.chests[app.dimension][generated] = {};
    app.dimension = "core:ash";
    ASSERT_TRUE(open(app, generated));
    EXPECT_EQ(coalIn(app, generated), 4);
    ASSERT_TRUE(open(app, generated));
    EXPECT_EQ(coalIn(app, generated), 4) << "filled once";
    app.dimension = "core:overworld";
    EXPECT_EQ(coalIn(app, generated), 0);
}

TEST_F(StructureChests, AChestWhoseTableTheContentLacksWaitsForIt) {
    app.rules.lootTables.clear();
    ASSERT_TRUE(open(app, generated));
    EXPECT_TRUE(app.loot.filledChests.empty());
    app.rules.lootTables["core:ruins"] = {LootEntry{coal, 4, 4, 1.0}};
    ASSERT_TRUE(open(app, generated));
    EXPECT_EQ(coalIn(app, generated), 4);
}

}  // namespace
