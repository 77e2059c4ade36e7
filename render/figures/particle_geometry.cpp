#include "render/figures/particle_geometry.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace render {

namespace {

struct Look {
    std::array<float, 3> colour;
    double opacity;  // at full ramp
    double growth;   // extra half-size over the life, as a share of the spawn size
};

// Smoke, sparks, and everything else as splash.
Look lookOf(int32_t kind) {
    if (kind == 1) return {{0.4f, 0.42f, 0.44f}, 0.34, 2.8};
    if (kind == 2) return {{1.0f, 0.4f, 0.06f}, 0.9, 0.0};
    return {{0.2f, 0.52f, 0.76f}, 0.9, 0.0};
}

struct Corner {
    double cx, cy;
};
constexpr Corner kCorners[4] = {{-1.0, -1.0}, {1.0, -1.0}, {1.0, 1.0}, {-1.0, 1.0}};
constexpr int kTriangles[6] = {0, 1, 2, 0, 2, 3};

double byteShare(uint32_t random, int shift) {
    return static_cast<double>((random >> shift) & 0xFFu) / 255.0;
}

double lerp(double previous, double current, double a) {
    return a * current + (1.0 - a) * previous;
}

}  // namespace

std::size_t particleCap(int32_t setting) {
    if (setting == 0) return 0;
    return setting == 1 ? 192 : 384;
}

Particle makeParticle(const std::array<double, 3>& position, int32_t kind, float size, uint32_t random) {
    const double r0 = byteShare(random, 0), r1 = byteShare(random, 8), r2 = byteShare(random, 16),
                 r3 = byteShare(random, 24);
    Particle p;
    p.x = p.prevX = position[0];
    p.y = p.prevY = position[1];
    p.z = p.prevZ = position[2];
    p.kind = kind;
    p.size = size;
    if (kind == 1) {
        p.life = 70 + static_cast<int32_t>(std::floor(30.0 * r3));
        p.velocityX = (r0 - 0.5) * 0.2;
        p.velocityY = r1 * 0.22 + 0.42;
        p.velocityZ = (r2 - 0.5) * 0.2;
    } else {
        p.life = kind == 2 ? 14 + static_cast<int32_t>(std::floor(16.0 * r3))
                           : 16 + static_cast<int32_t>(std::floor(10.0 * r3));
        p.velocityX = (r0 - 0.5) * 1.3;
        p.velocityY = kind == 2 ? r1 + 0.7 : r1 * 0.6 + 1.4;
        p.velocityZ = (r2 - 0.5) * 1.3;
    }
    p.fullLife = p.life;
    return p;
}

void moveParticle(Particle& p, double seconds) {
    p.prevX = p.x;
    p.prevY = p.y;
    p.prevZ = p.z;
    if (p.kind == 1) {
        p.velocityX = std::sin(p.z * 0.08 + seconds * 0.7) * 0.16;
        p.velocityZ = std::cos(p.x * 0.08 + seconds * 0.6) * 0.1;
    } else {
        p.velocityY -= 0.32;
    }
    p.x += p.velocityX * 0.05;
    p.y += p.velocityY * 0.05;
    p.z += p.velocityZ * 0.05;
}

uint32_t spawnRandom(uint64_t tick, uint64_t salt) {
    uint64_t k = tick * 7919u + salt;
    k ^= k >> 33;
    k *= 0xff51afd7ed558ccdull;
    k ^= k >> 33;
    k *= 0xc4ceb9fe1a85ec53ull;
    k ^= k >> 33;
    return static_cast<uint32_t>(k);
}

std::vector<std::size_t> farthestFirst(const std::vector<Particle>& particles, const std::array<double, 3>& player) {
    std::vector<double> distance(particles.size());
    for (std::size_t i = 0; i < particles.size(); ++i) {
        const double dx = particles[i].x - player[0], dy = particles[i].y - player[1], dz = particles[i].z - player[2];
        distance[i] = dx * dx + dy * dy + dz * dz;
    }
    std::vector<std::size_t> order(particles.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return distance[a] > distance[b]; });
    return order;
}

double particleRamp(double t) {
    return std::min((1.0 - t) * 4.0, 1.0) * std::min(t * 12.0, 1.0);
}

void appendParticleQuads(std::vector<MeshVertex>& list, const std::vector<Particle>& particles, const ParticleView& view) {
    const double sy = std::sin(view.yaw), cy = std::cos(view.yaw), sp = std::sin(view.pitch), cp = std::cos(view.pitch);
    const std::array<double, 3> right{-sy, 0.0, cy}, up{-cy * sp, cp, -sy * sp};
    const double a = view.alpha;
    for (const std::size_t index : farthestFirst(particles, view.player)) {
        const Particle& p = particles[index];
        const std::array<double, 3> centre{lerp(p.prevX, p.x, a), lerp(p.prevY, p.y, a), lerp(p.prevZ, p.z, a)};
        const double t = (p.fullLife - p.life + a) / p.fullLife;
        const Look look = lookOf(p.kind);
        const double half = p.size * (1.0 + look.growth * t);
        for (const int k : kTriangles) {
            const Corner& c = kCorners[k];
            MeshVertex v;
            v.x = static_cast<float>(centre[0] + (right[0] * c.cx + up[0] * c.cy) * half);
            v.y = static_cast<float>(centre[1] + (right[1] * c.cx + up[1] * c.cy) * half);
            v.z = static_cast<float>(centre[2] + (right[2] * c.cx + up[2] * c.cy) * half);
            v.r = look.colour[0];
            v.g = look.colour[1];
            v.b = look.colour[2];
            v.u = static_cast<float>((c.cx + 1.0) * 0.5);
            v.v = static_cast<float>((1.0 - c.cy) * 0.5);
            v.layer = kParticleMaterial + static_cast<float>(p.kind);
            v.sky = static_cast<float>(particleRamp(t) * look.opacity);
            v.block = 0.0f;
            v.motion = 0.0f;
            list.push_back(v);
        }
    }
}

uint64_t particleBufferCapacity(uint64_t bytes) {
    return std::max(kParticleBufferBytes, bytes);
}

}  // namespace render
