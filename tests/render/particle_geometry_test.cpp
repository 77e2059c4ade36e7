#include "render/particle_geometry.h"

#include <gtest/gtest.h>

#include <cmath>

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
        double factor;
    };
    for (const Case c : {Case{1, 3.8}, Case{2, 1.0}, Case{3, 1.0}}) {
        Particle p = at(0, 0, 0, c.kind);
        p.life = 0;  // at the end of its life
        std::vector<MeshVertex> list;
        render::ParticleView view;  // yaw 0: right is +z, up is +y
        view.player = {5, 0, 0};
        view.alpha = 0.0;
        render::appendParticleQuads(list, {p}, view);
        ASSERT_EQ(list.size(), 6u);
        EXPECT_NEAR(list[0].z, -0.1 * c.factor, 1e-6) << c.kind;
        EXPECT_NEAR(list[0].y, -0.1 * c.factor, 1e-6) << c.kind;
        EXPECT_FLOAT_EQ(list[0].sky, 0.0f) << "faded out";
        EXPECT_FLOAT_EQ(list[0].layer, 400000.0f + c.kind);
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
