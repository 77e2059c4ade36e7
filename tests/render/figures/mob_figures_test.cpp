#include "render/figures/mob_figures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <string>

namespace {

using render::Double3;
using render::MeshVertex;

struct Bounds {
    Double3 min{1e30, 1e30, 1e30}, max{-1e30, -1e30, -1e30};
};
// The box around list[from, from + count).
Bounds boundsOf(const std::vector<MeshVertex>& list, std::size_t from, std::size_t count) {
    Bounds b;
    for (std::size_t i = from; i < from + count; ++i) {
        const float p[3] = {list[i].x, list[i].y, list[i].z};
        for (int k = 0; k < 3; ++k)
            b.min[k] = std::min(b.min[k], double(p[k])), b.max[k] = std::max(b.max[k], double(p[k]));
    }
    return b;
}

void expectBounds(const Bounds& got, const Double3& min, const Double3& max, const std::string& what) {
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(got.min[k], min[k], 1e-5) << what << " min axis " << k;
        EXPECT_NEAR(got.max[k], max[k], 1e-5) << what << " max axis " << k;
    }
}

void expectAt(const MeshVertex& v, const Double3& p, const std::string& what) {
    EXPECT_NEAR(v.x, p[0], 1e-5) << what;
    EXPECT_NEAR(v.y, p[1], 1e-5) << what;
    EXPECT_NEAR(v.z, p[2], 1e-5) << what;
}

// One box of a built-in figure as the mob's own definition draws it (scale 1) at the origin facing
// +x, mid-strike (arm pose a = 0.8) and at the top of the bob (b = 0.08).
struct Part {
    const char* name;
    Double3 min, max, colour;
};
constexpr double kBob = 0.08, kPose = 0.8;

void expectFigure(uint32_t kind, const std::vector<Part>& parts) {
    Mob mob;
    mob.kind = kind;
    mob.postAttackTimer = 5;  // t = 0.5: sin(pi / 2) x 0.4 + 0.5 x 0.8
    render::MobPlacement place;
    place.bob = kBob;
    std::vector<MeshVertex> list;
    render::emitMob(list, mob, content::builtinMob(static_cast<int32_t>(kind)), place, {}, {});
    ASSERT_EQ(list.size(), parts.size() * render::kBoxVertices);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::size_t first = i * render::kBoxVertices;
        expectBounds(boundsOf(list, first, render::kBoxVertices), parts[i].min, parts[i].max, parts[i].name);
        const MeshVertex& top = list[first + 18];  // the +y face, shade 1
        EXPECT_NEAR(top.r, parts[i].colour[0], 1e-6) << parts[i].name;
        EXPECT_NEAR(top.g, parts[i].colour[1], 1e-6) << parts[i].name;
        EXPECT_NEAR(top.b, parts[i].colour[2], 1e-6) << parts[i].name;
    }
}

