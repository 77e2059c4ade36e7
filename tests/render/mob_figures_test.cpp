#include "render/mob_figures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace {

using render::MeshVertex;

TEST(MobFigures, AttackPoseAndTintOverTheAttack) {
    struct Case {
        int32_t remaining, length, kind, post, hurt;
        double alpha, pose, green, blue;
    };
    const Case cases[] = {
        {6, 12, 0, 0, 0, 0.0, 0.5, 0.75, 0.65},             // half-way through a wind-up
        {3, 12, 3, 0, 0, 0.0, 0.75, 0.48, 0.25},            // heavy wind-up
        {1, 0, 0, 0, 0, 0.5, 0.5, 0.75, 0.65},              // a length of 0 counts as 1
        {0, 12, 0, 10, 0, 0.0, 0.8, 1.0, 1.0},              // the strike just landed
        {0, 12, 0, 5, 0, 0.0, 0.8, 1.0, 1.0},               // t = 0.5: sin(pi/2) 0.4 + 0.5 x 0.8
        {0, 12, 0, 1, 0, 1.0, 0.0, 1.0, 1.0},               // settled
        {0, 12, 0, 0, 3, 0.0, 0.0, 0.45, 0.45},             // hurt flash only
        {6, 12, 0, 0, 3, 0.0, 0.5, 0.75 * 0.45, 0.65 * 0.45},  // both tints multiply
    };
    for (const Case& c : cases) {
        Mob mob;
        mob.windupRemaining = c.remaining;
        mob.windupLength = c.length;
        mob.attackKind = c.kind;
        mob.postAttackTimer = c.post;
        mob.hurtTimer = c.hurt;
        EXPECT_NEAR(render::mobAttackPose(mob, c.alpha), c.pose, 1e-12) << c.remaining << " " << c.post;
        const render::Tint tint = render::mobTint(mob);
        EXPECT_NEAR(tint.green, c.green, 1e-12) << c.remaining << " " << c.hurt;
        EXPECT_NEAR(tint.blue, c.blue, 1e-12) << c.remaining << " " << c.hurt;
    }
}

TEST(MobFigures, DeadMobTipsToItsFullAngleAfterSixteenTicksAndStays) {
    struct Case {
        int32_t timer;
        double alpha, progress;
    };
    for (const Case c : {Case{0, 0.0, 0.0}, Case{-5, 0.0, 0.0}, Case{15, 0.0, 0.9375}, Case{15, 1.0, 1.0},
                         Case{16, 0.0, 1.0}, Case{400, 0.5, 1.0}}) {
        EXPECT_DOUBLE_EQ(render::deathProgress(c.timer, c.alpha), c.progress) << c.timer;
    }
    // A point 1 above the feet of a mob facing +x falls towards -z by 1.45 rad, lifted by width / 2.
    for (const int32_t timer : {16, 200}) {
        std::vector<MeshVertex> list(1);
        list[0].x = 5.0f;
        list[0].y = 11.0f;
        list[0].z = 7.0f;
        render::tipOver(list, 0, {5.0, 10.0, 7.0}, 0.0, render::deathProgress(timer, 0.0), 0.8);
        EXPECT_NEAR(list[0].x, 5.0, 1e-5);
        EXPECT_NEAR(list[0].y, 10.0 + std::cos(1.45) + 0.4, 1e-5) << timer;
        EXPECT_NEAR(list[0].z, 7.0 - std::sin(1.45), 1e-5) << timer;
    }
}

TEST(MobFigures, DefinitionByIdElseTheTemplatesFallback) {
    std::vector<content::MobDef> defs{content::builtinMob(0), content::builtinMob(1), content::builtinMob(1)};
    defs[2].id = "test:golem";
    struct Case {
        uint32_t kind;
        const char* id;
        std::size_t expected;
    };
    for (const Case c : {Case{0, "test:golem", 2}, Case{0, "test:none", 0}, Case{1, "test:none", 1},
                         Case{7, "", 1}, Case{1, "core:boar", 0}}) {
        Mob mob;
        mob.kind = c.kind;
        mob.defId = c.id;
        EXPECT_EQ(render::mobDefinition(defs, mob), &defs[c.expected]) << c.kind << " " << c.id;
    }
    Mob lone;
    lone.kind = 1;
    EXPECT_EQ(render::mobDefinition({content::builtinMob(0)}, lone), nullptr);
}

