#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <numbers>
#include <tuple>

#include "render/figures/npc_animation.h"
#include "render/figures/npc_figures.h"

namespace {

using render::Double3;

TEST(ActorIdleMotion, ValuesAttackAlertAndClamps) {
    struct Case {
        const char* name;
        render::ActorIdleState state;
        double amplitude;
        double bob, a1, a2, a3;
    };
    const Case cases[] = {
        {"rest at t 0", {0.0, 1.0, 0.0, 0.0}, 1.0, 0.0, 0.0, 0.0, 0.029451},
        {"t 1, speed 2", {1.0, 2.0, 0.0, 0.0}, 1.0, 0.005456, 0.073051, 0.031192, 0.030212},
        {"attack ramping in", {0.0, 1.0, 0.175, 0.0}, 1.0, 0.0, 0.0, 0.0, 1.26789},
        {"attack at full reach", {0.0, 1.0, 0.35, 0.0}, 1.0, 0.0, 0.0, 0.0, 2.513312},
        {"attack ramping out", {0.0, 1.0, 1.45, 0.0}, 1.0, 0.0, 0.0, 0.0, 2.599208},
        {"attack over at 1.7", {0.0, 1.0, 1.7, 0.0}, 1.0, 0.0, 0.0, 0.0, 0.029451},
        {"attack clamped to 2.9", {0.0, 1.0, 0.35, 0.0}, 2.0, 0.0, 0.0, 0.0, 2.9},
        {"alert half way", {0.0, 1.0, 0.0, 0.2}, 1.0, 0.0, 0.0, 0.09, 0.029451},
        {"alert full at 0.4", {0.0, 1.0, 0.0, 0.4}, 1.0, 0.0, 0.0, 0.18, 0.029451},
        {"alert beyond 0.4", {0.0, 1.0, 0.0, 0.8}, 1.0, 0.0, 0.0, 0.18, 0.029451},
        {"alert clamped to 0.6", {0.0, 1.0, 0.0, 0.4}, 4.0, 0.0, 0.0, 0.6, 0.117806},
        {"angle 1 clamped up", {1.0, 1.0, 0.0, 0.0}, 20.0, 0.109116, 0.25, 0.6, 0.604247},
        {"angle 1 clamped down", {5.0, 1.0, 0.0, 0.0}, 20.0, -0.065283, -0.25, -0.493878, 0.150584},
        {"angle 2 clamped down", {4.0, 1.0, 0.0, 0.0}, 20.0, 0.118723, 0.145962, -0.6, -0.540935},
        {"angle 3 clamped down", {3.0, 1.0, 0.0, 0.0}, 20.0, -0.033530, 0.25, -0.110422, -0.6},
    };
    for (const Case& c : cases) {
        const render::ActorMotion m = render::actorIdleMotion(c.state, true, c.amplitude);
        EXPECT_NEAR(m.bob, c.bob, 1e-6) << c.name;
        EXPECT_NEAR(m.angles[0], c.a1, 1e-6) << c.name;
        EXPECT_NEAR(m.angles[1], c.a2, 1e-6) << c.name;
        EXPECT_NEAR(m.angles[2], c.a3, 1e-6) << c.name;
    }
    const render::ActorMotion still = render::actorIdleMotion({1.0, 2.0, 0.35, 0.4}, false, 1.0);
    EXPECT_EQ(still.bob, 0.0);
    EXPECT_EQ(still.angles, (std::array<double, 3>{}));
}

TEST(ActorIdleMotion, BlinkWindowEdges) {
    // fmod(t + 1.8, 4.7) < 0.13: the window opens at t 2.9 and closes at 3.03.
    const struct {
        double time, amplitude;
        bool blink;
    } cases[] = {{2.8999, 1.0, false}, {2.9, 1.0, true}, {3.0299, 1.0, true},
                 {3.0301, 1.0, false}, {7.6, 1.0, true},  {2.95, 0.0, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(render::actorIdleMotion({c.time, 1.0, 0.0, 0.0}, true, c.amplitude).blink, c.blink)
            << "t " << c.time << " amplitude " << c.amplitude;
    }
}

TEST(NpcPartPoint, TurnsLiftsAndClampsIntoTheCylinder) {
    render::NpcBody body;  // height 1.82, half-width 0.3
    body.motion.bob = 0.05;
    body.motion.angles = {0.0, std::numbers::pi / 2.0, 0.0};
    const Double3 shoulder{0.0, 1.35, 0.1};
    const double r = 0.3 / std::sqrt(2.0);
    const struct {
        const char* name;
        Double3 point;
        uint32_t part;
        Double3 expected;
    } cases[] = {
        {"inside, body lifted by bob", {0.1, 1.0, -0.1}, 0, {0.1, 1.05, -0.1}},
        {"x at the half-width stays", {0.3, 1.0, 0.0}, 4, {0.3, 1.0, 0.0}},
        {"x past the half-width", {0.31, 1.0, 0.0}, 4, {0.3, 1.0, 0.0}},
        {"corner pulled onto the circle", {0.3, 1.0, 0.3}, 4, {r, 1.0, r}},
        {"feet at 0.01", {0.0, 0.0, 0.0}, 4, {0.0, 0.01, 0.0}},
        {"top at height + 0.03", {0.0, 1.86, 0.0}, 4, {0.0, 1.85, 0.0}},
        // Turned forwards to x 0.45, held at 0.3, then onto the circle.
        {"raised arm pulled back", {0.0, 0.9, 0.1}, 2, {0.09 / std::hypot(0.3, 0.1), 1.35, 0.03 / std::hypot(0.3, 0.1)}},
    };
    for (const auto& c : cases) {
        const Double3 p = render::npcPartPoint(c.point, c.part, c.part == 2 ? shoulder : Double3{}, body);
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(p[k], c.expected[k], 1e-9) << c.name << " axis " << k;
    }
}

render::NpcBody standingBody(double height) {
    render::NpcBody body;
    body.height = height;
    body.halfWidth = 10.0;  // no clamping
    body.motion.angles = {0.0, -0.4, 1.1};  // a turned head would meet the unscaled headroom
    return body;
}

TEST(BoxFigure, TallerBodyIsScaledEvenlyPivotsIncluded) {
    std::vector<render::MeshVertex> normal, tall;
    render::emitBoxFigure(normal, standingBody(1.82));
    render::emitBoxFigure(tall, standingBody(3.64));
    ASSERT_EQ(normal.size(), 12u * 36u);
    ASSERT_EQ(tall.size(), normal.size());
    for (std::size_t i = 0; i < normal.size(); ++i) {
        EXPECT_NEAR(tall[i].x, 2.0f * normal[i].x, 1e-5f) << i;
        EXPECT_NEAR(tall[i].y, 2.0f * normal[i].y, 1e-5f) << i;
        EXPECT_NEAR(tall[i].z, 2.0f * normal[i].z, 1e-5f) << i;
    }
}

TEST(BoxFigure, EveryBoxWithItsColourPartAndPivot) {
    struct Box {
        const char* name;
        Double3 min, max, colour;
        uint32_t part;
        Double3 pivot;
    };
    constexpr Double3 trouser{0.19, 0.24, 0.31}, sleeve{0.25, 0.49, 0.44}, skin{0.73, 0.53, 0.35},
        eye{0.05, 0.045, 0.04}, head{0.0, 1.43, 0.0};
    const Box boxes[] = {
        {"leg -z", {-0.12, 0.02, -0.23}, {0.12, 0.72, -0.045}, trouser, 4, {}},
        {"leg +z", {-0.12, 0.02, 0.045}, {0.12, 0.72, 0.23}, trouser, 4, {}},
        {"torso", {-0.18, 0.7, -0.24}, {0.18, 1.41, 0.24}, {0.2, 0.43, 0.4}, 0, {}},
        {"belt", {-0.18, 0.7, -0.24}, {0.18, 0.79, 0.24}, {0.36, 0.25, 0.13}, 0, {}},
        {"head", {-0.16, 1.43, -0.19}, {0.18, 1.79, 0.19}, skin, 1, head},
        {"hair", {-0.18, 1.74, -0.21}, {0.19, 1.83, 0.21}, {0.26, 0.16, 0.1}, 1, head},
        {"arm -1", {-0.075, 0.9, -0.295}, {0.075, 1.36, -0.215}, sleeve, 3, {0.0, 1.35, -0.255}},
        {"hand -1", {-0.075, 0.81, -0.295}, {0.075, 0.96, -0.215}, skin, 3, {0.0, 1.35, -0.255}},
        {"eye -1", {0.181, 1.61, -0.11}, {0.188, 1.67, -0.06}, eye, 1, head},
        {"arm +1", {-0.075, 0.9, 0.215}, {0.075, 1.36, 0.295}, sleeve, 2, {0.0, 1.35, 0.255}},
        {"hand +1", {-0.075, 0.81, 0.215}, {0.075, 0.96, 0.295}, skin, 2, {0.0, 1.35, 0.255}},
        {"eye +1", {0.181, 1.61, 0.06}, {0.188, 1.67, 0.11}, eye, 1, head},
    };
    render::NpcBody rest = standingBody(1.82), posed = rest;
    rest.motion.angles = {};
    posed.motion.bob = 0.02;
    posed.motion.angles = {0.3, 0.5, -0.4};
    std::vector<render::MeshVertex> still, moved;
    render::emitBoxFigure(still, rest);
    render::emitBoxFigure(moved, posed);
    ASSERT_EQ(still.size(), std::size(boxes) * 36);
    const auto bounds = [](const auto first, const auto last, int axis) {
        const auto at = [axis](const render::MeshVertex& v) {
            return axis == 0 ? v.x : axis == 1 ? v.y : v.z;
        };
        const auto [low, high] =
            std::minmax_element(first, last, [&at](const auto& a, const auto& b) { return at(a) < at(b); });
        return std::pair<double, double>{at(*low), at(*high)};
    };
    for (std::size_t i = 0; i < std::size(boxes); ++i) {
        const Box& box = boxes[i];
        const auto at = static_cast<std::ptrdiff_t>(i * 36);
        // Posed, the box spans what its eight corners span when posed as its part about its pivot.
        std::vector<Double3> corners;
        for (int c = 0; c < 8; ++c) {
            corners.push_back(
                render::npcPartPoint({(c & 1) ? box.max[0] : box.min[0], (c & 2) ? box.max[1] : box.min[1],
                                      (c & 4) ? box.max[2] : box.min[2]},
                                     box.part, box.pivot, posed));
        }
        for (int k = 0; k < 3; ++k) {
            const auto [low, high] = bounds(still.begin() + at, still.begin() + at + 36, k);
            EXPECT_NEAR(low, box.min[k], 1e-5) << box.name << " axis " << k;
            EXPECT_NEAR(high, box.max[k], 1e-5) << box.name << " axis " << k;
            const auto [posedLow, posedHigh] = bounds(moved.begin() + at, moved.begin() + at + 36, k);
            const auto [cornerLow, cornerHigh] =
                std::minmax_element(corners.begin(), corners.end(),
                                    [k](const Double3& a, const Double3& b) { return a[k] < b[k]; });
            EXPECT_NEAR(posedLow, (*cornerLow)[k], 1e-5) << box.name << " posed axis " << k;
            EXPECT_NEAR(posedHigh, (*cornerHigh)[k], 1e-5) << box.name << " posed axis " << k;
        }
        const render::MeshVertex& top = still[static_cast<std::size_t>(at) + 18];  // the +y face, shade 1
        EXPECT_NEAR(top.r, box.colour[0], 1e-6) << box.name;
        EXPECT_NEAR(top.g, box.colour[1], 1e-6) << box.name;
        EXPECT_NEAR(top.b, box.colour[2], 1e-6) << box.name;
    }
}

TEST(BoxFigure, BlinkNarrowsTheEyes) {
    render::NpcBody body = standingBody(1.82);
    body.motion.angles = {};
    body.motion.blink = true;
    std::vector<render::MeshVertex> list;
    render::emitBoxFigure(list, body);
    for (const std::size_t eye : {8u, 11u}) {
        const auto first = list.begin() + static_cast<std::ptrdiff_t>(eye * 36);
        const auto [low, high] = std::minmax_element(first, first + 36, [](const auto& a, const auto& b) {
            return a.y < b.y;
        });
        EXPECT_NEAR(low->y, 1.64f, 1e-5f);
        EXPECT_NEAR(high->y, 1.65f, 1e-5f);
    }
}

TEST(ModelFigure, BonesPoseVerticesAndABadBoneTakesThePartPath) {
    const std::vector<ModelVertex> vertices = {{0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0, 1.0f, 0},
                                               {0.1f, 0.5f, 0.0f, 0.0f, 0.0f, 0, 1.0f, 0}};
    const std::vector<uint32_t> parts = {0, 0};
    const std::vector<std::array<double, 12>> bones = {{1, 0, 0, 0, 0, 1, 0, 8, 0, 0, 1, 0}};  // up half a block
    render::NpcModelFigure model;
    model.vertices = &vertices;
    model.parts = &parts;
    model.scale = 0.5;
    render::NpcBody body;
    const std::vector<uint32_t> goodBones = {0, 0};
    model.vertexBones = &goodBones;
    model.bones = &bones;
    EXPECT_NEAR(render::modelFigurePoint(model, 0, body)[1], (1.0 + 0.5) * 0.5 + 0.01, 1e-9);
    EXPECT_NEAR(render::modelFigurePoint(model, 1, body)[1], (0.5 + 0.5) * 0.5 + 0.01, 1e-9);
    const std::vector<uint32_t> badBones = {0, 1};  // bone 1 was never sampled
    model.vertexBones = &badBones;
    EXPECT_NEAR(render::modelFigurePoint(model, 1, body)[1], 0.5 * 0.5 + 0.01, 1e-9);
    EXPECT_NEAR(render::modelFigurePoint(model, 1, body)[0], 0.05, 1e-9);
}

TEST(ModelFigure, LegsSwingOppositeWaysAboutTheHip) {
    // One vertex at the feet per part; the hip is at 0.38 of the 1.82 height.
    const std::vector<ModelVertex> vertices(3, ModelVertex{0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0, 1.0f, 0});
    const std::vector<uint32_t> parts = {4, 5, 0};
    render::NpcModelFigure model;
    model.vertices = &vertices;
    model.parts = &parts;
    model.walkPhase = std::numbers::pi / 2;
    model.legSwing = 0.3;
    render::NpcBody body = standingBody(1.82);
    body.motion.angles = {};
    const double below = 0.01 - 1.82 * 0.38;  // the foot point under the hip
    const struct {
        std::size_t vertex;
        double x, y;
    } rows[] = {{0, -std::sin(0.3) * below, 1.82 * 0.38 + std::cos(0.3) * below},
                {1, std::sin(0.3) * below, 1.82 * 0.38 + std::cos(0.3) * below},
                {2, 0.0, 0.01}};
    for (const auto& row : rows) {
        const Double3 p = render::modelFigurePoint(model, row.vertex, body);
        EXPECT_NEAR(p[0], row.x, 1e-9) << "vertex " << row.vertex;
        EXPECT_NEAR(p[1], row.y, 1e-9) << "vertex " << row.vertex;
    }
    // The swing grows with the walk up to a full walk and the amplitude.
    for (const auto& [walk, amplitude, swing] :
         {std::tuple{0.0, 1.0, 0.0}, std::tuple{-0.5, 1.0, 0.0}, std::tuple{1.0, 1.0, 0.45},
          std::tuple{2.0, 1.0, 0.45}, std::tuple{0.5, 2.0, 0.45}}) {
        EXPECT_NEAR(render::modelLegSwing(walk, amplitude), swing, 1e-12) << walk << " " << amplitude;
    }
}

TEST(NpcBoneMatrices, RestIsIdentityAndAChildFollowsItsParent) {
    bbanim::Rig rig;
    rig.bones.resize(2);
    rig.bones[0].origin = {0.0, 24.0, 0.0};
    rig.bones[1].origin = {0.0, 28.0, 0.0};
    rig.bones[1].parent = 0;
    for (std::size_t b = 0; b < 2; ++b) {
        const bbanim::Bone* parent = b == 0 ? nullptr : &rig.bones[0];
        rig.bones[b].rest = bbanim::localTransform(rig.bones[b], parent);
        if (parent) rig.bones[b].rest = bbanim::composeTransform(parent->rest, rig.bones[b].rest);
        rig.bones[b].inverseRest = bbanim::invertRigid(rig.bones[b].rest);
    }
    const std::array<double, 12> identity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};
    for (const auto& m : render::npcBoneMatrices(rig, std::vector<bbanim::BonePose>(2)))
        for (std::size_t k = 0; k < 12; ++k) EXPECT_NEAR(m[k], identity[k], 1e-12);
    std::vector<bbanim::BonePose> poses(2);
    poses[0].rotation = {0.0, 0.0, 90.0};  // the parent turns a quarter about z at y 24
    const auto posed = render::npcBoneMatrices(rig, poses);
    // The child's point (0, 32, 0), 8 above the parent's pivot, ends 8 along -x.
    const auto& m = posed[1];
    EXPECT_NEAR(m[0] * 0 + m[1] * 32 + m[2] * 0 + m[3], -8.0, 1e-9);
    EXPECT_NEAR(m[4] * 0 + m[5] * 32 + m[6] * 0 + m[7], 24.0, 1e-9);
}

}  // namespace
