// World particles in the world step: spawning with the per-setting cap, the step that moves, ages
// and removes them, and the blocks near the player that give them off.
#include <algorithm>
#include <cmath>

#include "app/app.h"
#include "render/figures/particle_geometry.h"

namespace {

// Blocks farther than this (horizontally) give off nothing: their particles would hardly show.
constexpr double kEmitterRadius = 32.0;
// Particles beyond this distance from the player die.
constexpr double kParticleRadius = 56.0;

double horizontalDistance(const App& app, double x, double z) {
    return std::hypot(x - app.player.x, z - app.player.z);
}

// Spreads emitters over their interval, so that torches of one room do not puff in step.
uint64_t cellSalt(int32_t x, int32_t y, int32_t z) {
    return (static_cast<uint32_t>(x) * 73856093u) ^ (static_cast<uint32_t>(y) * 19349663u) ^
           (static_cast<uint32_t>(z) * 83492791u);
}

bool particleDies(const App& app, const Particle& p) {
    const int32_t x = static_cast<int32_t>(std::floor(p.x)), z = static_cast<int32_t>(std::floor(p.z));
    if (!app.findChunk(voxel::floorDiv(x, 16), voxel::floorDiv(z, 16))) return true;
    const uint8_t id = app.blockAt(x, static_cast<int32_t>(std::floor(p.y)), z);
    return id == voxel::waterId || voxel::blockDef(id).solid || horizontalDistance(app, p.x, p.z) > kParticleRadius;
}

}  // namespace

void App::spawnParticle(const std::array<double, 3>& position, int32_t kind, float size, uint32_t random) {
    if (entities.particles.size() >= render::particleCap(settings.particles())) return;
    entities.particles.push_back(render::makeParticle(position, kind, size, random));
}

void App::stepParticles() {
    std::vector<Particle>& list = entities.particles;
    const std::size_t cap = render::particleCap(settings.particles());
    if (list.size() > cap) list.resize(cap);
    const double seconds = static_cast<double>(clock.tick) * WorldClock::kStep;
    for (Particle& p : list) {
        render::moveParticle(p, seconds);
        --p.life;
        if (particleDies(*this, p)) p.life = 0;
    }
    std::erase_if(list, [](const Particle& p) { return p.life < 1; });
}

void App::spawnBlockParticles() {
    for (const auto& [key, records] : lighting.emitters) {
        for (const BlockCellRecord& r : records) {
            const voxel::BlockDef& def = voxel::blockDef(r.id);
            if (def.particle_effect == 0 || blockAt(r.x, r.y, r.z) != r.id) continue;
            if (horizontalDistance(*this, r.x + 0.5, r.z + 0.5) > kEmitterRadius) continue;
            const uint64_t salt = cellSalt(r.x, r.y, r.z);
            const auto interval = static_cast<uint64_t>(std::max(1, def.particle_interval_ticks));
            if ((clock.tick + salt) % interval != 0) continue;
            spawnParticle({r.x + 0.5, r.y + def.particle_height, r.z + 0.5}, static_cast<int32_t>(def.particle_effect),
                          def.particle_size, render::spawnRandom(clock.tick, salt));
        }
    }
}