TEST(MobFigures, ModelVerticesPastThePartListStayUnposed) {
    content::MobDef def;
    def.modelResource = "test:model";
    def.modelBounds = {0, 0, 0, 1, 1, 1};
    def.modelScale = 1.0;
    def.modelPartIndices = {2};
    std::vector<ModelVertex> model(2);
    model[0].x = model[1].x = 1.0f;
    Mob mob;
    render::MobPlacement place;
    place.phase = std::numbers::pi / 2;  // walking leg swing at its full 0.25 rad
    place.speed = 1.0;
    std::vector<MeshVertex> list;
    render::emitMobModel(list, model, 1, mob, def, place, 0.0);
    ASSERT_EQ(list.size(), 2u);
    // Centre x is 0.5: the unposed vertex stands 0.5 forward; the posed one turned about the pivot.
    EXPECT_NEAR(list[0].x, std::cos(0.25) - 0.5, 1e-6);
    EXPECT_NEAR(list[0].y, std::sin(0.25), 1e-6);
    EXPECT_NEAR(list[1].x, 0.5, 1e-6);
    EXPECT_NEAR(list[1].y, 0.0, 1e-6);
}

TEST(MobFigures, CullingByTheViewUnlessHitboxesShowOrThePlanesAreUnset) {
    // Only x >= -w is inside; a skeleton at x 0 reaches to 0.4 + 0.65 = 1.05 with its box.
    auto planesAt = [](float w) {
        render::ViewPlanes planes;
        planes.fill({0.0f, 1.0f, 0.0f, 1000.0f});
        planes[0] = {1.0f, 0.0f, 0.0f, w};
        return planes;
    };
    Mob mob;
    mob.kind = 1;
    const content::MobDef def = content::builtinMob(1);
    struct Case {
        float w;
        bool valid, hitboxes, visible;
    };
    for (const Case c : {Case{-1.055f, true, false, true}, Case{-1.065f, true, false, false},
                         Case{-1.065f, true, true, true}, Case{-1.065f, false, false, true}}) {
        EXPECT_EQ(render::mobInView(mob, def, planesAt(c.w), c.valid, c.hitboxes), c.visible) << c.w << c.hitboxes;
    }
}

TEST(MobFigures, NonFiniteRecordsAreRefused) {
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    EXPECT_TRUE(render::mobIsFinite(Mob{}));
    for (double Mob::*field : {&Mob::x, &Mob::prevZ, &Mob::yaw, &Mob::walkPhase, &Mob::velocityX, &Mob::height}) {
        for (const double bad : {nan, inf}) {
            Mob mob;
            mob.*field = bad;
            EXPECT_FALSE(render::mobIsFinite(mob));
        }
    }
}

TEST(MobFigures, TelegraphsByAttackKindAndDistance) {
    constexpr std::size_t box = render::kBoxVertices;
    struct Case {
        int32_t kind, remaining, post;
        bool boss;
        double playerX;
        std::size_t vertices;
    };
    const Case cases[] = {
        {0, 5, 0, false, 24.0, 2 * box},                    // bar drawn at exactly 24 blocks
        {0, 5, 0, false, 24.01, 0},                         // and not beyond
        {3, 5, 0, false, 0.0, 2 * box + 32 * box},          // heavy: bar and ground ring
        {4, 5, 0, true, 0.0, 2 * box + 20 * box},           // rush path
        {4, 5, 0, false, 0.0, 2 * box},                     // rush path only with boss attacks
        {5, 0, 6, true, 0.0, 48 * box},                     // wave ring widening after the strike
        {5, 0, 0, true, 0.0, 0},
    };
    for (const Case& c : cases) {
        Mob mob;
        mob.attackKind = c.kind;
        mob.windupRemaining = c.remaining;
        mob.windupLength = 10;
        mob.postAttackTimer = c.post;
        content::MobDef def = content::builtinMob(1);
        def.bossAttacks = c.boss;
        render::TelegraphView view;
        view.playerX = c.playerX;
        std::vector<MeshVertex> list;
        render::emitTelegraphs(list, mob, def, render::placeMob(mob, nullptr, 0.0), 1.9, view);
        EXPECT_EQ(list.size(), c.vertices) << c.kind << " " << c.playerX;
    }
}

TEST(MobFigures, SnapshotYawTurnsTheShortWayRound) {
    Mob mob;
    mob.yaw = -3.1;
    const MobSnapshot snapshot{3.1, 0.0};
    const double expected = 3.1 + (2.0 * std::numbers::pi - 6.2) * 0.5;
    EXPECT_NEAR(render::placeMob(mob, &snapshot, 0.5).yaw, expected, 1e-12);
}

}  // namespace