TEST(MobFigures, SkeletonEveryBoxInOrder) {
    constexpr Double3 bone{0.83, 0.82, 0.73}, socket{0.035, 0.035, 0.035};
    constexpr double b = kBob, ax = 0.45 * kPose, ay = 0.225 * kPose;  // the forearm moves with the pose
    const std::vector<Part> parts = {
        {"skull", {-0.18, 1.5, -0.19}, {0.2, 1.89, 0.19}, bone},
        {"spine", {-0.045, 0.68, -0.045}, {0.045, 1.48, 0.045}, bone},
        {"rib 0", {-0.07, 1.02, -0.24}, {0.08, 1.065, 0.24}, bone},
        {"rib 1", {-0.07, 1.12, -0.24}, {0.08, 1.165, 0.24}, bone},
        {"rib 2", {-0.07, 1.22, -0.24}, {0.08, 1.265, 0.24}, bone},
        {"rib 3", {-0.07, 1.32, -0.24}, {0.08, 1.365, 0.24}, bone},
        {"pelvis", {-0.075, 0.74, -0.22}, {0.075, 0.83, 0.22}, bone},
        {"leg -1", {-b - 0.05, 0.05, -0.175}, {-b + 0.05, -b + 0.74, -0.085}, bone},
        {"upper arm -1", {-0.07, 1.28, -0.315}, {0.07, 1.45, -0.245}, bone},
        {"forearm -1", {ax + 0.06, ay + 0.92, -0.315}, {ax + 0.13, ay + 1.37, -0.245}, bone},
        {"eye -1", {0.201, 1.7, -0.134}, {0.205, 1.78, -0.046}, socket},
        {"leg +1", {b - 0.05, 0.05, 0.085}, {b + 0.05, b + 0.74, 0.175}, bone},
        {"upper arm +1", {-0.07, 1.28, 0.245}, {0.07, 1.45, 0.315}, bone},
        {"forearm +1", {ax + 0.06, ay + 0.92, 0.245}, {ax + 0.13, ay + 1.37, 0.315}, bone},
        {"eye +1", {0.201, 1.7, 0.046}, {0.205, 1.78, 0.134}, socket},
        {"mouth", {0.201, 1.55, -0.09}, {0.205, 1.61, 0.09}, socket},
    };
    expectFigure(1, parts);
}

TEST(MobFigures, BoarEveryBoxInOrderDiagonalLegsMovingTogether) {
    constexpr Double3 hide{0.39, 0.25, 0.15}, hoof{0.22, 0.14, 0.1}, tusk{0.88, 0.85, 0.72},
        eye{0.03, 0.025, 0.02};
    constexpr double b = kBob;  // back legs centred at -0.32, front at 0.2, each 0.12 wide
    const std::vector<Part> parts = {
        {"body", {-0.46, 0.26, -0.27}, {0.3, 0.81, 0.27}, hide},
        {"head", {0.26, 0.41, -0.22}, {0.54, 0.78, 0.22}, {0.46, 0.29, 0.18}},
        {"snout", {0.52, 0.42, -0.14}, {0.62, 0.58, 0.14}, {0.57, 0.38, 0.25}},
        {"back leg -z", {-0.38 + b, 0.01, -0.255}, {-0.26 + b, 0.33 + b, -0.125}, hoof},
        {"back leg +z", {-0.38 - b, 0.01, 0.125}, {-0.26 - b, 0.33 - b, 0.255}, hoof},
        {"front leg -z", {0.14 - b, 0.01, -0.255}, {0.26 - b, 0.33 - b, -0.125}, hoof},
        {"front leg +z", {0.14 + b, 0.01, 0.125}, {0.26 + b, 0.33 + b, 0.255}, hoof},
        {"ear -z", {0.3, 0.76, -0.21}, {0.43, 0.92, -0.12}, hide},
        {"ear +z", {0.3, 0.76, 0.12}, {0.43, 0.92, 0.21}, hide},
        {"tusk -1", {0.53, 0.51, -0.175}, {0.6, 0.65, -0.125}, tusk},
        {"tusk +1", {0.53, 0.51, 0.125}, {0.6, 0.65, 0.175}, tusk},
        {"eye -1", {0.45, 0.67, -0.236}, {0.49, 0.72, -0.212}, eye},
        {"eye +1", {0.45, 0.67, 0.212}, {0.49, 0.72, 0.236}, eye},
    };
    expectFigure(0, parts);
}

