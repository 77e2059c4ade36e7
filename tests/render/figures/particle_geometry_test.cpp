#include "render/figures/particle_geometry.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>

#include "app/app.h"

namespace {

using render::MeshVertex;

Particle at(double x, double y, double z, int32_t kind) {
    return render::makeParticle({x, y, z}, kind, 0.1f, 0);
}

TEST(ParticleTest, SpawnsBeyondTheCapAreDropped) {
    struct Case {
        int32_t setting;
        std::size_t cap;
    };
    for (const Case c : {Case{0, 0}, Case{1, 192}, Case{2, 384}, Case{7, 384}}) {
        App app;
        app.settings.visualEffects[5] = c.setting;
        for (std::size_t i = 0; i < c.cap; ++i) app.spawnParticle({0, 0, 0}, 1, 0.1f, 0);
        EXPECT_EQ(app.entities.particles.size(), c.cap) << c.setting;
        app.spawnParticle({0, 0, 0}, 1, 0.1f, 0);
        EXPECT_EQ(app.entities.particles.size(), c.cap) << "spawn " << c.cap + 1 << " at setting " << c.setting;
    }
}

TEST(ParticleTest, LifeAndVelocityFromTheRandomBytes) {
    struct Case {
        int32_t kind;
        uint32_t random;
        int32_t life;
        double vx, vy;
    };
    for (const Case c : {Case{1, 0x00000000u, 70, -0.1, 0.42}, Case{1, 0xFF0000FFu, 100, 0.1, 0.42},
                         Case{2, 0x00000000u, 14, -0.65, 0.7}, Case{2, 0xFF00FF00u, 30, -0.65, 1.7},
                         Case{3, 0x00000000u, 16, -0.65, 1.4}, Case{3, 0xFF00FF00u, 26, -0.65, 2.0}}) {
        const Particle p = render::makeParticle({1, 2, 3}, c.kind, 0.1f, c.random);
        EXPECT_EQ(p.life, c.life) << c.kind << " " << c.random;
        EXPECT_EQ(p.fullLife, c.life);
        EXPECT_NEAR(p.velocityX, c.vx, 1e-12);
        EXPECT_NEAR(p.velocityY, c.vy, 1e-12);
        EXPECT_EQ(p.prevY, 2.0);
    }
}

TEST(ParticleTest, OpacityRampEdges) {
    struct Case {
        double t, ramp;
    };
    for (const Case c : {Case{0.0, 0.0}, Case{1.0 / 24, 0.5}, Case{1.0 / 12, 1.0}, Case{0.75, 1.0},
                         Case{0.875, 0.5}, Case{1.0, 0.0}}) {
        EXPECT_NEAR(render::particleRamp(c.t), c.ramp, 1e-12) << c.t;
    }
}

TEST(ParticleTest, SmokeGrowsToThreePointEightTimesItsSizeOthersKeepIt) {
    struct Case {
        int32_t kind;
        bool ended;  // at the end of its life, else half-way through it
        double factor, opacity;
        std::array<float, 3> colour;
    };
    const std::array<float, 3> smoke{0.4f, 0.42f, 0.44f}, spark{1.0f, 0.4f, 0.06f},
        splash{0.2f, 0.52f, 0.76f};
    for (const Case c :
         {Case{1, true, 3.8, 0.0, smoke}, Case{2, true, 1.0, 0.0, spark}, Case{3, true, 1.0, 0.0, splash},
          Case{1, false, 2.4, 0.34, smoke}, Case{2, false, 1.0, 0.9, spark}, Case{3, false, 1.0, 0.9, splash},
          Case{7, false, 1.0, 0.9, splash}}) {
        Particle p = at(0, 0, 0, c.kind);
        p.life = c.ended ? 0 : p.fullLife / 2;
        std::vector<MeshVertex> list;
        render::ParticleView view;  // yaw 0: right is +z, up is +y
        view.player = {5, 0, 0};
        view.alpha = 0.0;
        render::appendParticleQuads(list, {p}, view);
        ASSERT_EQ(list.size(), 6u);
        EXPECT_NEAR(list[0].z, -0.1 * c.factor, 1e-6) << c.kind;
        EXPECT_NEAR(list[0].y, -0.1 * c.factor, 1e-6) << c.kind;
        EXPECT_NEAR(list[0].sky, c.opacity, 1e-6) << c.kind << " " << c.ended;
        EXPECT_EQ((std::array<float, 3>{list[0].r, list[0].g, list[0].b}), c.colour) << c.kind;
        EXPECT_FLOAT_EQ(list[0].layer, 400000.0f + c.kind);
    }
}

TEST(ParticleTest, QuadCornersFaceTheViewFromTheInterpolatedCentre) {
    Particle p = at(2, 3, 4, 2);  // a spark keeps its half-size 0.1
    p.prevX = 1;                  // moved from x 1: a quarter on, the centre is at 1.25
    const double quarter = std::numbers::pi / 2;
    struct View {
        double yaw, pitch;
        std::array<double, 3> right, up;
    };
    constexpr double corners[6][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, -1}, {1, 1}, {-1, 1}};
    for (const View w : {View{0, 0, {0, 0, 1}, {0, 1, 0}}, View{quarter, 0, {-1, 0, 0}, {0, 1, 0}},
                         View{0, quarter, {0, 0, 1}, {-1, 0, 0}}}) {
        std::vector<MeshVertex> list;
        render::appendParticleQuads(list, {p}, {w.yaw, w.pitch, {0, 0, 0}, 0.25});
        ASSERT_EQ(list.size(), 6u);
        for (std::size_t i = 0; i < 6; ++i) {
            const double cx = corners[i][0], cy = corners[i][1];
            const double expected[3] = {1.25 + (w.right[0] * cx + w.up[0] * cy) * 0.1,
                                        3 + (w.right[1] * cx + w.up[1] * cy) * 0.1,
                                        4 + (w.right[2] * cx + w.up[2] * cy) * 0.1};
            EXPECT_NEAR(list[i].x, expected[0], 1e-6) << w.yaw << " " << w.pitch << " corner " << i;
            EXPECT_NEAR(list[i].y, expected[1], 1e-6) << w.yaw << " " << w.pitch << " corner " << i;
            EXPECT_NEAR(list[i].z, expected[2], 1e-6) << w.yaw << " " << w.pitch << " corner " << i;
            EXPECT_FLOAT_EQ(list[i].u, static_cast<float>((cx + 1) / 2)) << i;
            EXPECT_FLOAT_EQ(list[i].v, static_cast<float>((1 - cy) / 2)) << i;
        }
    }
}

