// Frame cost of fixed scenes on whatever Vulkan driver is present: play (HUD shown) and the main
// menu over a world of seed 2, chunk radius 2, midday, animation clock frozen at 12.5 s, 1280 x 720
// under a private X server; then "hover", the same world at chunk radius 6 seen from high above
// (eye at 8.5, 105, 29.5, facing +x, 10 degrees down) once all 169 chunks are loaded and meshed,
// which is where the number of chunk triangles drawn shows. Except in "hover-loop" each frame is
// drawn and waited for on its own, so nothing overlaps.
//
//   quorvane_frame_scenes [frames] [hover]   (default 21, after 3 warm-up frames; "hover": that
//                                            scene alone, as for a run under a profiler)
//
// QUORVANE_TEST_SHADERS=<folder> draws with other shaders; the build puts trivial ones in
// <build>/bench/floor_shaders, which give the floor: what vertex work, rasterising and blending cost
// by themselves. Run the two in turn, several rounds, on a quiet machine.
//
// Per scene it prints the median wall time and process CPU time of a frame, the median (and mean)
// CPU time of the main thread, and the CPU time per frame of the software driver's raster threads
// ("llvmpipe-N") and of every other thread: the driver runs vertex shading and triangle set-up on a
// queue thread of its own, before its raster threads start; the game's mixer, save writer and tasks
// are the rest. Beside them: the chunk triangles and draw calls of the frame, and the chunks drawn.
// The hover scene runs three rounds of "hover-all" (every plain triangle of a visible chunk drawn),
// "hover-facing" (the face groups that face the eye in view, buried ones too), "hover" (only the
// face groups that can show) and "hover-loop" (the same view through the game's
// own frame loop, flying in place: streaming, world steps, the entity pass, the overlay and drawing,
// each frame waiting for the previous one's fence rather than for the device), in turn.
#include <GLFW/glfw3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app/app.h"
#include "app/chunk_window.h"
#include "bench/bench_world.h"

namespace fs = std::filesystem;

namespace {

double cpuMs(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct ThreadCpu {
    double raster = 0.0;  // ms
    double other = 0.0;
};

ThreadCpu threadCpu() {
    ThreadCpu total;
    for (const auto& task : fs::directory_iterator("/proc/self/task")) {
        std::ifstream commFile(task.path() / "comm");
        std::string comm;
        std::getline(commFile, comm);
        std::ifstream schedFile(task.path() / "schedstat");
        double ns = 0.0;
        schedFile >> ns;
        (comm.rfind("llvmpipe", 0) == 0 ? total.raster : total.other) += ns / 1e6;
    }
    return total;
}

void drawAndWait(App& app) {
    app.drawFrame();
    vkDeviceWaitIdle(app.gpu.dev);
}

// `frame` draws one frame. "other threads" leaves out the main thread, which is printed on its own.
template <typename Frame>
void measure(App& app, const char* scene, int frames, Frame frame) {
    for (int i = 0; i < 3; ++i) frame();
    std::vector<double> wall, cpu, main;
    const ThreadCpu before = threadCpu();
    const double mainBefore = cpuMs(CLOCK_THREAD_CPUTIME_ID);
    for (int i = 0; i < frames; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = cpuMs(CLOCK_PROCESS_CPUTIME_ID), mainStart = cpuMs(CLOCK_THREAD_CPUTIME_ID);
        frame();
        cpu.push_back(cpuMs(CLOCK_PROCESS_CPUTIME_ID) - cpuStart);
        main.push_back(cpuMs(CLOCK_THREAD_CPUTIME_ID) - mainStart);
        wall.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    const ThreadCpu after = threadCpu();
    const double mainMean = (cpuMs(CLOCK_THREAD_CPUTIME_ID) - mainBefore) / frames;
    std::printf(
        "%-10s wall %6.1f ms  cpu %6.1f ms  main thread %5.2f ms (mean %5.2f)  raster threads %6.1f ms  "
        "other threads %5.1f ms  triangles %u  chunks %u  draws %u\n",
        scene, bench::median(wall), bench::median(cpu), bench::median(main), mainMean,
        (after.raster - before.raster) / frames, (after.other - before.other) / frames - mainMean,
        app.frame.stats.visibleTriangles, app.frame.stats.visibleChunks, app.frame.stats.chunkDraws);
    std::fflush(stdout);
}

void measure(App& app, const char* scene, int frames) {
    measure(app, scene, frames, [&app] { drawAndWait(app); });
}

// The hover pose, kept by flight: the loop's player step reads no input and leaves it where it is.
void placeHoverEye(App& app) {
    app.motion.flying = true;
    app.player.x = 8.5f;
    app.player.y = 105.0f;
    app.player.z = 29.5f;
    app.player.yaw = 0.0f;
    app.player.pitch = -10.0f * 3.14159265f / 180.0f;
    app.player.resetMouseLook = true;
}

// The window is centred on the eye's chunk, which the start-up window around the origin is not.
bool windowSettled(const App& app, std::size_t chunks) {
    return app.stream.centreX == core::chunkOf(app.player.x) && app.stream.centreZ == core::chunkOf(app.player.z) &&
           app.world.chunks.size() == chunks && app.world.meshes.size() == chunks &&
           app.world.remesh.empty() && app.world.relight.empty() && !app.stream.task.valid() &&
           !app.meshing.task.valid() && !app.lighting.task.valid();
}

// Starts the game on the world at `base` with the chunk radius `radius`, in play at midday, the
// animation clock frozen.
void startScene(App& app, const fs::path& base, int32_t radius) {
    app.useRenderTestBase(base);
    app.chunkRadius = radius;
    std::fflush(stdout);
    app.startUp();
    app.frame.keepInterface = true;
    app.frame.fixedAnimationSeconds = 12.5;
    app.files.worldOpen = true;
    app.clock.timeOfDay = 13440;
    app.setScreen(0);
}

// Streams the radius-6 window around the hover eye until every chunk is meshed and no task is left.
void hoverScene(const fs::path& base, int frames) {
    App app;
    startScene(app, base, 6);
    placeHoverEye(app);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(3);
    while (!windowSettled(app, 169)) {
        if (std::chrono::steady_clock::now() > deadline) {
            std::fprintf(stderr, "the hover window did not settle\n");
            std::exit(1);
        }
        app.streamWorld();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    app.clock.lastFrameTime = glfwGetTime();
    // Interleaved, so that a change in the machine's load touches both alike.
    for (int round = 0; round < 3; ++round) {
        app.frame.cullFaceGroups = false;
        measure(app, "hover-all", frames);
        app.frame.cullFaceGroups = true;
        app.frame.cullBuriedGroups = false;
        measure(app, "hover-facing", frames);
        app.frame.cullBuriedGroups = true;
        measure(app, "hover", frames);
        measure(app, "hover-loop", frames, [&app] {
            placeHoverEye(app);
            app.runFrame();
        });
    }
    app.shutdown();
}

// The play and menu scenes at the render tests' chunk radius.
void playAndMenuScenes(const fs::path& base, int frames) {
    App app;
    startScene(app, base, 2);
    app.player.health = 13;
    measure(app, "play", frames);
    app.setScreen(1);
    app.files.worldOpen = false;
    glfwSetCursorPos(app.gpu.win, 640, 390);
    measure(app, "menu", frames);
    app.shutdown();
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    const bool hoverOnly = argc > 2 && std::string(argv[2]) == "hover";
    const bench::SeedTwoWorld world("LAND");
    if (!hoverOnly) playAndMenuScenes(world.base(), frames);
    hoverScene(world.base(), frames);
    return 0;
}
