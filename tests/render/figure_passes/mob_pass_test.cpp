#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "world/loaded_world.h"

namespace {

constexpr std::size_t kBox = 36;
constexpr std::size_t kSkeleton = 16 * kBox;  // skull, spine, four ribs, pelvis, mouth, 2 x (leg, arms, eye)
constexpr std::size_t kOutline = 12 * kBox;

class MobGeometry : public worldtest::LoadedWorld {
   protected:
    void SetUp() override {
        LoadedWorld::SetUp();
        load(0, 0);
        app.player.x = 8.5f;
        app.player.y = 66.5f;
        app.player.z = 8.5f;
    }
    Mob& addSkeleton(double x, double z) {
        Mob mob;
        mob.kind = 1;
        mob.defId = "core:skeleton";
        mob.x = mob.prevX = x;
        mob.y = mob.prevY = 64.0;
        mob.z = mob.prevZ = z;
        app.entities.mobs.push_back(mob);
        return app.entities.mobs.back();
    }
    std::size_t built() {
        std::vector<render::MeshVertex> list;
        app.buildActorGeometry(list);
        return list.size();
    }
};

TEST_F(MobGeometry, SkipsUnloadedNonFiniteAndCulledUnlessHitboxesShow) {
    addSkeleton(4.5, 4.5);
    addSkeleton(20.5, 4.5);  // chunk (1, 0) is not loaded
    addSkeleton(4.5, 6.5).y = std::numeric_limits<double>::quiet_NaN();
    addSkeleton(1e300, 4.5);  // finite but beyond every chunk
    EXPECT_EQ(built(), kSkeleton);
    // A view that holds only x beyond 100.
    app.frame.planes.fill({0.0f, 1.0f, 0.0f, 1000.0f});
    app.frame.planes[0] = {1.0f, 0.0f, 0.0f, -100.0f};
    app.frame.planesValid = true;
    EXPECT_EQ(built(), 0u);
    app.showHitboxes = true;
    EXPECT_EQ(built(), kSkeleton + kOutline);
    app.player.thirdPerson = true;
    EXPECT_EQ(built(), kSkeleton + 2 * kOutline);
}

TEST_F(MobGeometry, SkeletonHoldsTheSwordOnlyWhenItFightsInMelee) {
    voxel::BlockDef sword = testsupport::namedBlock("core:iron_sword");
    sword.isBlock = false;
    sword.modelVertices.resize(12);
    voxel::registerBlock(20, sword);
    addSkeleton(4.5, 4.5);
    EXPECT_EQ(built(), kSkeleton);  // the built-in skeleton shoots: it would hold a bow, and none exists
    app.rules.mobs[1].behavior = "melee";
    EXPECT_EQ(built(), kSkeleton + 12);
}

}  // namespace
