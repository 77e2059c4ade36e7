#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <tuple>
#include <vector>

#include "game/crop_growth.h"
#include "game/furnace.h"
#include "game/hunger.h"
#include "game/portals.h"
#include "game/water_flow.h"
#include "save/world_state_files.h"
#include "support/temp_dir.h"
#include "world/city.h"
#include "world/generate.h"
#include "ui/screen_slots.h"
#include "world/loaded_world.h"

namespace {

using worldtest::stone;
using worldtest::water;

enum : uint8_t { ore = 20, ingot = 21, fuelItem = 22, soil = 23, sprout = 24, ripe = 25, chestBlock = 26 };

content::FurnaceRules furnaceRules() {
    content::FurnaceRules rules;
    rules.recipes.push_back({ore, ingot, 30});
    rules.fuels[fuelItem] = 50;
    return rules;
}

class WorldStep : public worldtest::LoadedWorld {
   protected:
    void SetUp() override {
        LoadedWorld::SetUp();
        for (uint8_t id : {ore, fuelItem, soil}) worldtest::addBlock(id, "", true, true);
        worldtest::addBlock(sprout, "", false, false);
        worldtest::addBlock(ripe, "", false, false);
        worldtest::addBlock(chestBlock, "chest", true, false);
        voxel::BlockDef result = testsupport::namedBlock("test:ingot");
        result.max_stack = 4;
        voxel::registerBlock(ingot, result);
    }
    void runWater() {
        for (int i = 0; i < 200 && !app.sim.waterQueue.empty(); ++i) app.stepWater();
    }
    uint8_t level(int32_t x, int32_t y, int32_t z) {
        const auto found = app.meshing.waterLevels.find({x, y, z});
        return found == app.meshing.waterLevels.end() ? 0 : found->second;
    }
};

// Arrows are numbered by their launch order: a world step keeps the 512 newest.
TEST_F(WorldStep, AtMostFiveHundredTwelveArrowsFlyTheOldestMakingRoom) {
    for (const std::size_t flying : {511u, 512u, 513u, 600u}) {
        SCOPED_TRACE(flying);
        app.entities.arrows.assign(flying, Arrow{});
        for (std::size_t i = 0; i < flying; ++i) app.entities.arrows[i].x = static_cast<double>(i);
        app.tickWorld();
        const std::size_t kept = std::min<std::size_t>(flying, 512);
        ASSERT_EQ(app.entities.arrows.size(), kept);
        EXPECT_EQ(app.entities.arrows.front().x, static_cast<double>(flying - kept));
        EXPECT_EQ(app.entities.arrows.back().x, static_cast<double>(flying - 1));
    }
}

TEST_F(WorldStep, FurnaceBurnsFuelOutAtItsExactTick) {
    const content::FurnaceRules rules = furnaceRules();
    Machine furnace;
    furnace.slots = {InventorySlot{ore, 5, 0}, InventorySlot{fuelItem, 1, 0}, InventorySlot{}};
    struct Case {
        int steps;  // total so far
        int32_t burn, progress, inputs, ingots;
    };
    const Case cases[] = {
        {1, 49, 1, 5, 0},   // lit on the first step
        {29, 21, 29, 5, 0},
        {30, 20, 0, 4, 1},  // the recipe's 30th tick
        {49, 1, 19, 4, 1},
        {50, 0, 20, 4, 1},  // the fuel's 50th tick: out
        {51, 0, 0, 4, 1},   // nothing left to light: progress lost
    };
    int done = 0;
    for (const Case& c : cases) {
        for (; done < c.steps; ++done) game::stepFurnace(furnace, rules);
        EXPECT_EQ(furnace.burnRemaining, c.burn) << c.steps;
        EXPECT_EQ(furnace.burnTotal, 50) << c.steps;
        EXPECT_EQ(furnace.smeltProgress, c.progress) << c.steps;
        EXPECT_EQ(furnace.slots[0].count, c.inputs) << c.steps;
        EXPECT_EQ(furnace.slots[2].count, c.ingots) << c.steps;
    }
    EXPECT_EQ(furnace.slots[1].id, 0) << "the last fuel item was used up";
}

TEST_F(WorldStep, FurnaceStopsAtTheResultsStackLimit) {
    const content::FurnaceRules rules = furnaceRules();
    struct Case {
        InventorySlot output;
        bool lights;
    };
    const Case cases[] = {
        {{ingot, 3, 0}, true},   // one below the limit of 4
        {{ingot, 4, 0}, false},  // full
        {{ore, 1, 0}, false},    // another item
        {{}, true},
    };
    for (const Case& c : cases) {
        Machine furnace;
        furnace.slots = {InventorySlot{ore, 1, 0}, InventorySlot{fuelItem, 2, 0}, c.output};
        game::stepFurnace(furnace, rules);
        EXPECT_EQ(furnace.burnRemaining > 0, c.lights) << c.output.count;
        EXPECT_EQ(furnace.slots[1].count, c.lights ? 1 : 2);
    }
}

// Loading a chunk moves on its flowing water (water with a level) only: still water waits.
TEST_F(WorldStep, WaterScanLooksAcrossChunkBordersForFlowingWater) {
    struct Case {
        bool eastLoaded;
        uint8_t eastCell;  // at x 16 beside the water at x 15
        bool flowing;
        bool queued;
    };
    const Case cases[] = {
        {true, 0, true, true}, {true, stone, true, false}, {false, 0, true, false}, {true, 0, false, false}};
    for (const Case& c : cases) {
        app.world.chunks.clear();
        app.reindexChunks();
        app.sim = WorldSimState{};
        app.meshing.waterLevels.clear();
        voxel::Chunk& home = load(0, 0, 64);
        home.set(15, 64, 5, water);
        if (c.flowing) app.meshing.waterLevels[{15, 64, 5}] = 3;
        home.set(14, 64, 5, stone);
        home.set(15, 64, 4, stone);
        home.set(15, 64, 6, stone);
        if (c.eastLoaded) load(1, 0, 64).set(0, 64, 5, c.eastCell);
        app.scanWaterCells(*app.findChunk(0, 0));
        EXPECT_EQ(app.sim.waterQueued.contains({15, 64, 5}), c.queued) << int(c.eastCell) << c.eastLoaded << c.flowing;
        app.scanWaterCells(*app.findChunk(0, 0));
        EXPECT_EQ(app.sim.waterQueue.size(), c.queued ? 1u : 0u) << "queued once";
    }
}

TEST_F(WorldStep, WaterScanSkipsHeightZero) {
    voxel::Chunk& home = load(0, 0, 0);
    home.set(3, 0, 3, water);
    home.set(3, 1, 3, water);
    app.meshing.waterLevels[{3, 0, 3}] = 1;
    app.meshing.waterLevels[{3, 1, 3}] = 1;
    app.scanWaterCells(home);
    EXPECT_EQ(std::vector<CellKey>(app.sim.waterQueue.begin(), app.sim.waterQueue.end()),
              (std::vector<CellKey>{{3, 1, 3}}));
}

TEST_F(WorldStep, WaterSpreadsSevenCellsAndFallsOverAnEdge) {
    load(0, 0, 64);
    app.setBlock(5, 64, 5, water);
    app.stepBlockUpdates();
    runWater();
    const std::tuple<int32_t, int32_t, int32_t, uint8_t, uint8_t> cases[] = {
        {5, 64, 5, water, 0},  // the source
        {6, 64, 5, water, 1},
        {12, 64, 5, water, 7},
        {13, 64, 5, 0, 0},     // past level 7
        {5, 64, 12, water, 7},
        {5, 64, 13, 0, 0},
        {5, 65, 5, 0, 0},      // never up
    };
    for (const auto& [x, y, z, id, lvl] : cases) {
        EXPECT_EQ(app.blockAt(x, y, z), id) << x << "," << y << "," << z;
        EXPECT_EQ(level(x, y, z), lvl) << x << "," << y << "," << z;
    }
    EXPECT_TRUE(app.sim.waterQueue.empty()) << "the flood stops";
    EXPECT_TRUE(app.meshing.waterLevelsChanged);
}

TEST_F(WorldStep, WaterFallsBeforeItSpreads) {
    load(0, 0, 64);
    // A shaft down to a small cave at y 60.
    for (int32_t y = 61; y < 64; ++y) app.setBlock(5, y, 5, 0);
    for (int32_t x = 4; x <= 6; ++x)
        for (int32_t z = 4; z <= 6; ++z) app.setBlock(x, 60, z, 0);
    app.setBlock(5, 64, 5, water);
    app.stepBlockUpdates();
    runWater();
    EXPECT_EQ(app.blockAt(6, 64, 5), 0) << "the source only fell";
    EXPECT_EQ(level(5, 63, 5), game::kFallingWater);
    EXPECT_EQ(level(5, 60, 5), game::kFallingWater);
    EXPECT_EQ(level(6, 60, 5), 1) << "the column spreads where it lands";
}

// Water that was flowing when the world was saved flows on after loading; still water stays.
TEST_F(WorldStep, LoadedFlowingWaterMovesOnAndStillWaterStays) {
    load(0, 0, 64);
    for (const int32_t x : {3, 9}) app.world.chunks[0].set(static_cast<uint32_t>(x), 64, 5, water);
    testsupport::writeFile(worldDir.path() / filesave::kWaterFile, filesave::encodeWater({{{3, 64, 5}, 6}}));
    app.loadWater();
    app.stepBlockUpdates();
    runWater();
    EXPECT_EQ(app.blockAt(4, 64, 5), water) << "level 6 spreads to 7";
    EXPECT_EQ(level(4, 64, 5), 7);
    EXPECT_EQ(app.blockAt(5, 64, 5), 0) << "and no further";
    EXPECT_EQ(app.blockAt(10, 64, 5), 0) << "the still water beside it did not move";
}

// A city's fountain, its pool, the field's ditches and the pond stay as the builder left them
// through many world steps; mining the pool's rim lets the pool out.
TEST_F(WorldStep, GeneratedCityWaterStaysUntilAnEditBesideIt) {
    auto profile = std::make_shared<voxel::GenerationProfile>();
    voxel::StructureRule city;
    city.id = "test:city";
    city.city = true;
    city.spacing = 384;
    city.chance = 1.0f;
    profile->structures = {city};
    voxel::GenerationContext context;
    context.seed = 12345;
    context.profile = profile;
    const voxel::CitySite site = voxel::citySite(context, 0, -1);
    ASSERT_TRUE(site.present);
    // Every chunk the city touches, and a ring around them, loaded as streaming loads them.
    const int32_t cx = voxel::floorDiv(site.x, 16), cz = voxel::floorDiv(site.z, 16);
    for (int32_t z = cz - 3; z <= cz + 3; ++z)
        for (int32_t x = cx - 3; x <= cx + 3; ++x) app.world.chunks.push_back(voxel::generateChunk(context, x, z));
    app.reindexChunks();
    for (const voxel::Chunk& chunk : app.world.chunks) app.scanWaterCells(chunk);
    std::vector<std::vector<uint8_t>> generated;
    for (const voxel::Chunk& chunk : app.world.chunks) generated.push_back(chunk.cells);
    const auto run = [&](int steps) {
        for (int step = 0; step < steps; ++step) app.stepBlockUpdates(), app.stepWater();
    };
    ASSERT_EQ(app.blockAt(site.x, site.y + 4, site.z), water) << "the fountain's top";
    run(600);
    for (std::size_t i = 0; i < generated.size(); ++i)
        EXPECT_TRUE(app.world.chunks[i].cells == generated[i]) << app.world.chunks[i].cx << "," << app.world.chunks[i].cz;
    EXPECT_TRUE(app.meshing.waterLevels.empty()) << "no water started to flow";

    app.setBlock(site.x + 3, site.y + 1, site.z, 0);  // the rim beside the pool, mined
    run(20);
    EXPECT_EQ(app.blockAt(site.x + 3, site.y + 1, site.z), water);
}

TEST_F(WorldStep, EditBesideStillWaterWakesIt) {
    load(0, 0, 64);
    app.setBlock(5, 64, 5, water);
    for (auto [x, z] : {std::pair{4, 5}, {6, 5}, {5, 4}, {5, 6}}) app.setBlock(x, 64, z, stone);
    app.stepBlockUpdates();
    ASSERT_TRUE(app.sim.waterQueue.empty());
    app.setBlock(6, 64, 5, 0);  // mined
    app.stepBlockUpdates();
    runWater();
    EXPECT_EQ(app.blockAt(6, 64, 5), water);
}

TEST_F(WorldStep, OnlyTheHostOrASinglePlayerFlowsWater) {
    struct Case {
        bool networked, host, flows;
    };
    const Case cases[] = {{false, false, true}, {true, true, true}, {true, false, false}};
    for (const Case& c : cases) {
        app.world.chunks.clear();
        app.reindexChunks();
        app.sim = WorldSimState{};
        load(0, 0, 64);
        app.lan.networked = c.networked;
        app.lan.host = c.host;
        app.setBlock(5, 64, 5, water);
        app.tickWorld();
        app.tickWorld();
        EXPECT_EQ(app.blockAt(6, 64, 5) == water, c.flows) << c.networked << c.host;
    }
    app.lan.networked = false;
}

TEST_F(WorldStep, CropGrowsAtItsExactTick) {
    app.rules.crops.push_back({"test:crop", 0, soil, 0, {sprout, ripe}, 40, 1, 1});
    load(0, 0, 64);
    app.setBlock(5, 63, 5, soil);
    app.setBlock(5, 64, 5, sprout);
    app.setBlock(7, 64, 5, sprout);  // on stone: never grows
    struct Case {
        int steps;
        uint8_t at5, at7;
    };
    const Case cases[] = {{40, sprout, sprout}, {41, ripe, sprout}, {200, ripe, sprout}};
    int done = 0;
    for (const Case& c : cases) {
        for (; done < c.steps; ++done) app.tickWorld();
        EXPECT_EQ(app.blockAt(5, 64, 5), c.at5) << c.steps;
        EXPECT_EQ(app.blockAt(7, 64, 5), c.at7) << c.steps;
    }
    EXPECT_FALSE(app.sim.crops.contains({5, 64, 5})) << "ripe crops leave the clock";
}

TEST_F(WorldStep, OrphanedChestSpillsOnce) {
    load(0, 0, 64);
    app.setBlock(2, 64, 2, chestBlock);
    app.setBlock(4, 64, 2, chestBlock);
    ChestSlots slots{};
    slots[0] = {ore, 3, 0};
    slots[26] = {ingot, 1, 0};
    app.containers.chests[app.dimension][{2, 64, 2}] = slots;
    app.containers.chests[app.dimension][{4, 64, 2}] = slots;
    app.containers.chests[app.dimension][{40, 64, 2}] = slots;  // its chunk is not loaded: kept
    app.containers.chests["core:ash"][{2, 64, 2}] = slots;       // the loaded chunk is not its dimension's
    app.setBlock(2, 64, 2, 0);
    app.spillOrphanedChests();
    app.spillOrphanedChests();
    ASSERT_EQ(app.entities.droppedItems.size(), 2u) << "one dropped stack per slot";
    EXPECT_EQ(app.entities.droppedItems[0].count + app.entities.droppedItems[1].count, 4);
    EXPECT_FALSE(cellsIn(app.containers.chests, app.dimension).contains({2, 64, 2}));
    EXPECT_TRUE(cellsIn(app.containers.chests, app.dimension).contains({4, 64, 2}));
    EXPECT_TRUE(cellsIn(app.containers.chests, app.dimension).contains({40, 64, 2}));
    EXPECT_TRUE(cellsIn(app.containers.chests, "core:ash").contains({2, 64, 2}));
    EXPECT_EQ(app.entities.droppedItems.front().x, 2.5f);
}

// Chest and inventory are full of fuel but for one stack of ore with `room` left; shift-clicking
// five ore across fills that stack to exactly 64 and leaves the rest where it was.
TEST_F(WorldStep, ShiftClickFillsAChestOrTheInventoryExactlyAndKeepsTheRest) {
    const CellKey cell{2, 64, 2};
    const struct {
        bool intoChest;
        int32_t room, left;
    } cases[] = {{true, 5, 0}, {true, 4, 1}, {true, 0, 5}, {false, 5, 0}, {false, 4, 1}, {false, 0, 5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "into the chest " << c.intoChest << ", room " << c.room);
        ChestSlots& chest = app.containers.chests[app.dimension][cell];
        chest.fill({fuelItem, 64, 0});
        app.inventory.hotbar.fill({fuelItem, 64, 0});
        app.inventory.main.fill({fuelItem, 64, 0});
        InventorySlot& into = c.intoChest ? chest[26] : app.inventory.main[26];
        InventorySlot& from = c.intoChest ? app.inventory.hotbar[0] : chest[0];
        into = {ore, 64 - c.room, 0};
        from = {ore, 5, 0};
        app.openContainerScreen(ContainerKind::Chest, cell);
        app.quickMoveSlot(c.intoChest ? 0 : ui::kChestSlotBase);
        EXPECT_EQ(into.count, 64);
        EXPECT_EQ(from.count, c.left);
        EXPECT_EQ(from.id, c.left > 0 ? ore : 0);
    }
}

TEST_F(WorldStep, OrphanedFurnaceSpillsItsThreeSlots) {
    load(0, 0, 64);
    Machine furnace;
    furnace.slots = {InventorySlot{ore, 1, 0}, InventorySlot{fuelItem, 2, 0}, InventorySlot{ingot, 1, 0}};
    app.machines[app.dimension][{1, 64, 1}] = furnace;
    app.spillOrphanedFurnaces();
    EXPECT_TRUE(app.machines[app.dimension].empty());
    ASSERT_EQ(app.entities.droppedItems.size(), 3u);
    EXPECT_EQ(app.entities.droppedItems[1].count, 2);
}

TEST(Portals, FoundWithinTheRadiusOnlyInCellOrder) {
    struct Cell {
        uint32_t x, y, z;
        uint8_t id;
    };
    const struct {
        const char* name;
        std::vector<Cell> cells;
        std::vector<PortalMarker> found;
    } cases[] = {
        {"x 32 at the edge, x 33 one past", {{0, 70, 0, 30}, {1, 70, 0, 30}, {0, 71, 0, stone}}, {{{32, 70, 0}, 30}}},
        {"no flagged id in the chunk", {{0, 70, 0, stone}}, {}},
        {"two flagged ids, in cell order", {{0, 71, 0, 30}, {0, 70, 0, 31}}, {{{32, 70, 0}, 31}, {{32, 71, 0}, 30}}},
    };
    std::array<bool, 256> isPortal{};
    isPortal[30] = isPortal[31] = true;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        voxel::Chunk chunk(2, 0);  // x 32..47
        for (const Cell& cell : c.cells) chunk.cells[voxel::cellIndex(cell.x, cell.y, cell.z)] = cell.id;
        std::vector<PortalMarker> found;
        game::findPortals(chunk, isPortal, 0, 0, 32, found);
        EXPECT_EQ(found, c.found);
    }
}

