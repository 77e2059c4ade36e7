#include <gtest/gtest.h>

#include <cmath>

#include "game/mob_rules.h"
#include "world/loaded_world.h"

namespace {

// Stone up to y 64 in the nine chunks around the player at (8.5, 66.5, 8.5).
class MobSpawning : public worldtest::LoadedWorld {
   protected:
    void SetUp() override {
        LoadedWorld::SetUp();
        for (int32_t cz = -1; cz <= 1; ++cz)
            for (int32_t cx = -1; cx <= 1; ++cx) load(cx, cz);
        app.player.x = 8.5f;
        app.player.y = 66.5f;
        app.player.z = 8.5f;
    }
};

TEST_F(MobSpawning, AtNightOnTheGroundNearThePlayerUpToFour) {
    struct Case {
        int32_t time;
        uint64_t tick;
        std::size_t live;
        bool guest;
        std::size_t spawned;
    };
    const Case cases[] = {
        {30000, 100, 0, false, 1},  // night, on a spawn tick
        {12000, 100, 0, false, 0},  // day
        {30000, 101, 0, false, 0},  // between two tries
        {30000, 100, 3, false, 1},
        {30000, 100, 4, false, 0},  // four live mobs already
        {30000, 100, 0, true, 0},   // a LAN guest's mobs come from the host
    };
    for (const Case& c : cases) {
        app.entities.mobs.assign(c.live, Mob{});
        app.clock.timeOfDay = c.time;
        app.clock.tick = c.tick;
        app.lan.networked = c.guest;
        app.stepMobs();
        ASSERT_EQ(app.entities.mobs.size(), c.live + c.spawned) << c.time << " " << c.tick << " " << c.live;
        if (c.spawned == 0) continue;
        const Mob& mob = app.entities.mobs.back();
        EXPECT_EQ(mob.defId, "core:skeleton");  // the built-in kind that comes out at night
        EXPECT_EQ(mob.health, 16);
        EXPECT_EQ(mob.y, 64.0);
        const double distance = std::hypot(mob.x - 8.5, mob.z - 8.5);
        EXPECT_GE(distance, game::kSpawnMinDistance - 1.0);
        EXPECT_LE(distance, game::kSpawnMaxDistance + 1.0);
    }
}

}  // namespace
