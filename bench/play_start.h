#pragma once
// What the benchmarks that play the seed-2 world share: their numeric arguments and the start-up
// into play at radius 6.
#include <GLFW/glfw3.h>

#include <cstdlib>

#include "app/app.h"
#include "bench/bench_world.h"

namespace bench {

// Argument `index` as a positive number, or `fallback` when it is missing or not positive.
inline double positiveArgument(int argc, char** argv, int index, double fallback) {
    if (argc <= index) return fallback;
    const double value = std::atof(argv[index]);
    return value > 0.0 ? value : fallback;
}

// Starts the game on `world` at radius 6 and leaves it playing, its world clock running from now.
inline void startPlaying(App& app, const SeedTwoWorld& world) {
    app.useBaseDirectory(world.base());
    app.chunkRadius = 6;
    app.startUp();
    app.files.worldOpen = true;
    app.setScreen(UiState::kPlaying);
    app.clock.lastFrameTime = glfwGetTime();
}

}  // namespace bench