TEST(MobFigures, BuiltinFigureScalesFromItsTemplateSizeToTheDefinitions) {
    struct Case {
        uint32_t kind;
        double width, height;  // the template's own size
    };
    for (const Case c : {Case{0, 1.4, 0.95}, Case{1, 0.8, 1.9}}) {
        Mob mob;
        mob.kind = c.kind;
        content::MobDef def = content::builtinMob(static_cast<int32_t>(c.kind));
        render::MobPlacement place;
        place.position = {10.0, 64.0, -5.0};
        std::vector<MeshVertex> base, scaled;
        render::emitMob(base, mob, def, place, {}, {});
        def.width = 2.0 * c.width;
        def.height = 3.0 * c.height;
        render::emitMob(scaled, mob, def, place, {}, {});
        ASSERT_EQ(scaled.size(), base.size());
        for (std::size_t i = 0; i < base.size(); i += 7) {
            EXPECT_NEAR(scaled[i].x - 10.0, 2.0 * (base[i].x - 10.0), 1e-4) << c.kind << " " << i;
            EXPECT_NEAR(scaled[i].y - 64.0, 3.0 * (base[i].y - 64.0), 1e-4) << c.kind << " " << i;
            EXPECT_NEAR(scaled[i].z + 5.0, 2.0 * (base[i].z + 5.0), 1e-4) << c.kind << " " << i;
        }
    }
}

TEST(MobFigures, HeldModelSitsInTheSkeletonsHandTurnedWithIt) {
    std::vector<ModelVertex> model(2);
    model[0].x = 0.5f, model[0].y = 1.0f, model[0].z = 0.38f;  // local (0.28, 1.15, 0.21)
    model[1].x = 1.5f, model[1].y = 2.0f, model[1].z = 1.38f;  // one more on each axis
    model[1].texture = 2;
    std::vector<MeshVertex> list;
    // Facing +z: forward is +z and the side -x.
    render::emitHeldModel(list, model, 20, {10.0, 64.0, -5.0}, std::numbers::pi / 2);
    ASSERT_EQ(list.size(), 2u);
    expectAt(list[0], {10.0 - 0.21, 64.0 + 1.15, -5.0 + 0.28}, "grip");
    expectAt(list[1], {10.0 - 0.21 - 0.43, 64.0 + 1.15 + 0.43, -5.0 + 0.28 + 0.35}, "one more on each axis");
    EXPECT_FLOAT_EQ(list[0].g, 0.8f);
    EXPECT_FLOAT_EQ(list[1].layer, static_cast<float>(voxel::textureLayer(20, 2)));
}

TEST(MobFigures, ModelPartAnglesByPartWalkWingsAndAttack) {
    constexpr double quarter = std::numbers::pi / 2;
    struct Case {
        const char* what;
        uint32_t part;
        bool flying;
        int32_t remaining, kind, post;
        double phase, speed, alpha, angle;
    };
    const double wing = std::sin(3.5 * 0.45) * 0.45;  // tick 3 at alpha 0.5
    const Case cases[] = {
        {"part 2 forward", 2, false, 0, 0, 0, quarter, 1.0, 0.0, 0.25},
        {"part 3 back", 3, false, 0, 0, 0, quarter, 1.0, 0.0, -0.25},
        {"part 4 back", 4, false, 0, 0, 0, quarter, 1.0, 0.0, -0.25},
        {"part 5 forward", 5, false, 0, 0, 0, quarter, 1.0, 0.0, 0.25},
        {"speed above 1 swings no further", 5, false, 0, 0, 0, quarter, 3.0, 0.0, 0.25},
        {"half speed, half swing", 5, false, 0, 0, 0, quarter, 0.5, 0.0, 0.125},
        {"wing 2", 2, true, 0, 0, 0, quarter, 1.0, 0.5, wing},
        {"wing 3 mirrored, even winding up", 3, true, 5, 0, 0, quarter, 1.0, 0.5, -wing},
        {"flyer's leg walks", 4, true, 0, 0, 0, quarter, 1.0, 0.5, -0.25},
        {"wind-up start", 3, false, 10, 0, 0, quarter, 1.0, 0.0, 0.0},
        {"wind-up half", 3, false, 5, 0, 0, quarter, 1.0, 0.0, -0.4},
        {"wind-up end", 3, false, 1, 0, 0, quarter, 1.0, 1.0, -0.8},
        {"heavy wind-up end", 3, false, 1, 3, 0, quarter, 1.0, 1.0, -1.25},
        {"part 2 walks through the wind-up", 2, false, 5, 3, 0, quarter, 1.0, 0.0, 0.25},
        {"strike start", 3, false, 0, 0, 10, quarter, 1.0, 0.0, -0.8},
        {"strike half", 3, false, 0, 0, 5, quarter, 1.0, 0.0, 1.7 - 0.4},
        {"strike end", 3, false, 0, 0, 1, quarter, 1.0, 1.0, 0.0},
    };
    for (const Case& c : cases) {
        Mob mob;
        mob.ticks = 3;
        mob.windupRemaining = c.remaining;
        mob.windupLength = 10;
        mob.attackKind = c.kind;
        mob.postAttackTimer = c.post;
        content::MobDef def;
        def.flying = c.flying;
        EXPECT_NEAR(render::modelPartAngle(c.part, mob, def, c.phase, c.speed, c.alpha), c.angle, 1e-9)
            << c.what;
    }
}

