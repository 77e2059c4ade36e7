// Chunk generation per chunk, seed 12345: each generation stage over a 16 x 16 patch of ordinary
// chunks, and the chunk at the centre of a city.
#include <benchmark/benchmark.h>

#include <memory>

#include "world/city.h"
#include "world/generate.h"

namespace {

voxel::GenerationContext benchContext(int32_t stage, std::shared_ptr<voxel::GenerationProfile> profile) {
    voxel::GenerationContext context;
    context.seed = 12345;
    context.stage = stage;
    context.profile = std::move(profile);
    return context;
}

void generateChunkAtStage(benchmark::State& state) {
    const voxel::GenerationContext context =
        benchContext(static_cast<int32_t>(state.range(0)), std::make_shared<voxel::GenerationProfile>());
    int32_t i = 0;
    for (auto _ : state) {
        const voxel::Chunk chunk = voxel::generateChunk(context, i % 16 - 8, (i / 16) % 16 - 8);
        benchmark::DoNotOptimize(chunk.cells.data());
        ++i;
    }
}
BENCHMARK(generateChunkAtStage)->DenseRange(1, 4)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The first city of a profile whose only structure is a city rule.
void generateCityChunk(benchmark::State& state) {
    voxel::StructureRule city;
    city.id = "bench:town";
    city.name = "Town";
    city.city = true;
    city.spacing = 384;
    city.chance = 1.0f;
    auto profile = std::make_shared<voxel::GenerationProfile>();
    profile->structures = {city};
    const voxel::GenerationContext context = benchContext(4, profile);
    voxel::CitySite site;
    for (int32_t g = 0; g < 64 && !site.present; ++g) site = voxel::citySite(context, g % 8 - 4, g / 8 - 4);
    if (!site.present) {
        state.SkipWithError("no city near the origin");
        return;
    }
    for (auto _ : state) {
        const voxel::Chunk chunk = voxel::generateChunk(context, voxel::floorDiv(site.x, 16), voxel::floorDiv(site.z, 16));
        benchmark::DoNotOptimize(chunk.cells.data());
    }
}
BENCHMARK(generateCityChunk)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
