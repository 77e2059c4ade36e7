// How much of the loaded window is drawn while the player flies over new land. The game starts on a
// world of seed 2 with chunk radius 6 in a 1280 x 720 window under a private X server, enters play
// and runs its own frame loop (streaming, world steps, drawing) while the camera flies straight on
// from spawn, 92 blocks high, at the ordinary flight speed in real time: each frame moves it by the
// speed times the wall time since the flight began. Then the camera stays where the flight ended
// and the loop runs on, so that the window fills.
//
//   quorvane_flight_window [flight seconds] [settle seconds] [blocks a second]
//
// (default 30, 10 and the ordinary flight speed; the fast flight speed shows how far loading falls
// behind).
//
// It prints the triangles of the last frame of the flight, those of the last frame of the stay and
// their ratio, the drawn share:
//
//   FLIGHT speed 10 drawn_share 0.87 flight_triangles ... settled_triangles ... frames ... median_ms ...
#include <GLFW/glfw3.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <vector>

#include "app/app.h"
#include "bench/bench_world.h"
#include "bench/play_start.h"
#include "game/movement.h"

namespace {

constexpr double kStartX = 8.0, kStartZ = 29.0;            // the spawn point of seed 2
constexpr float kHeight = 92.0f;                           // above the hills near spawn
constexpr float kYaw = -std::numbers::pi_v<float> / 2.0f;  // towards -z
constexpr float kPitch = -0.24f;

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The frame's player step reads the keyboard and pointer: in flight with no input it keeps the
// pose that is set here.
void placeCamera(App& app, double travelled) {
    app.motion.flying = true;
    app.player.x = static_cast<float>(kStartX + travelled * std::cos(kYaw));
    app.player.y = kHeight;
    app.player.z = static_cast<float>(kStartZ + travelled * std::sin(kYaw));
    app.player.yaw = kYaw;
    app.player.pitch = kPitch;
    app.player.resetMouseLook = true;
}

struct Phase {
    uint32_t triangles = 0;  // of the last frame
    std::vector<double> frameMs;
};

// Runs frames for `seconds` of wall time; `travel` gives the distance flown at a time since the
// flight began.
template <typename Travel>
Phase runFor(App& app, double seconds, Clock::time_point flightStart, Travel travel) {
    Phase phase;
    const Clock::time_point start = Clock::now();
    while (secondsSince(start) < seconds) {
        placeCamera(app, travel(secondsSince(flightStart)));
        const Clock::time_point frameStart = Clock::now();
        app.runFrame();
        phase.frameMs.push_back(secondsSince(frameStart) * 1000.0);
        phase.triangles = app.frame.stats.visibleTriangles;
    }
    return phase;
}

}  // namespace

int main(int argc, char** argv) {
    const double flightSeconds = bench::positiveArgument(argc, argv, 1, 30.0);
    const double settleSeconds = bench::positiveArgument(argc, argv, 2, 10.0);
    const bench::SeedTwoWorld world("FLIGHT");
    App app;
    bench::startPlaying(app, world);

    const double speed = bench::positiveArgument(argc, argv, 3, game::kFlySpeed);
    const Clock::time_point flightStart = Clock::now();
    const Phase flight = runFor(app, flightSeconds, flightStart,
                                [&](double elapsed) { return speed * std::min(elapsed, flightSeconds); });
    const uint64_t installedInFlight = app.meshing.installed, droppedInFlight = app.meshing.dropped;
    const size_t waitingAtStop = app.world.remesh.size();
    const double travelled = speed * flightSeconds;
    const Phase settled = runFor(app, settleSeconds, flightStart, [&](double) { return travelled; });

    const double share = settled.triangles
                             ? static_cast<double>(flight.triangles) / static_cast<double>(settled.triangles)
                             : 0.0;
    std::printf(
        "FLIGHT speed %.0f drawn_share %.2f flight_triangles %u settled_triangles %u "
        "frames %zu median_ms %.1f settle_frames %zu settle_median_ms %.1f installed %llu dropped %llu "
        "waiting_at_stop %zu\n",
        speed, share, flight.triangles, settled.triangles, flight.frameMs.size(), bench::median(flight.frameMs),
        settled.frameMs.size(), bench::median(settled.frameMs), static_cast<unsigned long long>(installedInFlight),
        static_cast<unsigned long long>(droppedInFlight), waitingAtStop);
    app.shutdown();
    return 0;
}