TEST(ParticleTest, DrawnFarthestFirst) {
    const std::vector<Particle> particles{at(1, 0, 0, 2), at(0, 0, 3, 2), at(0, -2, 0, 2)};
    EXPECT_EQ(render::farthestFirst(particles, {0, 0, 0}), (std::vector<std::size_t>{1, 2, 0}));
    std::vector<MeshVertex> list;
    render::appendParticleQuads(list, particles, render::ParticleView{});
    ASSERT_EQ(list.size(), 18u);
    EXPECT_NEAR(list[0].x, 0.0, 1e-6);
    EXPECT_NEAR(list[6].y, -2.1, 1e-6) << "the second quad is the particle 2 blocks below";
    std::vector<MeshVertex> none;
    render::appendParticleQuads(none, {}, render::ParticleView{});
    EXPECT_TRUE(none.empty());
}

TEST(ParticleTest, ReplacedBufferHoldsAtLeastWhatIsWritten) {
    struct Case {
        uint64_t bytes, capacity;
    };
    for (const Case c : {Case{48, 110592}, Case{110592, 110592}, Case{110593, 110593}, Case{221184, 221184}}) {
        EXPECT_EQ(render::particleBufferCapacity(c.bytes), c.capacity) << c.bytes;
    }
}

}  // namespace
