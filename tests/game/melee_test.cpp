#include <gtest/gtest.h>

#include <limits>
#include <numbers>
#include <stdexcept>

#include "game/mob_rules.h"
#include "world/loaded_world.h"

namespace {

// The player's eye at (8.5, 66.5, 8.5) over stone up to y 64, looking along +x.
class Melee : public worldtest::LoadedWorld {
   protected:
    void SetUp() override {
        LoadedWorld::SetUp();
        load(0, 0);
        load(1, 0);
        app.player.x = 8.5f;
        app.player.y = 66.5f;
        app.player.z = 8.5f;
        app.player.yaw = 0.0f;
        app.player.pitch = 0.0f;
    }
    // A skeleton-sized mob whose box begins `ahead` blocks in front of the eye.
    Mob& addMobAhead(double ahead, int32_t health = 10) {
        Mob mob;
        mob.kind = 1;
        mob.id = app.entities.nextMobId++;
        mob.x = 8.5 + ahead + 0.4;
        mob.y = 65.0;
        mob.z = 8.5;
        mob.health = health;
        app.entities.mobs.push_back(mob);
        return app.entities.mobs.back();
    }
};

TEST_F(Melee, ReachAndWhatStopsIt) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double ahead;
        int32_t health;
        bool wall, hit;
    };
    for (const Case c : {Case{3.9, 10, false, true}, Case{4.1, 10, false, false}, Case{3.9, 0, false, false},
                         Case{3.9, 10, true, false}, Case{nan, 10, false, false}}) {
        app.entities.mobs.clear();
        app.setBlock(10, 66, 8, c.wall ? uint8_t{worldtest::stone} : voxel::airId);
        addMobAhead(c.ahead, c.health);
        EXPECT_EQ(app.meleeRayHit(false, 0), c.hit) << c.ahead << " " << c.health << " " << c.wall;
    }
}

// A mob a whole block wide whose box begins `ahead` blocks from the eye along a compass direction.
// The swing hits what it enters strictly before its end or before a block's face, so a box
// beginning exactly at four blocks, or exactly at a block's face, is not hit.
TEST_F(Melee, ReachEndsAtExactlyFourBlocksInEveryDirection) {
    constexpr double kHair = 1.0 / 1024, pi = std::numbers::pi;
    const struct {
        double yaw, dx, dz, ahead;
        bool wall, hit;
    } cases[] = {
        {0, 1, 0, 4 - kHair, false, true},          {0, 1, 0, 4, false, false},
        {pi / 2, 0, 1, 4 - kHair, false, true},     {pi / 2, 0, 1, 4, false, false},
        {pi, -1, 0, 4 - kHair, false, true},        {pi, -1, 0, 4, false, false},
        {-pi / 2, 0, -1, 4 - kHair, false, true},   {-pi / 2, 0, -1, 4, false, false},
        {0, 1, 0, 1.5 - kHair, true, true},         {0, 1, 0, 1.5, true, false},  // the face at x 10
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "yaw " << c.yaw << " ahead " << c.ahead << " wall " << c.wall);
        app.setBlock(10, 66, 8, c.wall ? uint8_t{worldtest::stone} : voxel::airId);
        app.player.yaw = static_cast<float>(c.yaw);
        Mob mob;
        mob.kind = 1, mob.halfWidth = 0.5, mob.y = 65.0;
        mob.x = 8.5 + c.dx * (c.ahead + 0.5), mob.z = 8.5 + c.dz * (c.ahead + 0.5);
        app.entities.mobs = {mob};
        EXPECT_EQ(app.meleeRayHit(false, 0), c.hit);
    }
}

