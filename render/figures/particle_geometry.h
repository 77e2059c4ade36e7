#pragma once
// World particles as pure data: the spawn rule with its per-setting cap, the motion of one world
// step, and the camera-facing quads drawn back to front.
#include <array>
#include <cstdint>
#include <vector>

#include "game/entities.h"
#include "render/chunks/mesh_vertex.h"

namespace render {

inline constexpr uint32_t kParticleVertices = 6;
// 384 particles of 6 vertices of 48 bytes: the largest cap's worth.
inline constexpr uint64_t kParticleBufferBytes = 110592;
inline constexpr float kParticleMaterial = 400000.0f;

// 0 with particles off, 192 at the reduced setting 1, else 384.
std::size_t particleCap(int32_t setting);
// A new particle at the position; `random` gives four bytes of spread and life.
Particle makeParticle(const std::array<double, 3>& position, int32_t kind, float size, uint32_t random);
// One 0.05 s world step of motion: smoke drifts on the wind field at world time `seconds`, the
// other kinds fall. Ageing and removal are the caller's.
void moveParticle(Particle& p, double seconds);
// The random bits of a spawn: the 64-bit finaliser of tick x 7919 + salt, low 32 bits.
uint32_t spawnRandom(uint64_t tick, uint64_t salt);

// The view a frame's particles face and the interpolation between world steps.
struct ParticleView {
    double yaw = 0.0, pitch = 0.0;  // radians
    std::array<double, 3> player{};
    double alpha = 1.0;
};
// Indices of the particles, farthest from the player first.
std::vector<std::size_t> farthestFirst(const std::vector<Particle>& particles, const std::array<double, 3>& player);
// Opacity factor over a life fraction t: rises over the first twelfth, falls over the last quarter.
double particleRamp(double t);
// Appends two triangles per particle, farthest first.
void appendParticleQuads(std::vector<MeshVertex>& list, const std::vector<Particle>& particles, const ParticleView& view);

// A particle buffer that must be replaced takes the largest cap's size, or more when more is written.
uint64_t particleBufferCapacity(uint64_t bytes);

}  // namespace render