TEST(MobFigures, ModelIsScaledTurnedLiftedByTheBobAndLeansIntoTheWindUp) {
    content::MobDef def;
    def.modelBounds = {0, 0, 0, 1, 2, 1};  // centre (0.5, 0.5), height 2
    def.modelScale = 0.5;
    std::vector<ModelVertex> model(2);
    model[0].x = 0.5f, model[0].y = 2.0f, model[0].z = 0.5f;  // top centre: leans the full 0.18
    model[1].x = 1.0f, model[1].y = 0.0f, model[1].z = 1.0f;  // bottom corner: no lean
    Mob mob;
    mob.windupRemaining = 1;
    mob.windupLength = 10;
    render::MobPlacement place;
    place.position = {10.0, 64.0, 20.0};
    place.yaw = std::numbers::pi / 2;  // forward +z, side -x
    place.bob = 0.08;
    std::vector<MeshVertex> list;
    render::emitMobModel(list, model, 1, mob, def, place, 1.0);
    ASSERT_EQ(list.size(), 2u);
    expectAt(list[0], {10.0, 64.0 + 0.024 + 1.0, 20.0 + 0.18}, "top centre");
    expectAt(list[1], {10.0 - 0.25, 64.0 + 0.024, 20.0 + 0.25}, "bottom corner");
}

