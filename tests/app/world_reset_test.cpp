#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <tuple>

#include "app/app.h"
#include "open_world.h"
#include "platform/file_read.h"
#include "save/chunk_file.h"
#include "save/map_file.h"

namespace {

using WorldReset = apptest::OpenWorld;

TEST_F(WorldReset, UnloadingAnEmptyWindowMovesTheCountersAndSetsTheWaterFlag) {
    app.meshing.waterLevelsChanged = false;
    app.world.remesh = {{4, 4}};
    app.world.modified = {{4, 4}};
    app.entities.particles.resize(5);
    app.functional.particleVertexCount = 120;
    app.unloadAllChunks();
    EXPECT_TRUE(app.entities.particles.empty()) << "no particle drifts into the next world";
    EXPECT_EQ(app.functional.particleVertexCount, 0u);
    EXPECT_EQ(app.meshing.revision, 2u);
    EXPECT_EQ(app.lighting.revision, 1u);
    EXPECT_TRUE(app.meshing.waterLevelsChanged);
    EXPECT_TRUE(app.world.remesh.empty());
    EXPECT_TRUE(app.world.modified.empty());
}

TEST_F(WorldReset, UnloadingDiscardsEveryFinishedButUntakenTask) {
    app.generateEnvironment();
    tasks.now = 5.0;
    app.streamWorld();  // launches lighting and meshing of the window
    app.player.x = 40.0f;
    app.streamWorld();  // and a load of the chunk east of it
    ASSERT_TRUE(app.lighting.task.valid() && app.meshing.task.valid() && app.stream.task.valid());
    tasks.runAll();

    app.unloadAllChunks();
    EXPECT_FALSE(app.lighting.task.valid() || app.meshing.task.valid() || app.stream.task.valid());
    const auto& w = app.world;
    EXPECT_TRUE(w.chunks.empty() && w.chunkMap.empty() && w.meshes.empty() && w.relight.empty());
    EXPECT_TRUE(app.lighting.lamps.empty());
    EXPECT_EQ(app.meshing.solidIndexCount, 0u);

    // Nothing of the old world reaches the next one.
    app.world.chunks.emplace_back(0, 0);
    app.reindexChunks();
    app.uploadMesh(render::meshPoll);
    EXPECT_TRUE(app.world.chunks[0].light.empty());
    EXPECT_TRUE(app.world.meshes.empty());
}

// Leaving or travelling while the load of an unreadable chunk file is pending goes on: the load is
// dropped with its failure, and the file stays for the next time the chunk is asked for.
TEST_F(WorldReset, ADiscardedLoadThatFailedIsDroppedAndItsFileStays) {
    filesave::writeChunk(dir.path(), 7, 4, voxel::Chunk(0, 0));
    const std::string bytes = testsupport::readFile(filesave::chunkFilePath(dir.path(), 0, 0));
    app.streamWorld();
    tasks.runAll();
    app.unloadAllChunks();
    EXPECT_FALSE(app.stream.task.valid());
    EXPECT_TRUE(app.world.chunks.empty());
    EXPECT_EQ(testsupport::readFile(filesave::chunkFilePath(dir.path(), 0, 0)), bytes);
}

TEST_F(WorldReset, ResetReturnsThePerWorldStateToTheConstructorsValues) {
    app.rules.combat.maximum = 150;
    app.player.x = -300.0f;
    app.player.yaw = 2.0f;
    app.player.pitch = 1.0f;
    app.player.velocityY = -9.0f;
    app.player.thirdPerson = true;
    app.player.resetMouseLook = false;
    app.player.lightFade = 0.9f;
    app.player.health = 3;
    app.player.air = 10;
    app.player.food = {4, 5, 6, 7};
    app.player.stamina = 1.0;
    app.player.swingPhase = 0.5f;
    app.player.swingHold = 3;
    app.player.armor[2] = InventorySlot{40, 1, 9};
    app.player.chunkX = 12;
    app.motion.flying = true;
    app.inventory.hotbar[6] = app.inventory.main[0] = app.inventory.cursor = InventorySlot{9, 3, 0};
    app.inventory.selected = 4;
    app.inventory.heldBlock = 7;
    app.clock = WorldClock{900, 100, 0.04, 2, 77.0};
    app.hasBed = true;
    app.sleepStart = 3.0;
    app.world.blockStates[{1, 2, 3}] = StoredBlockState{13, 1};
    app.world.undo.push_back(BlockEdit{});
    app.containers.chests[app.dimension][{1, 2, 3}] = ChestSlots{};
    app.generationStage = 2;
    app.machines[app.dimension][{1, 2, 3}] = Machine{};
    app.meshing.waterLevels[{1, 2, 3}] = 4;
    app.world.chunks.emplace_back(0, 0);
    app.entities.mobs.emplace_back();
    app.entities.droppedItems.emplace_back();
    app.entities.arrows.emplace_back();
    app.entities.sparks.emplace_back();
    app.entities.particles.emplace_back();
    app.combat.progression.level = 7;
    app.combat.meleeTimer = 5;
    app.hands.target.mining = true;
    app.adventureState.npcPositions["smith.city.1"] = {1.0, 2.0, 3.0};
    app.adventureState.standing.quests.completed.insert("first_steps");
    app.adventureState.standing.copper = 5000;
    app.adventureState.standing.reputation = 40;
    app.world.redo.push_back(BlockEdit{});
    app.lan.heldAction = true;
    app.lan.actionsReleased = false;
    app.lan.heldButton = 1;
    app.woken = true;
    app.potionEffects.active[0] = {30, 900};
    app.loot.filledChests.insert({app.dimension, {1, 70, 1}});
    app.livingClocks.raid = 40;

    app.resetWorldState();
    const App fresh;
    const PlayerState& p = app.player;
    const auto kept = [](const PlayerState& q) { return std::array{q.x, q.y, q.z, q.pitch, q.lightFade}; };
    EXPECT_EQ(kept(p), kept(fresh.player));
    EXPECT_EQ(std::bit_cast<uint32_t>(p.yaw), 0xBFC90FDAu);
    EXPECT_FALSE(app.motion.flying) << "a new world starts on foot";
    EXPECT_FALSE(p.thirdPerson);
    EXPECT_TRUE(p.resetMouseLook);
    EXPECT_EQ(std::tuple(p.velocityY, p.health, p.air, p.swingPhase, p.swingHold, p.armor[2].id, p.chunkX),
              std::tuple(0.0f, 20, 300, 0.0f, 0, 0, INT32_MIN));
    EXPECT_EQ(p.food, fresh.player.food);
    EXPECT_EQ(p.stamina, 150.0) << "the combat rules' maximum";

    int stacks = 0;
    for (std::size_t i = 0; i < 9; ++i) {
        EXPECT_EQ(app.inventory.hotbar[i].id, fresh.inventory.hotbar[i].id) << i;
        EXPECT_EQ(app.inventory.hotbar[i].count, fresh.inventory.hotbar[i].count) << i;
        stacks += app.inventory.hotbar[i].count == 64;
    }
    EXPECT_EQ(stacks, 5);
    const auto& inventory = app.inventory;
    EXPECT_EQ(std::tuple(inventory.main[0].id, inventory.cursor.id, inventory.selected, inventory.heldBlock),
              std::tuple(0, 0, 1, 2));

    EXPECT_EQ(std::tuple(app.clock.tick, app.clock.timeOfDay, app.clock.accumulator), std::tuple(0u, 13440, 0.0));
    EXPECT_FALSE(app.hasBed);
    EXPECT_TRUE(app.containers.chests.empty()) << "the next world has none of this world's chests";
    EXPECT_EQ(std::tuple(app.generationStage, app.sleepStart, app.combat.meleeTimer), std::tuple(4, -1.0, 0));
    const auto& w = app.world;
    EXPECT_TRUE(w.blockStates.empty() && w.undo.empty() && app.machines.empty() && app.meshing.waterLevels.empty());
    const EntityState& e = app.entities;
    EXPECT_TRUE(e.mobs.empty() && e.droppedItems.empty() && e.arrows.empty() && e.sparks.empty() && e.particles.empty());
    EXPECT_EQ(app.world.chunks.size(), 1u) << "chunks are left to unloadAllChunks";
    EXPECT_EQ(app.combat.progression.level, 1u) << "progression starts over";
    EXPECT_FALSE(app.hands.target.mining);
    EXPECT_TRUE(app.adventureState.npcPositions.empty()) << "the next world places its own people";
    EXPECT_TRUE(app.adventureState.standing.quests.completed.empty()) << "quests belong to the world they were done in";
    EXPECT_EQ(std::tuple(app.adventureState.standing.copper, app.adventureState.standing.reputation), std::tuple(0u, 0))
        << "the standing starts over";
    EXPECT_TRUE(app.world.redo.empty());
    EXPECT_EQ(std::tuple(app.lan.heldAction, app.lan.actionsReleased, app.lan.heldButton),
              std::tuple(fresh.lan.heldAction, fresh.lan.actionsReleased, fresh.lan.heldButton));
    EXPECT_EQ(std::tuple(fresh.lan.heldAction, fresh.lan.actionsReleased, fresh.lan.heldButton),
              std::tuple(false, true, -1));
    EXPECT_FALSE(app.woken);
    EXPECT_DOUBLE_EQ(game::walkSpeedFactor(app.potionEffects), 1.0) << "a potion drunk in one world ends there";
    EXPECT_EQ(app.potionEffects.active[0].ticksLeft, 0);
    EXPECT_TRUE(app.loot.filledChests.empty()) << "the next world's chests are all still to open";
    EXPECT_EQ(app.livingClocks.raid, 0);
}

}  // namespace

namespace {

TEST_F(WorldReset, ResetSavesTheMapThenEmptiesTheCacheTheFolderAndTheMapView) {
    game::addMarker(app.currentMap(), {1, 2, 3, game::kCityMarker, "ГОРОД"});
    app.maps.view.queue = {{1, 1}};
    app.maps.view.queued = {{{1, 1}, kMapChunkExplored}};
    app.maps.view.markerCount = 1;
    app.maps.view.selectedMarker = 0;
    app.resetWorldState();
    EXPECT_TRUE(app.maps.cache.empty());
    EXPECT_TRUE(app.maps.directory.empty());
    EXPECT_TRUE(app.maps.view.queue.empty() && app.maps.view.queued.empty());
    EXPECT_EQ(app.maps.view.markerCount, 0);
    EXPECT_EQ(app.maps.view.selectedMarker, -1);
    const auto saved = filesave::decodeMap(platform::readFileBytes(dir.path() / "core:overworld.map140.txt").value_or(""));
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->markers.size(), 1u);
    // The next world's map starts from its own folder.
    app.files.world = dir.path() / "next";
    EXPECT_TRUE(app.currentMap().markers.empty());
    EXPECT_EQ(app.maps.directory, dir.path() / "next");
}

}  // namespace
