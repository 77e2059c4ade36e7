#pragma once
// An App with a few loaded chunks of stone and the four shaped kinds registered as custom blocks,
// for the world queries, the placement rules and the door swing.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "app/app.h"
#include "support/fresh_registry.h"
#include "support/temp_dir.h"
#include "world/block_registry.h"
#include "world/chunk.h"
#include "world/shapes.h"

namespace worldtest {

enum FixtureId : uint8_t {
    stone = 3,
    water = 5,
    leaves = 8,     // solid, not opaque
    door = 13,
    trapdoor = 14,
    ladder = 15,
    bed = 16,
    flower = 17,    // neither solid nor opaque
    stick = 18,     // an item
    lantern = 19,   // a rotatable plain block
};

inline void addBlock(uint8_t id, const std::string& behavior, bool solid, bool opaque, bool isBlock = true) {
    voxel::BlockDef def;
    def.id = "test:" + std::to_string(id);
    def.behavior = behavior;
    def.solid = solid;
    def.opaque = opaque;
    def.isBlock = isBlock;
    def.rotatable = id == lantern;
    voxel::registerBlock(id, def);
}

class LoadedWorld : public testsupport::FreshRegistryTest {
   protected:
    void SetUp() override {
        FreshRegistryTest::SetUp();
        addBlock(door, "door", true, false);
        addBlock(trapdoor, "trapdoor", true, false);
        addBlock(ladder, "ladder", true, false);
        addBlock(bed, "bed", true, false);
        addBlock(flower, "", false, false);
        addBlock(stick, "", false, false, false);
        addBlock(lantern, "", true, true);
        app.world.shaped = voxel::shapedFlags();
        // Far from every test cell unless a test moves the player.
        app.player.x = 1000.0f;
        // What the world's steps save goes to a folder of the test's own, never the game root.
        app.files.world = worldDir.path();
    }
    // A chunk of stone below the ground height and air above it.
    voxel::Chunk& load(int32_t cx, int32_t cz, int32_t ground = 64) {
        voxel::Chunk chunk(cx, cz);
        for (int32_t y = 0; y < ground; ++y) {
            for (uint32_t i = 0; i < 256; ++i) chunk.cells[voxel::cellIndex(i % 16, y, i / 16)] = stone;
        }
        app.world.chunks.push_back(std::move(chunk));
        app.reindexChunks();
        return *app.findChunk(cx, cz);
    }

    void forgetChanges() {
        app.world.modified.clear();
        app.world.relight.clear();
        app.world.remesh.clear();
        app.world.updateSet.clear();
        app.world.updateQueue.clear();
    }

    testsupport::TempDir worldDir;
    App app;
};

}  // namespace worldtest
