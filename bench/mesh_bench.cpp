// Meshing one chunk with its four side neighbours: lit generated terrain (the nine inner chunks of
// a 5 x 5 window around the origin, seed 12345, stage 4) and a 3-D checkerboard of stone, the worst
// case, where every block shows all six faces. Smooth light and corner shading on and off.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "render/chunks/chunk_mesher.h"
#include "render/chunks/light_flood_fill.h"
#include "world/generate.h"
#include "world/generation_profile.h"

namespace {

constexpr int32_t windowSide = 5;

// Row-major by z then x, from (-2, -2).
const voxel::Chunk& at(const std::vector<voxel::Chunk>& window, int32_t cx, int32_t cz) {
    return window[static_cast<std::size_t>((cz + 2) * windowSide + cx + 2)];
}

std::vector<voxel::Chunk> litGeneratedWindow() {
    const voxel::GenerationContext context{12345, 4, std::make_shared<const voxel::GenerationProfile>()};
    std::vector<voxel::Chunk> chunks;
    for (int32_t cz = -2; cz <= 2; ++cz) {
        for (int32_t cx = -2; cx <= 2; ++cx) chunks.push_back(voxel::generateChunk(context, cx, cz));
    }
    voxel::computeLight(chunks, {});
    return chunks;
}

voxel::Chunk checkerboard() {
    voxel::Chunk chunk(0, 0);
    for (uint32_t y = 0; y < 128; ++y) {
        for (uint32_t z = 0; z < 16; ++z) {
            for (uint32_t x = 0; x < 16; ++x) chunk.cells[voxel::cellIndex(x, y, z)] = (x + y + z) % 2 ? 0 : 3;
        }
    }
    return chunk;
}

render::MeshOptions options(const benchmark::State& state) {
    return {true, state.range(0) != 0, state.range(1) != 0};
}

void meshGenerated(benchmark::State& state) {
    static const std::vector<voxel::Chunk> window = litGeneratedWindow();
    const render::MeshOptions chosen = options(state);
    std::size_t vertices = 0;
    for (auto _ : state) {
        vertices = 0;
        for (int32_t cz = -1; cz <= 1; ++cz) {
            for (int32_t cx = -1; cx <= 1; ++cx) {
                const render::SideChunks sides{&at(window, cx, cz - 1), &at(window, cx, cz + 1), &at(window, cx + 1, cz),
                                               &at(window, cx - 1, cz)};
                render::BlockFaces faces = render::emitBlockFaces(at(window, cx, cz), sides, chosen);
                vertices += faces.vertices.size();
                benchmark::DoNotOptimize(faces);
            }
        }
    }
    state.counters["vertices_per_chunk"] = static_cast<double>(vertices) / 9.0;
    state.counters["per_chunk_ms"] = benchmark::Counter(
        9.0 / 1000.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void meshCheckerboard(benchmark::State& state) {
    static const voxel::Chunk chunk = checkerboard();
    const render::MeshOptions chosen = options(state);
    std::size_t vertices = 0;
    for (auto _ : state) {
        render::BlockFaces faces = render::emitBlockFaces(chunk, {}, chosen);
        vertices = faces.vertices.size();
        benchmark::DoNotOptimize(faces);
    }
    state.counters["vertices_per_chunk"] = static_cast<double>(vertices);
}

}  // namespace

BENCHMARK(meshGenerated)->ArgNames({"smooth", "corner"})->Args({1, 1})->Args({0, 0})->Unit(benchmark::kMillisecond);
BENCHMARK(meshCheckerboard)->ArgNames({"smooth", "corner"})->Args({1, 1})->Args({0, 0})->Unit(benchmark::kMillisecond);
