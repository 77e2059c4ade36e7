#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "app/app.h"
#include "render/figures/hand_placement.h"
#include "render/figures/held_item.h"
#include "render/figures/player_body.h"
#include "support/fresh_registry.h"

namespace {

using render::Double3;

void expectNear(const Double3& got, const Double3& want, const char* what) {
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(got[k], want[k], 1e-6) << what << " axis " << k;
}

TEST(SwingAmount, CurveAtHandComputedTimes) {
    struct Row {
        const char* what;
        render::SwingInputs in;
        float expected;
    };
    const Row rows[] = {
        {"exactly 0 with combat", {0.0f, 0, 0, true, true, 0.0}, 0.0f},
        {"plain quarter", {0.25f, 0, 0, false, false, 0.0}, 0.70710678f},
        {"plain half", {0.5f, 0, 0, false, false, 0.0}, 1.0f},
        {"light combat half", {0.5f, 0, 0, false, true, 0.0}, 0.975f},
        {"heavy combat half", {0.5f, 0, 0, true, true, 0.0}, 1.175f},
        {"past the end clamps to 1", {1.5f, 0, 0, true, true, 0.0}, 0.0f},
        {"light charge half a step in", {0.5f, 10, 20, false, false, 0.025}, -0.18375f},
        {"heavy charge half a step in", {0.0f, 10, 20, true, false, 0.025}, -0.44625f},
        {"charge of length 0 counts as 1", {0.0f, 1, 0, true, false, 0.0}, 0.0f},
    };
    for (const Row& row : rows) EXPECT_NEAR(render::swingAmount(row.in), row.expected, 1e-5f) << row.what;
}

TEST(HeldAction, ChoosesTheFirstThatApplies) {
    struct Row {
        render::ActionInputs in;
        render::HeldAction expected;
    };
    const Row rows[] = {
        {{false, 0.0f, false, false, 0.0f, false, false, 0.1f}, render::kHeldIdle},
        {{false, 0.0f, false, false, 0.0f, false, false, 0.11f}, render::kHeldWalk},
        {{false, 0.0f, false, false, 0.2f, false, false, 1.0f}, render::kHeldAttack},
        {{false, 0.0f, false, false, 0.0f, true, false, 0.0f}, render::kHeldAttack},
        {{false, 0.0f, false, true, 0.2f, false, false, 1.0f}, render::kHeldUse},
        {{false, 0.01f, true, true, 0.2f, false, false, 1.0f}, render::kHeldBow},
        {{true, 0.0f, false, false, 0.0f, false, false, 0.0f}, render::kHeldBow},
    };
    for (const Row& row : rows) EXPECT_EQ(render::heldAction(row.in), row.expected);
}

TEST(HeldClock, RestartsOnNewItemActionOrSwing) {
    struct Step {
        int32_t id;
        render::HeldAction action;
        float swing;
        double now, expectedStart;
    };
    const Step steps[] = {
        {5, render::kHeldIdle, 0.0f, 1.0, 1.0},   {5, render::kHeldIdle, 0.0f, 2.0, 1.0},
        {5, render::kHeldAttack, 0.3f, 3.0, 3.0}, {5, render::kHeldAttack, 0.6f, 4.0, 3.0},
        {5, render::kHeldAttack, 0.1f, 5.0, 5.0}, {6, render::kHeldAttack, 0.2f, 6.0, 6.0},
    };
    render::HeldClock clock;
    for (const Step& s : steps) {
        render::advanceHeldClock(clock, s.id, s.action, s.swing, s.now);
        EXPECT_DOUBLE_EQ(clock.start, s.expectedStart) << "at " << s.now;
    }
}

TEST(UseFraction, LaterActionWinsAndTheResultStaysInRange) {
    const TimedUse off{}, at100{true, 0, 100}, at120{true, 1, 120}, future{true, 0, 500};
    struct Row {
        std::array<TimedUse, 2> uses;
        uint64_t tick;
        float expected;
    };
    const Row rows[] = {
        {{off, off}, 300, 0.0f},       {{at100, off}, 131, 31.0f / 32.0f}, {{at100, off}, 132, 1.0f},
        {{at100, off}, 400, 1.0f},     {{at100, at120}, 136, 0.5f},        {{future, off}, 10, 0.0f},
    };
    for (const Row& row : rows) EXPECT_FLOAT_EQ(render::useFraction(row.uses, row.tick), row.expected);
}

TEST(HeldGripPoint, ToolsLowOnTheHandleEverythingElseInTheMiddle) {
    voxel::BlockDef def;
    def.modelBounds = {0.0f, 0.0f, 0.2f, 1.0f, 2.0f, 0.4f};
    const struct {
        const char* tool;
        const char* behavior;
        float y;
    } rows[] = {{"sword", "", 0.36f}, {"", "", 1.0f}, {"sword", "bow", 1.0f}, {"axe", "shield", 1.0f}};
    for (const auto& row : rows) {
        def.tool = row.tool;
        def.behavior = row.behavior;
        const content::Float3 grip = render::heldGripPoint(def);
        EXPECT_FLOAT_EQ(grip[0], 0.5f);
        EXPECT_FLOAT_EQ(grip[1], row.y) << row.tool << "/" << row.behavior;
        EXPECT_FLOAT_EQ(grip[2], 0.3f);
    }
}

TEST(FirstPersonHandOffset, BobSwingBowAndShield) {
    const double rest = 0.5649375;
    struct Row {
        const char* what;
        render::HandOffsetInputs in;
        Double3 expected;
    };
    const float quarter = std::numbers::pi_v<float> / 2.0f;
    const Row rows[] = {
        {"rest", {}, {rest, -0.34, 0.725}},
        {"authored display", {false, 0, 0, 0, true}, {rest, -0.519875, 0.725}},
        {"walking", {false, quarter, 2.0f}, {rest - 0.03, -0.316, 0.725}},
        {"walking under a clip", {true, quarter, 2.0f, 1.0f}, {rest, -0.34, 0.725}},
        {"full swing", {false, 0, 0, 1.0f}, {rest - 0.08, -0.44, 0.575}},
        {"drawn bow", {false, 0, 0, 0, false, true, 1.0f}, {rest - 0.13, -0.34, 0.725}},
        {"raised shield", {false, 0, 0, 0, false, false, 0, true, 1.0f, 10}, {rest - 0.13, -0.19, 0.805}},
        {"raise without shield", {false, 0, 0, 0, false, false, 0, false, 1.0f, 10}, {rest, -0.34, 0.725}},
        {"bow release", {false, 0, 0, 0, false, false, 0, false, 0, 0, 0.5f}, {rest, -0.34, 0.735}},
    };
    for (const Row& row : rows) expectNear(render::firstPersonHandOffset(row.in), row.expected, row.what);
}

TEST(HandWorldPosition, DefaultArmRestingRaisedSwungWalkingAndTurned) {
    const render::ArmBounds arm;  // no player mesh: hand 0.13 below the pivot at 0.93
    const Double3 eye{0.0, 1.62, 0.0};
    const float quarter = std::numbers::pi_v<float> / 2.0f;
    // At yaw 0 the body's -z (its front) is the world's +x.
    const struct {
        const char* what;
        render::HandPoseInputs in;
        double yaw;
        Double3 expected;
    } rows[] = {
        {"resting", {}, 0.0, {0.0, 0.8, 0.35}},
        {"raised level", {true, 0.0f}, 0.0, {0.6, 1.4, 0.35}},
        {"raised looking straight down hangs", {true, -quarter}, 0.0, {0.0, 0.8, 0.35}},
        {"raised ignores the swing", {true, 0.0f, 1.0f}, 0.0, {0.6, 1.4, 0.35}},
        {"full swing", {false, 0.0f, 1.0f}, 0.0, {0.13 * std::sin(0.85), 0.93 - 0.13 * std::cos(0.85), 0.35}},
        {"walking",
         {false, 0.0f, 0.0f, quarter, 1.0f},
         0.0,
         {-0.13 * std::sin(0.55), 0.93 - 0.13 * std::cos(0.55), 0.35}},
        {"turned", {}, std::numbers::pi / 2.0, {-0.35, 0.8, 0.0}},
    };
    for (const auto& row : rows)
        expectNear(render::handWorldPosition(arm, row.in, eye, row.yaw), row.expected, row.what);
}

VxmVertex vertex(float x, float y, float z, uint32_t part, float pivotY = 1.0f, float pivotZ = 0.0f) {
    return VxmVertex{x, y, z, 0.0f, 0.0f, 0, 0.0f, pivotY, pivotZ, 0.0f, 0.0f, 0.0f, part};
}

TEST(HoldingArmBounds, MeasuresPartTwoAndFallsBackWithoutHeight) {
    const std::vector<VxmVertex> mesh{vertex(0.3f, 0.6f, -0.1f, 2), vertex(9.0f, 9.0f, 9.0f, 0),
                                      vertex(0.5f, 1.4f, 0.1f, 2, 1.3f, 0.05f)};
    const render::ArmBounds arm = render::holdingArmBounds(mesh);
    EXPECT_NEAR(arm.cx, 0.4, 1e-6);
    EXPECT_NEAR(arm.cz, 0.0, 1e-6);
    EXPECT_NEAR(arm.handY, 0.696, 1e-6);
    EXPECT_NEAR(arm.top, 1.4, 1e-6);
    EXPECT_NEAR(arm.pivotY, 1.3, 1e-6);
    EXPECT_NEAR(arm.pivotZ, 0.05, 1e-6);
    const render::ArmBounds flat = render::holdingArmBounds({vertex(0.3f, 1.0f, 0.0f, 2), vertex(0.5f, 1.0f, 0.0f, 2)});
    EXPECT_DOUBLE_EQ(flat.handY, 0.8);
    EXPECT_DOUBLE_EQ(flat.pivotY, 0.93);
}

TEST(RemotePlayer, LimbsSwingInOppositePairs) {
    // One point a block below the pivot per body part.
    std::vector<VxmVertex> mesh;
    for (uint32_t part = 0; part < 5; ++part) mesh.push_back(vertex(0.0f, 0.0f, 0.0f, part));
    std::vector<render::MeshVertex> out;
    const float quarter = std::numbers::pi_v<float> / 2.0f;
    ASSERT_TRUE(render::appendRemotePlayer(out, mesh, {10.0f, 6.62f, 20.0f, 0.0f, 0.0f, 1.0f, quarter}));
    ASSERT_EQ(out.size(), 5u);
    const double s = std::sin(0.55), c = std::cos(0.55);
    // Yaw 0: the body's +z is the world's -x.
    const double expectedX[5] = {10.0, 10.0 + s, 10.0 - s, 10.0 - s, 10.0 + s};
    for (int part = 0; part < 5; ++part) {
        EXPECT_NEAR(out[part].x, expectedX[part], 1e-5) << "part " << part;
        EXPECT_NEAR(out[part].y, part == 0 ? 5.0 : 6.0 - c, 1e-5) << "part " << part;
        EXPECT_FLOAT_EQ(out[part].layer, render::kSkinMaterial);
    }
    out.clear();
    ASSERT_TRUE(render::appendRemotePlayer(out, mesh, {10.0f, 6.62f, 20.0f, 0.0f, NAN, 0.0f, quarter}));
    EXPECT_NEAR(out[1].x, 10.0, 1e-6) << "standing still keeps the rest pose; the spare value is not read";
    for (const std::size_t field : {0u, 1u, 2u, 3u, 5u, 6u}) {
        std::array<float, 7> pose{10.0f, 6.62f, 20.0f, 0.0f, 0.0f, 1.0f, quarter};
        pose[field] = field % 2 ? INFINITY : NAN;
        out.clear();
        EXPECT_FALSE(render::appendRemotePlayer(out, mesh, pose)) << "field " << field;
        EXPECT_TRUE(out.empty());
    }
}

TEST(PoseAboutPivot, TurnsAboutXThenYThenZ) {
    const float quarter = std::numbers::pi_v<float> / 2.0f;
    const struct {
        const char* what;
        Double3 point, rotation, expected;  // pivot (0, 1, 0)
    } rows[] = {
        {"no rotation", {0.3, 0.5, 0.2}, {0, 0, 0}, {0.3, 0.5, 0.2}},
        {"x: down onto +z", {0, 0, 0}, {quarter, 0, 0}, {0, 1, -1}},
        {"y: +x onto -z", {1, 1, 0}, {0, quarter, 0}, {0, 1, -1}},
        {"z: +x onto +y", {1, 1, 0}, {0, 0, quarter}, {0, 2, 0}},
        {"x before z", {0, 0, 0}, {quarter, 0, quarter}, {0, 1, -1}},
        {"y before z", {1, 1, 0}, {0, quarter, quarter}, {0, 1, -1}},
    };
    for (const auto& row : rows) {
        VxmVertex v = vertex(float(row.point[0]), float(row.point[1]), float(row.point[2]), 0);
        v.rotationX = float(row.rotation[0]), v.rotationY = float(row.rotation[1]),
        v.rotationZ = float(row.rotation[2]);
        expectNear(render::poseAboutPivot(v), row.expected, row.what);
    }
}

// One triangle per body part hanging from the pivot (0, 1, 0): its first corner 0.6 below it.
std::vector<VxmVertex> limbTriangles() {
    std::vector<VxmVertex> mesh;
    for (uint32_t part = 0; part < 5; ++part) {
        for (const VxmVertex& v :
             {vertex(0.0f, 0.4f, 0.0f, part), vertex(0.0f, 1.4f, 0.0f, part), vertex(0.1f, 1.4f, 0.0f, part)})
            mesh.push_back(v);
    }
    return mesh;
}

TEST(ThirdPersonBody, EveryPartSwingsAndTheHoldingArmRisesWithThePitch) {
    const double quarter = std::numbers::pi / 2.0;
    // At yaw 0 the body's front (-z) is the world's +x: a corner turned by A ends at (0.6 sin A, 1 - 0.6 cos
    // A).
    const struct {
        const char* what;
        bool raised;
        double pitch;
        uint32_t part;
        double x, y;
    } rows[] = {
        {"body still", false, 0.0, 0, 0.0, 0.4},
        {"arm 1 forward", false, 0.0, 1, 0.6 * std::sin(0.3), 1.0 - 0.6 * std::cos(0.3)},
        {"holding arm back and swung", false, 0.0, 2, 0.6 * std::sin(0.55), 1.0 - 0.6 * std::cos(0.55)},
        {"leg 3 back", false, 0.0, 3, -0.6 * std::sin(0.3), 1.0 - 0.6 * std::cos(0.3)},
        {"leg 4 forward", false, 0.0, 4, 0.6 * std::sin(0.3), 1.0 - 0.6 * std::cos(0.3)},
        // Raised: turned by pitch + pi / 2 about the arm's top at 1.4, the corner 1.0 below it.
        {"raised level", true, 0.0, 2, 1.0, 1.4},
        {"raised looking down", true, -quarter, 2, 0.0, 0.4},
        {"raised looking up", true, 0.5, 2, std::cos(0.5), 1.4 + std::sin(0.5)},
        {"the other arm keeps walking", true, 0.5, 1, 0.6 * std::sin(0.3), 1.0 - 0.6 * std::cos(0.3)},
    };
    for (const auto& row : rows) {
        render::BodyPose pose;
        pose.eye = {0.0, 1.62, 0.0};
        pose.pitch = row.pitch;
        pose.limb = 0.3;
        pose.swing = 1.0;  // the holding arm: -0.3 + 0.85
        pose.raised = row.raised;
        std::vector<render::MeshVertex> out;
        render::appendThirdPersonBody(out, limbTriangles(), pose, {});
        ASSERT_EQ(out.size(), 15u);
        const render::MeshVertex& v = out[row.part * 3];
        EXPECT_NEAR(v.x, row.x, 1e-5) << row.what;
        EXPECT_NEAR(v.y, row.y, 1e-5) << row.what;
        EXPECT_NEAR(v.z, 0.0, 1e-5) << row.what;
        EXPECT_EQ(v.layer, render::kSkinMaterial) << row.what;
    }
}

TEST(ThirdPersonBody, ArmourShellsTakeTheirSlotsColourAndTheFacesShade) {
    // Colour base by slot: head and body 0.63, legs 0.57, feet 0.51.
    for (const auto& [slot, base] :
         {std::pair{0, 0.63f}, std::pair{1, 0.63f}, std::pair{2, 0.57f}, std::pair{3, 0.51f}}) {
        const std::array<float, 3> c = render::armourColour(slot, 0.5f);
        EXPECT_FLOAT_EQ(c[0], base * 0.5f) << slot;
        EXPECT_FLOAT_EQ(c[1], (base + 0.05f) * 0.5f) << slot;
        EXPECT_FLOAT_EQ(c[2], (base + 0.1f) * 0.5f) << slot;
    }
    // Body triangles at chest height (slot 1) facing up, down, +x and -z.
    const struct {
        const char* what;
        VxmVertex a, b, c;
        float shade;
    } rows[] = {
        {"top", vertex(0, 1, 0, 0), vertex(0, 1, 1, 0), vertex(1, 1, 0, 0), 0.95f},
        {"bottom", vertex(0, 1, 0, 0), vertex(1, 1, 0, 0), vertex(0, 1, 1, 0), 0.55f},
        {"side", vertex(0, 0.9f, 0, 0), vertex(0, 1.1f, 0, 0), vertex(0, 0.9f, 1, 0), 0.72f},
        {"front", vertex(0, 0.9f, 0, 0), vertex(0, 1.1f, 0, 0), vertex(1, 0.9f, 0, 0), 0.83f},
    };
    for (const auto& row : rows) {
        for (const bool worn : {false, true}) {
            std::vector<render::MeshVertex> out;
            render::appendThirdPersonBody(out, {row.a, row.b, row.c}, {}, {false, worn, false, false});
            ASSERT_EQ(out.size(), 3u);
            const std::array<float, 3> shell = render::armourColour(1, row.shade);
            EXPECT_EQ(out[2].layer, worn ? render::kArmourMaterial : render::kSkinMaterial) << row.what;
            EXPECT_FLOAT_EQ(out[2].g, worn ? shell[1] : 1.0f) << row.what;
        }
    }
}

TEST(ThirdPersonBody, GliderOnTheBackNarrowUnlessSpread) {
    voxel::BlockDef glider;
    glider.modelVertices = {{1.0f, 0.0f, 0.5f, 0.0f, 0.0f, 2, 0.7f, 0},
                            {0.5f, 0.2f, 1.0f, 0.0f, 0.0f, 0, 0.7f, 0}};
    for (const auto& [spread, width] : {std::pair{false, 0.28}, std::pair{true, 1.0}}) {
        std::vector<render::MeshVertex> out;
        render::appendGlider(out, glider, 30, {5.0, 11.62, -2.0}, 0.0, spread);
        ASSERT_EQ(out.size(), 2u);
        // Yaw 0: the back (+z of the body) is the world's -x, the body's +x the world's +z.
        expectNear({out[0].x, out[0].y, out[0].z}, {5.0 - 0.28, 10.55, -2.0 + 0.5 * width}, "wing tip");
        expectNear({out[1].x, out[1].y, out[1].z}, {5.0 - 0.78, 10.75, -2.0}, "back edge");
        EXPECT_FLOAT_EQ(out[0].r, 0.7f);
        EXPECT_FLOAT_EQ(out[0].layer, static_cast<float>(voxel::textureLayer(30, 2)));
    }
}

TEST(LocalLimbAngle, HoldingArmFollowsTheSwingUnlessRaised) {
    render::BodyPose pose;
    pose.limb = 0.3;
    pose.swing = 1.0;
    const double expected[5] = {0.0, 0.3, -0.3 + 0.85, -0.3, 0.3};
    for (uint32_t part = 0; part < 5; ++part) EXPECT_NEAR(render::localLimbAngle(part, pose), expected[part], 1e-9);
    pose.raised = true;
    EXPECT_EQ(render::localLimbAngle(2, pose), 0.0);
}

TEST(FirstPersonArm, HandEndSitsOnTheAnchor) {
    const std::vector<VxmVertex> mesh{vertex(0.3f, 0.6f, -0.1f, 2), vertex(0.4f, 0.6f, 0.0f, 2),
                                      vertex(0.5f, 1.4f, 0.1f, 2), vertex(0.0f, 0.0f, 0.0f, 1)};
    std::vector<render::MeshVertex> out;
    // Yaw and pitch 0: right is +z, up +y, forward +x.
    render::appendFirstPersonArm(out, mesh, {0.5, -0.3, 0.7}, render::viewBasis(0.0, 0.0), {1.0, 2.0, 3.0});
    ASSERT_EQ(out.size(), 3u);
    expectNear({out[1].x, out[1].y, out[1].z}, {1.7, 1.7, 3.5}, "hand end");
    // The top of the arm lies 0.65 along the arm axis, down and back from the hand.
    const double length = std::hypot(out[2].x - out[1].x, out[2].y - out[1].y, out[2].z - out[1].z);
    EXPECT_GT(length, 0.65);
    EXPECT_LT(out[2].y, out[1].y);
}

TEST(HeldItem, BowBendsMostAtTheGripOnTheStringAndAtTheTipsElsewhere) {
    render::HeldModelFrame frame;
    frame.midY = 0.5f;
    frame.dy = 1.0f;
    const struct {
        float y;
        uint32_t face;
        float dz;
    } rows[] = {{0.5f, 1, 0.5f}, {1.0f, 1, 0.0f}, {0.5f, 0, 0.0f}, {0.0f, 0, 0.12f}, {1.5f, 2, 0.12f}, {0.75f, 1, 0.25f}};
    for (const auto& row : rows)
        EXPECT_FLOAT_EQ(render::bendBowPoint({0.0f, row.y, 1.0f}, row.face, frame, 1.0f)[2], 1.0f + row.dz)
            << "y " << row.y << " face " << row.face;
}

TEST(HeldItem, BaseSizeByKindAndViewAndScaleByTheLargestExtent) {
    voxel::BlockDef plain, tool, bow;
    tool.tool = "sword";
    bow.behavior = "bow";
    bow.tool = "bow";
    const struct {
        const voxel::BlockDef& def;
        bool usable, shield, thirdPerson;
        double size;
    } rows[] = {
        {plain, false, false, true, 0.38}, {plain, true, false, true, 0.24}, {tool, false, false, true, 0.85},
        {tool, false, false, false, 0.44}, {tool, true, true, false, 0.42},  {tool, true, true, true, 0.9},
        {plain, false, true, true, 0.9},   {bow, true, false, true, 1.1},    {bow, false, true, false, 0.62}};
    for (const auto& row : rows)
        EXPECT_EQ(render::heldBaseSize(row.def, row.usable, row.shield, row.thirdPerson), row.size)
            << row.def.tool << " " << row.usable << row.shield << row.thirdPerson;
    // Whichever extent is largest takes the base size; a flat point still scales finitely.
    const struct {
        std::array<float, 6> bounds;
        double scale;
    } frames[] = {{{0, 0, 0, 2, 1, 1}, 0.5},
                  {{0, -1, 0, 1, 3, 1}, 0.25},
                  {{0, 0, 1, 1, 1, 6}, 0.2},
                  {{0, 0, 0, 0, 0, 0}, 1000.0}};
    for (const auto& frame : frames) {
        plain.modelBounds = frame.bounds;
        EXPECT_NEAR(render::heldModelFrame(plain, 1.0).scale, frame.scale, frame.scale * 1e-6)
            << frame.bounds[3];
    }
}

TEST(HeldItem, BowIsCantedAboutItsCentreInTheThirdPersonHold) {
    render::HeldModelFrame frame;
    frame.cx = 0.5f;
    frame.cz = 0.25f;
    const struct {
        content::Float3 point;
        double x, z;
    } rows[] = {{{0.5f, 0.3f, 0.25f}, 0.5, 0.25},
                {{1.5f, 0.3f, 0.25f}, 0.5 + std::cos(0.7), 0.25 - std::sin(0.7)},
                {{0.5f, 0.3f, 1.25f}, 0.5 + std::sin(0.7), 0.25 + std::cos(0.7)}};
    for (const auto& row : rows) {
        const content::Float3 p = render::cantBow(row.point, frame);
        EXPECT_NEAR(p[0], row.x, 1e-6) << row.point[0] << " " << row.point[2];
        EXPECT_FLOAT_EQ(p[1], 0.3f);
        EXPECT_NEAR(p[2], row.z, 1e-6) << row.point[0] << " " << row.point[2];
    }
}

TEST(HeldItem, BlockIsASmallCubeTurnedAQuarterOfARightAngle) {
    render::BlockFaces cube;
    cube.vertices = {render::MeshVertex{1.0f, 1.0f, 1.0f}, render::MeshVertex{1.0f, 0.0f, 0.0f}};
    cube.indices = {0, 1};
    std::vector<render::MeshVertex> out;
    render::appendHeldBlock(out, cube, {0.0, 0.0, 0.0}, render::viewBasis(0.0, 0.0), {0.0, 0.0, 0.0});
    const double half = 0.19 * std::sqrt(2.0);
    // (right, up, forward) = (half, 0.19, 0) and (0, -0.19, half); world = (forward, up, right).
    expectNear({out[0].x, out[0].y, out[0].z}, {0.0, 0.19, half}, "top corner");
    expectNear({out[1].x, out[1].y, out[1].z}, {half, -0.19, 0.0}, "bottom corner");
}

}  // namespace


