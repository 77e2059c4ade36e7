// Long frames in play. The game starts on a world of seed 2 with chunk radius 6, 1280 x 720, under a
// private X server, enters play and runs its own frame loop while the player walks in real time at
// walking speed, the eye 1.62 above the ground, round a square of 96 blocks a side from spawn, so
// that the window moves and chunks leave and come back; every `dig` seconds the surface cell two
// blocks ahead is dug out the way a player's dig ends (`App::breakBlock`: the edit, its save, the
// drops). Autosaves, unload passes, mesh installs and the saves of the digs happen as in play.
//
//   quorvane_play_hitches [seconds] [dig seconds]      (default 600 and 0.75)
//
// It prints the median, 99th percentile and longest frame, how many frames took over three times
// the median, the main thread's CPU time a frame (median and mean), the median and longest frame of
// those with a dig, an autosave, an unload pass, a mesh install and none of these, and for the
// longest frames what ran in them: the dig (its time and its CPU time), an autosave, an unload pass,
// the meshes installed, the fence wait, the recording and the mesh upload pass. Last, what one autosave then costs the main thread, with the world map as the
// walk left it.
#include <GLFW/glfw3.h>

#include <time.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <vector>

#include "app/app.h"
#include "bench/bench_world.h"
#include "bench/play_start.h"
#include "game/movement.h"
#include "world/block_registry.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kStartX = 8.5, kStartZ = 29.5;  // the spawn point of seed 2
constexpr double kSide = 96.0;
constexpr float kPitch = -0.5f;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Walk {
    double x, z;
    float yaw;
    int dx, dz;  // the way the player faces, one axis
};

// Where the square puts the player after `distance` blocks: east, south, west, north.
Walk walkAt(double distance) {
    static constexpr std::array<std::array<int, 2>, 4> kLegs{{{1, 0}, {0, 1}, {-1, 0}, {0, -1}}};
    const double lap = std::fmod(distance, 4.0 * kSide);
    double x = kStartX, z = kStartZ;
    for (int leg = 0; leg < 4; ++leg) {
        const double along = std::min(kSide, lap - leg * kSide);
        const auto [dx, dz] = kLegs[static_cast<std::size_t>(leg)];
        if (along < kSide || leg == 3) {
            x += dx * std::max(0.0, along);
            z += dz * std::max(0.0, along);
            return {x, z, static_cast<float>(std::atan2(dz, dx)), dx, dz};
        }
        x += dx * kSide;
        z += dz * kSide;
    }
    return {x, z, 0.0f, 1, 0};
}

// The highest solid cell of the column, or -1 over unloaded or empty ground.
int32_t groundAt(const App& app, int32_t x, int32_t z) {
    for (int32_t y = voxel::chunkHeight - 1; y >= 0; --y)
        if (voxel::blockDef(app.blockAt(x, y, z)).solid) return y;
    return -1;
}

void placePlayer(App& app, const Walk& walk) {
    const auto x = static_cast<int32_t>(std::floor(walk.x)), z = static_cast<int32_t>(std::floor(walk.z));
    const int32_t ground = groundAt(app, x, z);
    app.motion.flying = true;
    app.player.x = static_cast<float>(walk.x);
    app.player.z = static_cast<float>(walk.z);
    if (ground >= 0) app.player.y = static_cast<float>(ground + 1 + game::kEyeHeight);
    app.player.yaw = walk.yaw;
    app.player.pitch = kPitch;
    app.player.resetMouseLook = true;
}

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct Dig {
    double ms = 0.0, cpuMs = 0.0;  // 0 when nothing was dug
};

// The surface cell two blocks ahead, dug as a player's dig ends; its save goes to the background
// writer as in play.
Dig digAhead(App& app, const Walk& walk) {
    const auto x = static_cast<int32_t>(std::floor(walk.x)) + 2 * walk.dx;
    const auto z = static_cast<int32_t>(std::floor(walk.z)) + 2 * walk.dz;
    const int32_t y = groundAt(app, x, z);
    if (y < 1) return {};
    const Clock::time_point start = Clock::now();
    const double cpuStart = threadCpuMs();
    app.breakBlock(x, y, z);
    return {msSince(start), threadCpuMs() - cpuStart};
}

struct Frame {
    double seconds = 0.0;  // since the walk began
    double ms = 0.0;
    double mainCpuMs = 0.0;  // the main thread's CPU time
    Dig dig;
    double fenceMs = 0.0, recordMs = 0.0, uploadMs = 0.0;
    bool autosave = false, unload = false;
    uint64_t installs = 0;
};

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(std::ceil(p * static_cast<double>(values.size())));
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