TEST(Hunger, FoodFallsOncePerMinute) {
    std::array<int32_t, 4> food{20, 0, 0, 0};
    const std::pair<int, int32_t> cases[] = {{1199, 20}, {1200, 19}, {2399, 19}, {2400, 18}};
    int done = 0;
    for (const auto& [steps, expected] : cases) {
        for (; done < steps; ++done) game::stepHunger(food);
        EXPECT_EQ(food[0], expected) << steps;
    }
    food = {0, game::kHungerSteps - 1, 0, 0};
    game::stepHunger(food);
    EXPECT_EQ(food[0], 0) << "never below 0";
}

}  // namespace

namespace {

// The raid clock one step before its interval of 1200, the caravan and market clocks further from
// theirs; a speed effect with its last step to run.
TEST_F(WorldStep, TheStepCountsEffectsDownAndRunsTheLivingClocksOnlyWhenTheyAreOn) {
    const struct {
        const char* name;
        bool enabled, guest;
        LivingClocks after;
    } cases[] = {
        {"enabled: each clock moves, the one at its interval starts again", true, false, {0, 398, 198}},
        {"switched off: nothing moves", false, false, {1199, 397, 197}},
        {"a LAN guest leaves them to the world's owner", true, true, {1199, 397, 197}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        app.rules.livingWorld.enabled = c.enabled;
        app.rules.livingWorld.raidTicks = 1200;
        app.rules.livingWorld.caravanTicks = 400;
        app.rules.livingWorld.marketTicks = 200;
        app.lan.networked = c.guest;
        app.livingClocks = {1199, 397, 197};
        app.potionEffects.active[0] = {30, 1};
        app.tickWorld();
        EXPECT_EQ(app.livingClocks.raid, c.after.raid);
        EXPECT_EQ(app.livingClocks.caravan, c.after.caravan);
        EXPECT_EQ(app.livingClocks.market, c.after.market);
        EXPECT_EQ(app.potionEffects.active[0].ticksLeft, 0) << "effects run out for a guest too";
        EXPECT_DOUBLE_EQ(game::walkSpeedFactor(app.potionEffects), 1.0);
    }
}

}  // namespace