namespace {

class HeldPoseTest : public testsupport::FreshRegistryTest {
protected:
    void SetUp() override {
        FreshRegistryTest::SetUp();
        voxel::BlockDef bow = testsupport::namedBlock("core:bow"), glider = testsupport::namedBlock("core:glider");
        bow.behavior = "bow";
        glider.behavior = "glider";
        voxel::registerBlock(13, bow);
        voxel::registerBlock(14, glider);
        app.inventory.hotbar[0] = {13, 1, 0};
        app.inventory.selected = 0;
        app.clock.tick = 200;
    }
    App app;
};

TEST_F(HeldPoseTest, BowDrawCountsSecondsButPullsTheHandAtMostOnce) {
    app.actions.bowDrawing = true;
    const struct {
        uint64_t start;
        float seconds, right;
    } rows[] = {{190, 0.5f, 0.5649375f - 0.065f}, {180, 1.0f, 0.5649375f - 0.13f}, {100, 5.0f, 0.5649375f - 0.13f}};
    for (const auto& row : rows) {
        app.actions.bowDrawStartTick = row.start;
        EXPECT_FLOAT_EQ(app.bowDrawProgress(), row.seconds);
        EXPECT_NEAR(app.firstPersonHandOffset()[0], row.right, 1e-6) << "start " << row.start;
    }
    app.actions.bowDrawing = false;
    EXPECT_EQ(app.bowDrawProgress(), 0.0f);
}

TEST_F(HeldPoseTest, GliderOnlyFromAFilledBodySlot) {
    EXPECT_EQ(app.hasGliderEquipped(), nullptr);
    app.player.armor[1] = {14, 1, 0};
    ASSERT_NE(app.hasGliderEquipped(), nullptr);
    EXPECT_EQ(app.hasGliderEquipped()->id, "core:glider");
    app.player.armor[1] = {14, 0, 0};
    EXPECT_EQ(app.hasGliderEquipped(), nullptr);
    app.player.armor[1] = {13, 1, 0};
    EXPECT_EQ(app.hasGliderEquipped(), nullptr);
}

}  // namespace