TEST_F(Melee, NearerOfTwoInLineTakesTheBlowOnce) {
    app.inventory.hotbar[static_cast<std::size_t>(app.inventory.selected)] = {worldtest::stone, 1};
    const uint32_t damage = app.meleeDamage();
    addMobAhead(3.0);
    addMobAhead(1.0);
    EXPECT_TRUE(app.meleeRayHit(true, 0));
    EXPECT_EQ(app.entities.mobs[0].health, 10);
    EXPECT_EQ(app.entities.mobs[1].health, 10 - static_cast<int32_t>(damage));
    EXPECT_EQ(app.entities.mobs[1].hurtTimer, game::kHurtTicks);
    // The swing is under way: a second one lands nothing until the timer has run out.
    EXPECT_TRUE(app.meleeRayHit(true, 0));
    EXPECT_EQ(app.entities.mobs[1].health, 10 - static_cast<int32_t>(damage));
    while (app.combat.meleeTimer > 0) app.stepMobs();
    app.meleeRayHit(true, 0);
    EXPECT_EQ(app.entities.mobs[1].health, 10 - 2 * static_cast<int32_t>(damage));
}

TEST_F(Melee, LookingStraightUpHitsAMobOverhead) {
    app.player.pitch = static_cast<float>(std::numbers::pi / 2);
    Mob& mob = addMobAhead(0.0);
    mob.x = 8.6;
    mob.y = 69.0;
    EXPECT_TRUE(app.meleeRayHit(false, 0));
    mob.x = 9.0;  // the box ends at 8.6, short of the ray
    EXPECT_FALSE(app.meleeRayHit(false, 0));
}

TEST_F(Melee, ClosedDoorStopsTheSwingOpenDoorLetsItPass) {
    addMobAhead(3.0);
    app.setBlock(10, 66, 8, worldtest::door);
    app.setBlockState(10, 66, 8, 1);  // facing 1: the closed panel stands across the ray
    EXPECT_FALSE(app.meleeRayHit(false, 0));
    // Open, the door's panel turns a quarter about its hinge and no longer crosses the ray.
    app.world.movingDoors[{10, 66, 8}] = static_cast<float>(std::numbers::pi / 2);
    EXPECT_TRUE(app.meleeRayHit(false, 0));
}

TEST_F(Melee, DamageIsSkillPlusTheSelectedSlotsAttack) {
    voxel::BlockDef sword;
    sword.id = "test:sword";
    sword.isBlock = false;
    sword.attack = 9;
    voxel::registerBlock(worldtest::stick, sword);
    app.combat.progression.skills[1] = 4;
    app.inventory.hotbar[3] = {worldtest::stick, 1};
    app.inventory.hotbar[4] = {voxel::airId, 0};
    app.inventory.selected = 3;
    EXPECT_EQ(app.meleeDamage(), 13u);
    // Switching to an empty slot strikes bare-handed, whatever was held when the world opened.
    app.inventory.heldBlock = worldtest::stick;
    app.inventory.selected = 4;
    EXPECT_EQ(app.meleeDamage(), 4u + static_cast<uint32_t>(voxel::blockDef(voxel::airId).attack));
    app.inventory.hotbar[4] = {250, 1};
    EXPECT_THROW(app.meleeDamage(), std::out_of_range);
}

TEST_F(Melee, OnlyTheKillingBlowPaysTheHostileReward) {
    app.rules.rpg.hostileXp = 30;
    Mob& mob = addMobAhead(1.0, 2 * static_cast<int32_t>(app.meleeDamage()));
    const uint32_t id = mob.id;
    const struct {
        int32_t healthAfter;
        uint32_t experience;
    } blows[] = {{static_cast<int32_t>(app.meleeDamage()), 0}, {0, 30}, {0, 30}};
    for (const auto& blow : blows) {
        app.combat.meleeTimer = 0;
        app.startMeleeAttack(id, 0);
        EXPECT_EQ(app.entities.mobs[0].health, blow.healthAfter);
        EXPECT_EQ(app.combat.progression.experience, blow.experience) << "a dead mob pays nothing more";
    }
}

TEST_F(Melee, KilledMobLiesThenGoes) {
    Mob& mob = addMobAhead(1.0, 1);
    app.startMeleeAttack(mob.id, 0);
    ASSERT_LT(app.entities.mobs[0].health, 1);
    for (int32_t i = 1; i < game::kCorpseTicks; ++i) app.stepMobs();
    ASSERT_EQ(app.entities.mobs.size(), 1u);
    EXPECT_EQ(app.entities.mobs[0].deathTimer, game::kCorpseTicks - 1);
    app.stepMobs();
    EXPECT_TRUE(app.entities.mobs.empty());
}

}  // namespace
