// The frame benchmark: the game starts in the output folder on a world with land near spawn, enters
// play and flies a fixed path through the real frame loop (streaming, world steps and drawing as in
// play), timing every frame. performance.log gets the line of performanceLine, or "FAILED: " and
// the reason.
#include <GLFW/glfw3.h>

#include <algorithm>
#include <chrono>
#include <exception>
#include <fstream>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <system_error>

#include "app/app.h"
#include "net/paths.h"
#include "platform/close_request.h"
#include "platform/environment.h"
#include "platform/file_read.h"
#include "selftest/flight_path.h"
#include "selftest/frame_summary.h"
#include "selftest/scenarios.h"

namespace fs = std::filesystem;

namespace selftest {

namespace {

constexpr const char* kLogName = "performance.log";
constexpr const char* kWorldText = "QUORVANE_WORLD 1\nname PERFORMANCE\nseed 2\ngeneration 4\n";

bool writeLog(const Path& folder, const std::string& line) {
    std::error_code ignored;
    fs::create_directories(folder, ignored);
    std::ofstream log(folder / kLogName, std::ios::binary | std::ios::trunc);
    log << line << "\n";
    return static_cast<bool>(log.flush());
}

// The shipped content pack, unless the folder brings its own.
void provideContent(const App& app) {
    const Path target = app.files.base / "Content";
    const Path source = app.files.root / "Content";
    if (fs::exists(target) || !fs::is_directory(source)) return;
    fs::copy(source, target, fs::copy_options::recursive);
}

// Seed 2 has its spawn on land. A folder holding some other world is left untouched.
Path prepareWorld(const App& app) {
    const Path folder = app.files.saves / "world_1";
    const Path file = folder / "world.txt";
    if (const std::optional<std::string> existing = platform::readFileBytes(file)) {
        if (*existing != kWorldText)
            throw std::runtime_error(file.string() +
                                     " holds another world; the benchmark needs a folder of its own");
        return folder;
    }
    fs::create_directories(folder);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << kWorldText;
    if (!out.flush()) throw std::runtime_error("Cannot write " + file.string());
    return folder;
}

void enterPlay(App& app, const Path& world) {
    if (app.files.world != world) throw std::runtime_error("The benchmark world was not the one loaded");
    app.files.worldOpen = true;
    app.setScreen(UiState::kPlaying);
    app.clock.lastFrameTime = glfwGetTime();
}

// The frame's player step reads the keyboard and pointer; the pose comes from the path instead, in
// flight, so that the step keeps it where the path put it.
void placeCamera(App& app, const FlightPose& pose) {
    app.motion.flying = true;
    app.player.x = pose.x;
    app.player.y = pose.y;
    app.player.z = pose.z;
    app.player.yaw = pose.yaw;
    app.player.pitch = pose.pitch;
    app.player.resetMouseLook = true;
}

FrameSummary flyPath(App& app, uint32_t measuredFrames) {
    std::vector<double> frameMs;
    std::vector<uint32_t> triangles;
    for (uint32_t frame = 0; frame < kWarmUpFrames + measuredFrames; ++frame) {
        if (glfwWindowShouldClose(app.gpu.win))
            throw std::runtime_error("The window was closed during the benchmark");
        placeCamera(app, flightPose(frame));
        const auto start = std::chrono::steady_clock::now();
        app.runFrame();
        const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
        if (frame < kWarmUpFrames) continue;
        frameMs.push_back(elapsed.count());
        triangles.push_back(app.frame.stats.visibleTriangles);
    }
    const FrameSummary summary = summariseFrames(frameMs, triangles);
    if (std::ranges::all_of(triangles, [](uint32_t count) { return count == 0; }))
        throw std::runtime_error("No terrain was drawn");
    return summary;
}

std::string benchmark(App& app, const Path& folder, uint32_t measuredFrames) {
    app.useBaseDirectory(net::makeAbsolutePath(folder));
    provideContent(app);
    const Path world = prepareWorld(app);
    app.startUp();
    enterPlay(app, world);
    return performanceLine(flyPath(app, measuredFrames));
}

// The benchmark with an App of its own; any failure becomes the "FAILED: " line.
std::string runWithApp(const Path& folder) {
    std::unique_ptr<App> app;
    try {
        const uint32_t measuredFrames =
            measuredFrameCount(platform::environmentValue("QUORVANE_PERFORMANCE_FRAMES"));
        app = std::make_unique<App>();
        const std::string line = benchmark(*app, folder, measuredFrames);
        app->shutdown();
        return line;
    } catch (const std::exception& failure) {
        if (app) app->shutdown();
        return std::string("FAILED: ") + failure.what();
    }
}

}  // namespace

int performance(const Path& out) {
    platform::startCloseRequestWatcher();
    const std::string line = runWithApp(out);
    platform::stopCloseRequestWatcher();
    // Figures that never reached the log are no result.
    if (!writeLog(out, line)) {
        std::cerr << "FAILED: cannot write " << (out / kLogName).string() << std::endl;
        return 1;
    }
    const bool ok = line.starts_with("PERFORMANCE_OK: ");
    (ok ? std::cout : std::cerr) << line << std::endl;
    return ok ? 0 : 1;
}

}  // namespace selftest
