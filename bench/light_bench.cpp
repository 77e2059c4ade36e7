// Lighting passes over square windows of chunks: 1 x 1, 5 x 5 (the window of one edit) and
// 13 x 13 (the start-up window of radius 6), on generated terrain and on a 3-D checkerboard.
#include <benchmark/benchmark.h>

#include <memory>

#include "render/chunks/light_flood_fill.h"
#include "world/generate.h"
#include "world/generation_profile.h"

namespace {

std::vector<voxel::Chunk> generatedWindow(int32_t side) {
    const voxel::GenerationContext context{12345, 4, std::make_shared<const voxel::GenerationProfile>()};
    std::vector<voxel::Chunk> chunks;
    const int32_t half = side / 2;
    for (int32_t cz = -half; cz <= half; ++cz) {
        for (int32_t cx = -half; cx <= half; ++cx) chunks.push_back(voxel::generateChunk(context, cx, cz));
    }
    return chunks;
}

// Stone and air alternate in all three directions.
std::vector<voxel::Chunk> checkerboardWindow(int32_t side) {
    std::vector<voxel::Chunk> chunks;
    const int32_t half = side / 2;
    for (int32_t cz = -half; cz <= half; ++cz) {
        for (int32_t cx = -half; cx <= half; ++cx) {
            voxel::Chunk chunk(cx, cz);
            for (uint32_t y = 0; y < 128; ++y) {
                for (uint32_t z = 0; z < 16; ++z) {
                    for (uint32_t x = 0; x < 16; ++x) chunk.cells[voxel::cellIndex(x, y, z)] = (x + y + z) % 2 ? 3 : 0;
                }
            }
            chunks.push_back(std::move(chunk));
        }
    }
    return chunks;
}

// Each pass starts from unlit copies, as a chunk's first pass does; the scratch grids are reused
// as the game reuses them.
void runWindow(benchmark::State& state, const std::vector<voxel::Chunk>& window) {
    voxel::LightScratch scratch;
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<voxel::Chunk> chunks = window;
        state.ResumeTiming();
        benchmark::DoNotOptimize(voxel::computeLight(chunks, {}, scratch));
    }
    state.counters["chunks"] = static_cast<double>(window.size());
    state.counters["per_chunk_ms"] = benchmark::Counter(static_cast<double>(window.size()) / 1000.0,
                                                        benchmark::Counter::kIsIterationInvariantRate |
                                                            benchmark::Counter::kInvert);
}

void lightGenerated(benchmark::State& state) {
    runWindow(state, generatedWindow(static_cast<int32_t>(state.range(0))));
}

void lightCheckerboard(benchmark::State& state) {
    runWindow(state, checkerboardWindow(static_cast<int32_t>(state.range(0))));
}

}  // namespace

BENCHMARK(lightGenerated)->Arg(1)->Arg(5)->Arg(13)->Unit(benchmark::kMillisecond);
BENCHMARK(lightCheckerboard)->Arg(1)->Arg(5)->Arg(13)->Unit(benchmark::kMillisecond);
