#include <gtest/gtest.h>

#include <climits>

#include "world/loaded_world.h"

namespace {

// A skeleton-sized mob stands with its feet at (5.5, 64, 5.5): its box spans y 64..65.9.
class MobBodies : public worldtest::LoadedWorld {
   protected:
    void SetUp() override {
        LoadedWorld::SetUp();
        load(0, 0);
        Mob mob;
        mob.kind = 1;
        mob.x = 5.5;
        mob.y = 64.0;
        mob.z = 5.5;
        app.entities.mobs.push_back(mob);
    }
    bool place(int32_t x, int32_t y, int32_t z) {
        return app.placeBlock(x, y, z, worldtest::stone, INT32_MIN, 0, 0, 0.5f);
    }
};

TEST_F(MobBodies, NoBlockIsPlacedInsideALiveMob) {
    struct Case {
        int32_t y, health;
        bool placed;
    };
    for (const Case c : {Case{65, 10, false}, Case{66, 10, true}, Case{64, 0, true}}) {
        app.entities.mobs[0].health = c.health;
        EXPECT_EQ(place(5, c.y, 5), c.placed) << c.y << " " << c.health;
    }
}

TEST_F(MobBodies, ADoorDoesNotCloseThroughAMob) {
    app.player.yaw = -1.5708f;  // facing 2
    app.entities.mobs[0].x = 1000.0;
    ASSERT_TRUE(app.placeBlock(2, 64, 2, worldtest::door, INT32_MIN, 0, 0, 0.5f));
    EXPECT_FALSE(app.doorSwingBlocked({2, 64, 2}, 1.5707964f, 0.0f));
    app.entities.mobs[0].x = 2.5;
    app.entities.mobs[0].z = 2.9;
    EXPECT_TRUE(app.doorSwingBlocked({2, 64, 2}, 1.5707964f, 0.0f));
}

}  // namespace
