#include "world/shapes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

namespace {

constexpr double t = 0.1875;
constexpr double h = t / 2;

void expectNear(voxel::Vec3 actual, voxel::Vec3 expected, double tolerance = 1e-12) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

voxel::Box box(double x0, double y0, double z0, double x1, double y1, double z1) {
    return {{x0, y0, z0}, {x1, y1, z1}};
}

TEST(ShapeKind, ByBehaviour) {
    voxel::BlockDef def;
    EXPECT_EQ(voxel::shapeKind(def), voxel::shapeNone);
    const char* names[] = {"door", "trapdoor", "ladder", "bed"};
    for (int32_t kind = 0; kind < 4; ++kind) {
        def.behavior = names[kind];
        EXPECT_EQ(voxel::shapeKind(def), kind) << names[kind];
    }
    def.behavior = "chest";
    EXPECT_EQ(voxel::shapeKind(def), voxel::shapeNone);
}

TEST(ShapeSize, PerKind) {
    expectNear(voxel::shapeSize(voxel::shapeDoor, 0.25), {1, 2, 0.25});
    expectNear(voxel::shapeSize(voxel::shapeTrapdoor, 0.25), {1, 0.25, 1});
    expectNear(voxel::shapeSize(voxel::shapeBed, 0.25), {1, 0.5625, 2});
    expectNear(voxel::shapeSize(voxel::shapeLadder, 0.25), {1, 1, 0.25});
    expectNear(voxel::shapeSize(voxel::shapeNone, 0.25), {1, 1, 0.25});
}

TEST(ShapePoint, KnownTransforms) {
    // A closed door facing 0 sits in its own space unchanged.
    expectNear(voxel::doorPartPoint({0.3, 1.2, 0.1}, 0, 0.0, t), {0.3, 1.2, 0.1});
    // A quarter facing turn carries the corner (0, 0) to (1, 0).
    expectNear(voxel::doorPartPoint({0, 0, 0}, 1, 0.0, t), {1, 0, 0});
    // Fully open, the panel's far edge swings round the hinge at (h, h) to x = t, z = 1.
    expectNear(voxel::doorPartPoint({1, 0, 0}, 0, voxel::halfPi, t), {t, 0, 1});
    // A top trapdoor is mirrored in height; an open one stands up along its hinge.
    expectNear(voxel::shapePoint({0.5, 0, 0.5}, voxel::shapeTrapdoor, voxel::stateUpper, 0.0, t), {0.5, 1, 0.5});
    expectNear(voxel::shapePoint({0, 0, 1}, voxel::shapeTrapdoor, 0, voxel::halfPi, t), {0, 1, t});
    // Ladders and beds only turn by their facing about the cell centre.
    expectNear(voxel::shapePoint({0, 0.5, 0}, voxel::shapeLadder, 2, 1.0, t), {1, 0.5, 1});
    expectNear(voxel::shapePoint({0, 0.5, 0}, voxel::shapeBed, 3, 0.0, t), {0, 0.5, 1});
}

TEST(ShapePoint, ToLocalUndoesShapePointForEveryKindStateAndAngle) {
    const voxel::Vec3 points[] = {{0, 0, 0}, {1, 2, 0.1875}, {0.3, 0.7, 0.9}, {-0.5, 1.5, 2.25}};
    const double angles[] = {0.0, 0.37, voxel::halfPi, -1.1, 3.0};
    for (int32_t kind = -1; kind <= 3; ++kind) {
        for (int state = 0; state < 32; ++state) {
            for (double angle : angles) {
                for (double thickness : {t, 0.5}) {
                    for (const voxel::Vec3& p : points) {
                        const auto s = static_cast<uint8_t>(state);
                        const voxel::Vec3 cell = voxel::shapePoint(p, kind, s, angle, thickness);
                        const voxel::Vec3 back = voxel::shapePointToLocal(cell, kind, s, angle, thickness);
                        expectNear(back, p, 1e-9);
                    }
                }
            }
        }
    }
}

TEST(CellSteps, WallAndBedStepsFollowTheFacingAngle) {
    for (int32_t f = 0; f < 4; ++f) {
        const double g = f * voxel::halfPi;
        const voxel::CellStep wall = voxel::wallStep(f);
        EXPECT_EQ(wall.dx, std::lround(std::sin(g))) << f;
        EXPECT_EQ(wall.dz, std::lround(-std::cos(g))) << f;
        const voxel::CellStep bed = voxel::bedStep(f);
        EXPECT_EQ(bed.dx, std::lround(-std::sin(g))) << f;
        EXPECT_EQ(bed.dz, std::lround(std::cos(g))) << f;
    }
    EXPECT_EQ(voxel::wallStep(5).dx, voxel::wallStep(1).dx) << "only the facing bits count";
}

// -1.57079625 is the default yaw; 2.4, past the half-way point, rounds up and 2.3 down.
TEST(FacingFromYaw, QuarterTurnsFromTheShortenedConstant) {
    const std::pair<float, int32_t> rows[] = {{1.5708f, 0}, {3.1416f, 1}, {0.0f, 3}, {-1.5708f, 2},
                                              {4.7124f, 2}, {-1.57079625f, 2}, {2.4f, 1}, {2.3f, 0}};
    for (const auto& [yaw, facing] : rows) EXPECT_EQ(voxel::facingFromYaw(yaw), facing) << yaw;
}

TEST(ShapeOverlaps, DoorTestsHeightThenTheTurnedPanel) {
    const voxel::Vec3 o{10, 5, -3};
    EXPECT_FALSE(voxel::shapeOverlaps(box(10, 7, -3, 11, 8, -2), o, voxel::shapeDoor, 0, 0.0, t)) << "above";
    EXPECT_FALSE(voxel::shapeOverlaps(box(10, 4, -3, 11, 5, -2), o, voxel::shapeDoor, 0, 0.0, t)) << "below";
    EXPECT_TRUE(voxel::shapeOverlaps(box(10.5, 6.9, -3, 10.9, 8, -2.95), o, voxel::shapeDoor, 0, 0.0, t));
    // The closed panel fills z 0..t of the cell; a box touching its face does not overlap.
    EXPECT_FALSE(voxel::shapeOverlaps(box(10, 5, -3 + t, 11, 6, -2), o, voxel::shapeDoor, 0, 0.0, t));
    EXPECT_TRUE(voxel::shapeOverlaps(box(10, 5, -3 + t - 0.01, 11, 6, -2), o, voxel::shapeDoor, 0, 0.0, t));
    // Open, it lies along x 0..t instead.
    const voxel::Box nearFront = box(10.5, 5, -3, 10.9, 6, -2.9);
    EXPECT_TRUE(voxel::shapeOverlaps(nearFront, o, voxel::shapeDoor, 0, 0.0, t));
    EXPECT_FALSE(voxel::shapeOverlaps(nearFront, o, voxel::shapeDoor, voxel::stateOpen, voxel::halfPi, t));
    EXPECT_TRUE(voxel::shapeOverlaps(box(9.9, 5, -2.5, 10.05, 6, -2.4), o, voxel::shapeDoor, 0, voxel::halfPi, t));
    // Facing 2 puts the closed panel against the far side of the cell.
    EXPECT_FALSE(voxel::shapeOverlaps(nearFront, o, voxel::shapeDoor, 2, 0.0, t));
    EXPECT_TRUE(voxel::shapeOverlaps(box(10.5, 5, -2.1, 10.9, 6, -1.5), o, voxel::shapeDoor, 2, 0.0, t));
}

TEST(ShapeOverlaps, SeparatingAxesOfTrapdoorsLaddersAndBeds) {
    const voxel::Vec3 o{0, 0, 0};
    EXPECT_TRUE(voxel::shapeOverlaps(box(0.2, 0.1, 0.2, 0.4, 0.5, 0.4), o, voxel::shapeTrapdoor, 0, 0.0, t));
    EXPECT_FALSE(voxel::shapeOverlaps(box(0.2, 0.5, 0.2, 0.4, 1.0, 0.4), o, voxel::shapeTrapdoor, 0, 0.0, t));
    EXPECT_FALSE(voxel::shapeOverlaps(box(0.2, 0.1, 0.2, 0.4, 0.5, 0.4), o, voxel::shapeTrapdoor, 8, 0.0, t));
    EXPECT_TRUE(voxel::shapeOverlaps(box(0.2, 0.9, 0.2, 0.4, 1.2, 0.4), o, voxel::shapeTrapdoor, 8, 0.0, t));
    // Half open, the panel is tilted: a box under its slope lies inside the panel's bounding box
    // but only the panel's own axis separates them.
    const voxel::Box underSlope = box(0.2, 0.0, 0.6, 0.4, 0.3, 0.9);
    EXPECT_FALSE(voxel::shapeOverlaps(underSlope, o, voxel::shapeTrapdoor, 0, voxel::halfPi / 2, t));
    EXPECT_TRUE(voxel::shapeOverlaps(box(0.2, 0.5, 0.4, 0.4, 0.6, 0.5), o, voxel::shapeTrapdoor, 0, voxel::halfPi / 2, t));
    // A ladder hangs on the side of its facing's wall cell.
    const voxel::Box nearFarSide = box(0.3, 0.3, 0.9, 0.6, 0.6, 0.99);
    EXPECT_FALSE(voxel::shapeOverlaps(nearFarSide, o, voxel::shapeLadder, 0, 0.0, t));
    EXPECT_TRUE(voxel::shapeOverlaps(nearFarSide, o, voxel::shapeLadder, 2, 0.0, t));
    // A bed reaches into its second cell and is 9/16 high.
    EXPECT_TRUE(voxel::shapeOverlaps(box(0.4, 0.3, 1.4, 0.6, 0.4, 1.6), o, voxel::shapeBed, 0, 0.0, t));
    EXPECT_FALSE(voxel::shapeOverlaps(box(0.4, 0.6, 1.4, 0.6, 0.9, 1.6), o, voxel::shapeBed, 0, 0.0, t));
    EXPECT_FALSE(voxel::shapeOverlaps(box(0.4, 0.3, 1.4, 0.6, 0.4, 1.6), o, voxel::shapeBed, 2, 0.0, t));
    EXPECT_TRUE(voxel::shapeOverlaps(box(0.4, 0.3, -0.6, 0.6, 0.4, -0.4), o, voxel::shapeBed, 2, 0.0, t));
}

TEST(SwingStep, IsLimitedByTheSwingTime) {
    EXPECT_DOUBLE_EQ(voxel::doorTarget(voxel::stateOpen), voxel::halfPi);
    EXPECT_DOUBLE_EQ(voxel::doorTarget(voxel::stateUpper), 0.0);
    // 0.05 s of a 0.3 s swing: a sixth of a quarter turn.
    EXPECT_NEAR(voxel::swingToward(0.0, voxel::halfPi, 0.05, 0.3), voxel::halfPi / 6, 1e-12);
    EXPECT_NEAR(voxel::swingToward(1.0, 0.0, 0.05, 0.3), 1.0 - voxel::halfPi / 6, 1e-12);
    EXPECT_DOUBLE_EQ(voxel::swingToward(1.5, voxel::halfPi, 0.1, 0.3), voxel::halfPi) << "no overshoot";
    const auto samples = voxel::swingSamples(0.2, 1.4);
    EXPECT_DOUBLE_EQ(samples.front(), 0.2);
    EXPECT_DOUBLE_EQ(samples.back(), 1.4);
    EXPECT_NEAR(samples[6], 0.8, 1e-12);
}

TEST(Bodies, BoxesAndTheirDefaults) {
    const voxel::Box player = voxel::playerBox(1, 10, 2);
    EXPECT_DOUBLE_EQ(player.min.x, 0.71);
    EXPECT_DOUBLE_EQ(player.min.y, 8.38);
    EXPECT_DOUBLE_EQ(player.max.y, 10.18);
    EXPECT_DOUBLE_EQ(player.max.z, 2.29);
    const voxel::Box boar = voxel::mobBox(0, 0, 0, 0, 0, 0);
    EXPECT_DOUBLE_EQ(boar.max.x, 0.7);
    EXPECT_DOUBLE_EQ(boar.max.y, 0.95);
    const voxel::Box skeleton = voxel::mobBox(1, 0, 0, 0, -1, 0);
    EXPECT_DOUBLE_EQ(skeleton.max.x, 0.4);
    EXPECT_DOUBLE_EQ(skeleton.max.y, 1.9);
    const voxel::Box sized = voxel::mobBox(1, 0, 3, 0, 0.25, 0.5);
    EXPECT_DOUBLE_EQ(sized.max.x, 0.25);
    EXPECT_DOUBLE_EQ(sized.max.y, 3.5);
    const voxel::Box npc = voxel::npcBox(0, 0, 0, 0, 0);
    EXPECT_DOUBLE_EQ(npc.max.x, 0.34);
    EXPECT_DOUBLE_EQ(npc.max.y, 1.88);
}

TEST(Boxes, StrictOverlap) {
    EXPECT_TRUE(voxel::boxesOverlap(voxel::cellBox(0, 0, 0), box(0.5, 0.5, 0.5, 2, 2, 2)));
    EXPECT_FALSE(voxel::boxesOverlap(voxel::cellBox(0, 0, 0), box(1, 0, 0, 2, 1, 1))) << "touching";
    EXPECT_FALSE(voxel::boxesOverlap(voxel::cellBox(-1, 0, 0), box(0, 0, 0, 1, 1, 1)));
}

}  // namespace
