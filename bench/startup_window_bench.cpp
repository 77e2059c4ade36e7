// The synchronous start-up window of radius 6: 169 chunks generated (seed 12345, stage 4), lit and
// meshed, as start-up stages 6 and 10 do it, and each of the three steps on its own.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "app/app.h"
#include "render/chunks/light_flood_fill.h"
#include "render/chunks/mesh_scheduling.h"

namespace {

// A world folder without chunk files, so every chunk is generated.
void prepare(App& app) {
    app.files.world = std::filesystem::temp_directory_path() / "quorvane-bench-world-without-chunks";
    app.files.seed = 12345;
    app.chunkRadius = 6;
    app.player.chunkX = app.player.chunkZ = 0;
}

void startupWindow(benchmark::State& state) {
    App app;
    prepare(app);
    for (auto _ : state) {
        app.generateEnvironment();
        app.uploadMesh(render::meshEverything);
        benchmark::DoNotOptimize(app.world.meshes.size());
    }
    state.counters["chunks"] = static_cast<double>(app.world.meshes.size());
}
BENCHMARK(startupWindow)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(7);

void startupWindowGenerate(benchmark::State& state) {
    App app;
    prepare(app);
    for (auto _ : state) {
        app.generateEnvironment();
        benchmark::DoNotOptimize(app.world.chunks.data());
    }
}
BENCHMARK(startupWindowGenerate)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(7);

void startupWindowLight(benchmark::State& state) {
    App app;
    prepare(app);
    app.generateEnvironment();
    voxel::LightScratch scratch;
    for (auto _ : state) {
        std::vector<voxel::Chunk> copies = app.world.chunks;
        benchmark::DoNotOptimize(voxel::computeLight(copies, {}, scratch).size());
    }
}
BENCHMARK(startupWindowLight)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(7);

void startupWindowMesh(benchmark::State& state) {
    App app;
    prepare(app);
    app.generateEnvironment();
    app.uploadMesh(render::meshEverything);
    for (auto _ : state) {
        for (const voxel::Chunk& chunk : app.world.chunks) app.world.remesh.insert({chunk.cx, chunk.cz});
        app.uploadMesh(render::meshEverything);
        benchmark::DoNotOptimize(app.meshing.solidIndexCount);
    }
}
BENCHMARK(startupWindowMesh)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(7);

}  // namespace