TEST(MobFigures, HitboxOutlineByTemplateOrOwnSize) {
    struct Case {
        uint32_t kind;
        double halfWidth, height, w, h;
        Double3 colour;
    };
    const Double3 red{1.0, 0.2, 0.2}, green{0.1, 1.0, 0.2};
    for (const Case c : {Case{0, 0.0, 0.0, 0.7, 0.95, green}, Case{1, 0.0, 0.0, 0.4, 1.9, red},
                         Case{7, 0.5, 2.5, 0.5, 2.5, red}, Case{0, 0.01, 0.01, 0.01, 0.01, green}}) {
        Mob mob;
        mob.kind = c.kind;
        mob.halfWidth = c.halfWidth;
        mob.height = c.height;
        std::vector<MeshVertex> list;
        render::emitMobHitbox(list, mob, {10.0, 64.0, 20.0});
        ASSERT_EQ(list.size(), 12u * render::kBoxVertices);
        const double e = 0.008;  // half a bar
        expectBounds(boundsOf(list, 0, list.size()), {10.0 - c.w - e, 64.0 - e, 20.0 - c.w - e},
                     {10.0 + c.w + e, 64.0 + c.h + e, 20.0 + c.w + e}, "kind " + std::to_string(c.kind));
        EXPECT_FLOAT_EQ(list[0].r, static_cast<float>(c.colour[0])) << c.kind;
        EXPECT_FLOAT_EQ(list[0].g, static_cast<float>(c.colour[1])) << c.kind;
    }
}

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
    // A point 1 above the feet falls to its side by 1.45 rad, lifted by width / 2: facing +x towards
    // -z, facing +z towards +x; half-way it has tipped half as far.
    struct Tip {
        int32_t timer;
        double yaw, angle, dx, dz;
    };
    const double s = std::sin(1.45), half = std::sin(0.725);
    for (const Tip t : {Tip{16, 0.0, 1.45, 0.0, -s}, Tip{200, 0.0, 1.45, 0.0, -s},
                        Tip{16, std::numbers::pi / 2, 1.45, s, 0.0}, Tip{8, 0.0, 0.725, 0.0, -half}}) {
        std::vector<MeshVertex> list(1);
        list[0].x = 5.0f;
        list[0].y = 11.0f;
        list[0].z = 7.0f;
        const double p = render::deathProgress(t.timer, 0.0);
        render::tipOver(list, 0, {5.0, 10.0, 7.0}, t.yaw, p, 0.8);
        expectAt(list[0], {5.0 + t.dx, 10.0 + std::cos(t.angle) + p * 0.4, 7.0 + t.dz},
                 std::to_string(t.timer) + " " + std::to_string(t.yaw));
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

TEST(MobFigures, CullingByTheViewReachingAsFarAsTheAttackUnlessHitboxesShowOrThePlanesAreUnset) {
    // Only x >= -w is inside; a skeleton at x 0 reaches to 0.4 + reach with its box: 0.65, a heavy
    // wind-up's 3.25 or a boss wave's 6.
    auto planesAt = [](float w) {
        render::ViewPlanes planes;
        planes.fill({0.0f, 1.0f, 0.0f, 1000.0f});
        planes[0] = {1.0f, 0.0f, 0.0f, w};
        return planes;
    };
    content::MobDef def = content::builtinMob(1);
    def.bossAttacks = true;
    struct Case {
        float w;
        int32_t kind, remaining, post;
        bool valid, hitboxes, visible;
    };
    for (const Case c :
         {Case{-1.055f, 0, 0, 0, true, false, true}, Case{-1.065f, 0, 0, 0, true, false, false},
          Case{-1.065f, 0, 0, 0, true, true, true}, Case{-1.065f, 0, 0, 0, false, false, true},
          Case{-3.655f, 3, 5, 0, true, false, true}, Case{-3.665f, 3, 5, 0, true, false, false},
          Case{-3.655f, 3, 0, 5, true, false, false}, Case{-6.405f, 5, 0, 5, true, false, true},
          Case{-6.415f, 5, 0, 5, true, false, false}, Case{-6.405f, 5, 0, 0, true, false, false}}) {
        Mob mob;
        mob.kind = 1;
        mob.attackKind = c.kind;
        mob.windupRemaining = c.remaining;
        mob.postAttackTimer = c.post;
        EXPECT_EQ(render::mobInView(mob, def, planesAt(c.w), c.valid, c.hitboxes), c.visible)
            << c.w << " kind " << c.kind << " hitboxes " << c.hitboxes;
    }
}

TEST(MobFigures, PlacementBetweenStepsAndTheBobOfTheWalk) {
    struct Case {
        const char* what;
        bool snapshot;
        double velocityX, velocityZ, alpha, phase, bob;
    };
    // Phase 1 now (0.2 in the snapshot); moving from x 10 to 12.
    const Case cases[] = {
        {"standing", false, 0.0, 0.0, 0.5, 1.0, 0.0},
        {"slow: phase runs on with the speed", false, 0.6, 0.0, 0.5, 1.0 + 0.6 * 0.5 * 0.225,
         std::sin(1.0 + 0.6 * 0.5 * 0.225) * 0.08 * 0.6},
        {"speed 1: full bob", false, 0.0, 1.0, 1.0, 1.225, std::sin(1.225) * 0.08},
        {"faster bobs no higher", false, 3.0, 4.0, 0.0, 1.0, std::sin(1.0) * 0.08},
        {"snapshot: between the two phases", true, 3.0, 4.0, 0.25, 0.4, std::sin(0.4) * 0.08},
    };
    for (const Case& c : cases) {
        Mob mob;
        mob.prevX = 10.0;
        mob.x = 12.0;
        mob.walkPhase = 1.0;
        mob.velocityX = c.velocityX;
        mob.velocityZ = c.velocityZ;
        const MobSnapshot snapshot{0.0, 0.2};
        const render::MobPlacement place = render::placeMob(mob, c.snapshot ? &snapshot : nullptr, c.alpha);
        EXPECT_NEAR(place.position[0], 10.0 + 2.0 * c.alpha, 1e-12) << c.what;
        EXPECT_NEAR(place.speed, std::hypot(c.velocityX, c.velocityZ), 1e-12) << c.what;
        EXPECT_NEAR(place.phase, c.phase, 1e-12) << c.what;
        EXPECT_NEAR(place.bob, c.bob, 1e-12) << c.what;
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

TEST(MobFigures, WindUpBarFillsFromEmptyToFullAndRingsReachTheirRange) {
    struct Case {
        const char* what;
        int32_t kind, remaining, post;
        double alpha;
        std::size_t box;  // the bar's fill, else a ring's first marker
        Double3 min, max;
    };
    // Mob at (10, 64, 20): the bar at 64 + 1.9 + 0.16, turned by view yaw 0; the heavy ring (range
    // 3.25) on the ground at 63, the wave ring (range 6 over 24 ticks) at 64.06.
    const Case cases[] = {
        {"bar empty as it starts", 0, 10, 0, 0.0, 1, {9.972, 66.058, 19.65}, {10.028, 66.098, 19.65}},
        {"bar full at its end", 0, 1, 0, 1.0, 1, {9.972, 66.058, 19.65}, {10.028, 66.098, 20.35}},
        {"heavy ring", 3, 5, 0, 0.0, 2, {13.19, 63.0, 19.88}, {13.31, 63.035, 20.12}},
        {"first rush marker", 4, 5, 0, 0.0, 2, {10.27, 64.04, 19.87}, {10.53, 64.085, 20.13}},
        {"last rush marker", 4, 5, 0, 0.0, 21, {17.87, 64.04, 19.87}, {18.13, 64.085, 20.13}},
        {"wave ring winding up", 5, 5, 0, 0.0, 2, {15.93, 64.06, 19.84}, {16.07, 64.11, 20.16}},
        {"wave ring at its start", 5, 0, 24, 0.0, 0, {9.93, 64.06, 19.84}, {10.07, 64.11, 20.16}},
        {"wave ring half-way", 5, 0, 12, 0.0, 0, {12.93, 64.06, 19.84}, {13.07, 64.11, 20.16}},
    };
    for (const Case& c : cases) {
        Mob mob;
        mob.x = mob.prevX = 10.0;
        mob.y = mob.prevY = 64.0;
        mob.z = mob.prevZ = 20.0;
        mob.attackKind = c.kind;
        mob.windupRemaining = c.remaining;
        mob.windupLength = 10;
        mob.postAttackTimer = c.post;
        content::MobDef def = content::builtinMob(1);
        def.bossAttacks = true;
        render::TelegraphView view;
        view.alpha = c.alpha;
        view.playerX = 10.0;
        view.playerZ = 20.0;
        view.groundY = 63.0;
        std::vector<MeshVertex> list;
        render::emitTelegraphs(list, mob, def, render::placeMob(mob, nullptr, 0.0), 1.9, view);
        constexpr std::size_t box = render::kBoxVertices;
        ASSERT_GE(list.size(), (c.box + 1) * box) << c.what;
        expectBounds(boundsOf(list, c.box * box, box), c.min, c.max, c.what);
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
