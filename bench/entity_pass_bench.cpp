// The CPU half of the dynamic entity pass on a busy scene: 100 mobs (half boars, half skeletons, a
// fifth of them winding up a heavy attack), 50 NPC box figures and 200 dropped items around the
// player on lit flat ground, built and light-stamped as one frame does. No window, no device.
// Argument: 0 the whole scene, 1 items only, 2 mobs only, 3 NPCs only.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/app.h"
#include "render/chunks/light_flood_fill.h"
#include "world/block_registry.h"

namespace {

constexpr int32_t kGround = 64;
constexpr uint8_t kStone = 3;
constexpr int32_t kMobs = 100, kNpcs = 50, kItems = 200;
// Built-in blocks that mesh as cubes or models; the item meshes cycle through them.
constexpr uint8_t kItemIds[] = {1, 2, 3, 4, 6, 7, 8};

// A 5 x 5 window of stone up to the ground height, lit, the player over the middle chunk.
void loadGround(App& app) {
    std::vector<voxel::Chunk> chunks;
    for (int32_t cz = -2; cz <= 2; ++cz) {
        for (int32_t cx = -2; cx <= 2; ++cx) {
            voxel::Chunk chunk(cx, cz);
            for (int32_t y = 0; y < kGround; ++y) {
                for (uint32_t i = 0; i < 256; ++i) chunk.cells[voxel::cellIndex(i % 16, y, i / 16)] = kStone;
            }
            chunks.push_back(std::move(chunk));
        }
    }
    voxel::computeLight(chunks, {});
    app.world.chunks = std::move(chunks);
    app.reindexChunks();
    app.player.x = 8.5f;
    app.player.y = kGround + 1.62f;
    app.player.z = 8.5f;
}

// Spread over a 32 x 32 square around the player, in a fixed pattern.
double spread(int32_t i, int32_t salt) { return -16.0 + ((i * 37 + salt * 11) % 64) * 0.5 + 8.5; }

void addMobs(App& app) {
    for (int32_t i = 0; i < kMobs; ++i) {
        Mob mob;
        mob.kind = static_cast<uint32_t>(i % 2);
        mob.id = static_cast<uint32_t>(i + 1);
        mob.x = mob.prevX = spread(i, 1);
        mob.y = mob.prevY = kGround;
        mob.z = mob.prevZ = spread(i, 2);
        mob.yaw = i * 0.3;
        mob.walkPhase = i * 0.7;
        if (i % 5 == 0) {
            mob.windupRemaining = 8;
            mob.windupLength = 20;
            mob.attackKind = 3;
        }
        app.entities.mobs.push_back(mob);
    }
}

void addNpcs(App& app) {
    adventure::Npc npc;
    npc.id = "bench:villager";
    npc.animated = false;
    app.adventureState.catalog.npcs.push_back(npc);
    for (int32_t i = 0; i < kNpcs; ++i) {
        app.adventureState.npcPositions["bench:villager.city." + std::to_string(i)] = {spread(i, 3), kGround,
                                                                                       spread(i, 4)};
    }
}

void addItems(App& app) {
    for (int32_t i = 0; i < kItems; ++i) {
        DroppedItem item;
        item.id = kItemIds[i % std::size(kItemIds)];
        item.x = item.prevX = static_cast<float>(spread(i, 5));
        item.y = item.prevY = kGround + 0.1f;
        item.z = item.prevZ = static_cast<float>(spread(i, 6));
        item.phase = item.prevPhase = i * 0.1f;
        item.interpolate = 1;
        app.entities.droppedItems.push_back(item);
    }
}

void entityPass(benchmark::State& state) {
    App app;
    loadGround(app);
    const int64_t part = state.range(0);
    if (part == 0 || part == 1) addItems(app);
    if (part == 0 || part == 2) addMobs(app);
    if (part == 0 || part == 3) addNpcs(app);
    std::vector<render::MeshVertex>& list = app.dynamicPass.vertices;
    for (auto _ : state) {
        list.clear();
        app.buildDynamicGeometry(list);
        benchmark::DoNotOptimize(list.data());
    }
    state.counters["vertices"] = static_cast<double>(list.size());
}

}  // namespace

BENCHMARK(entityPass)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);
