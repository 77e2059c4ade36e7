// Particles in a loaded world: blocks that give them off, and the world step that ends them.
#include <gtest/gtest.h>

#include "render/figures/particle_geometry.h"
#include "world/loaded_world.h"

namespace {

constexpr uint8_t kTorch = 20;

class WorldParticlesTest : public worldtest::LoadedWorld {
   protected:
    void SetUp() override {
        LoadedWorld::SetUp();
        voxel::BlockDef torch;
        torch.id = "test:torch";
        torch.particle_effect = 1;
        torch.particle_interval_ticks = 30;
        torch.particle_height = 0.75f;
        torch.particle_size = 0.04f;
        voxel::registerBlock(kTorch, torch);
        for (int32_t cx = 0; cx < 5; ++cx) load(cx, 0);
        app.player.x = 0.5f;
        app.player.z = 0.5f;
    }
    void addTorch(int32_t x) {
        app.setBlock(x, 64, 0, kTorch);
        app.lighting.emitters[{voxel::floorDiv(x, 16), 0}].push_back({x, 64, 0, kTorch});
    }
    void runTicks(int ticks) {
        for (int i = 0; i < ticks; ++i) {
            ++app.clock.tick;
            app.spawnBlockParticles();
        }
    }
};

TEST_F(WorldParticlesTest, TorchSmokesOncePerIntervalAtItsHeightOnlyNearThePlayer) {
    struct Case {
        int32_t x;  // the torch's cell; the player stands at 0.5
        std::size_t spawned;
    };
    for (const Case c : {Case{32, 1}, Case{33, 0}}) {
        app.entities.particles.clear();
        app.lighting.emitters.clear();
        addTorch(c.x);
        runTicks(30);
        ASSERT_EQ(app.entities.particles.size(), c.spawned) << c.x;
        if (c.spawned == 0) continue;
        const Particle& p = app.entities.particles[0];
        EXPECT_EQ(p.kind, 1);
        EXPECT_DOUBLE_EQ(p.x, c.x + 0.5);
        EXPECT_DOUBLE_EQ(p.y, 64.75);
        EXPECT_FLOAT_EQ(p.size, 0.04f);
        runTicks(30);
        EXPECT_EQ(app.entities.particles.size(), 2u) << "one more in the next interval";
    }
}

TEST_F(WorldParticlesTest, StepEndsParticlesInSolidsAndFarAwayAndCutsToTheCap) {
    struct Case {
        double x, y;
        bool lives;  // after one step: in a solid, beyond 56 blocks or in an unloaded chunk it dies
    };
    // Ground is stone below y 64. A fresh spark moves by (-0.0325, +0.019, -0.0325) in one step.
    for (const Case c : {Case{10.5, 63.99, true}, Case{10.5, 63.95, false}, Case{56.4, 70.0, true},
                         Case{56.6, 70.0, false}, Case{-0.5, 70.0, false}}) {
        app.entities.particles = {render::makeParticle({c.x, c.y, 0.5}, 2, 0.1f, 0)};
        app.stepParticles();
        EXPECT_EQ(app.entities.particles.size(), c.lives ? 1u : 0u) << c.x << " " << c.y;
    }
    app.settings.visualEffects[5] = 1;
    app.entities.particles.assign(200, render::makeParticle({3.5, 70.0, 0.5}, 1, 0.1f, 0));
    app.entities.particles.back().x = 4.5;
    app.stepParticles();
    EXPECT_EQ(app.entities.particles.size(), 192u);
    EXPECT_DOUBLE_EQ(app.entities.particles.back().prevX, 3.5) << "the list is cut from its end";
    app.settings.visualEffects[5] = 0;
    app.stepParticles();
    EXPECT_TRUE(app.entities.particles.empty());
}

}  // namespace