// Median and longest frame of the frames that `has` picks.
template <typename Has>
void reportKind(const std::vector<Frame>& frames, const char* kind, Has has) {
    std::vector<double> ms;
    for (const Frame& frame : frames)
        if (has(frame)) ms.push_back(frame.ms);
    if (ms.empty()) return;
    std::printf("  %-9s %5zu frames, median %6.1f ms, longest %6.1f ms\n", kind, ms.size(), bench::median(ms),
                *std::max_element(ms.begin(), ms.end()));
}

void report(const std::vector<Frame>& frames) {
    std::vector<double> ms;
    for (const Frame& frame : frames) ms.push_back(frame.ms);
    const double median = bench::median(ms);
    const auto over = std::count_if(ms.begin(), ms.end(), [&](double v) { return v > 3.0 * median; });
    std::vector<double> mainCpu;
    for (const Frame& frame : frames) mainCpu.push_back(frame.mainCpuMs);
    const double mainMean = std::accumulate(mainCpu.begin(), mainCpu.end(), 0.0) / static_cast<double>(frames.size());
    std::printf("HITCHES frames %zu median_ms %.1f p99_ms %.1f max_ms %.1f over_3x_median %td main_thread_cpu_ms "
                "median %.2f mean %.2f\n",
                frames.size(), median, percentile(ms, 0.99), *std::max_element(ms.begin(), ms.end()), over,
                bench::median(mainCpu), mainMean);
    reportKind(frames, "dig", [](const Frame& f) { return f.dig.ms > 0.0; });
    reportKind(frames, "autosave", [](const Frame& f) { return f.autosave; });
    reportKind(frames, "unload", [](const Frame& f) { return f.unload; });
    reportKind(frames, "install", [](const Frame& f) { return f.installs > 0; });
    reportKind(frames, "none", [](const Frame& f) {
        return f.dig.ms == 0.0 && !f.autosave && !f.unload && f.installs == 0;
    });
    std::vector<Frame> longest = frames;
    std::sort(longest.begin(), longest.end(), [](const Frame& a, const Frame& b) { return a.ms > b.ms; });
    longest.resize(std::min<std::size_t>(longest.size(), 20));
    for (const Frame& f : longest)
        std::printf("  at %6.1f s %7.1f ms: dig %6.1f (cpu %5.1f) fence %6.1f record %5.1f upload %6.1f installs %llu%s%s\n",
                    f.seconds, f.ms, f.dig.ms, f.dig.cpuMs, f.fenceMs, f.recordMs, f.uploadMs,
                    static_cast<unsigned long long>(f.installs), f.autosave ? " autosave" : "",
                    f.unload ? " unload" : "");
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = bench::positiveArgument(argc, argv, 1, 600.0);
    const double digEvery = bench::positiveArgument(argc, argv, 2, 0.75);
    const bench::SeedTwoWorld world("WALK");
    App app;
    bench::startPlaying(app, world);

    std::vector<Frame> frames;
    const Clock::time_point start = Clock::now();
    double nextDig = digEvery;
    while (msSince(start) < seconds * 1000.0) {
        const double now = msSince(start) / 1000.0;
        const Walk walk = walkAt(game::kWalkSpeed * now);
        Frame frame{now};
        const uint64_t tick = app.clock.tick, installed = app.meshing.installed;
        const int32_t centreX = app.stream.centreX, centreZ = app.stream.centreZ;
        const Clock::time_point frameStart = Clock::now();
        const double cpuStart = threadCpuMs();
        placePlayer(app, walk);
        if (now >= nextDig) {
            frame.dig = digAhead(app, walk);
            nextDig += digEvery;
        }
        app.runFrame();
        frame.ms = msSince(frameStart);
        frame.mainCpuMs = threadCpuMs() - cpuStart;
        frame.fenceMs = app.frame.stats.fenceWaitMs;
        frame.recordMs = app.frame.stats.recordMs;
        frame.uploadMs = app.meshing.lastUploadMilliseconds;
        frame.autosave = app.clock.tick / 100 != tick / 100;  // the world step autosaves every 100 ticks
        frame.unload = app.stream.centreX != centreX || app.stream.centreZ != centreZ;
        frame.installs = app.meshing.installed - installed;
        frames.push_back(frame);
    }
    report(frames);
    // What the world step's autosave costs the main thread once the walk has explored the map.
    app.currentMap().dirty = true;
    const Clock::time_point saveStart = Clock::now();
    const double saveCpu = threadCpuMs();
    app.autosave();
    std::printf("AUTOSAVE map_chunks %zu main_thread_ms %.1f (cpu %.1f)\n", app.currentMap().chunks.size(),
                msSince(saveStart), threadCpuMs() - saveCpu);
    app.shutdown();
    return 0;
}
