// The buried-group test over the synchronous window of radius 6 (seed 12345, stage 4), seen from the
// hover eye: every plain face group that faces the eye is tested, in view or not.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "app/app.h"
#include "render/view/buried_groups.h"
#include "render/view/shown_faces.h"

namespace {

void buriedGroups(benchmark::State& state) {
    App app;
    app.files.world = std::filesystem::temp_directory_path() / "quorvane-bench-world-without-chunks";
    app.files.seed = 12345;
    app.chunkRadius = 6;
    app.generateEnvironment();
    // Meshed as the meshing task does, every material taken as one without cut-out texels.
    const std::vector<uint8_t> noCutOut(4096, 0);
    std::vector<std::vector<render::FaceGroup>> groups;
    std::vector<render::OpaqueRows> rows;
    rows.reserve(app.world.chunks.size());
    std::vector<render::OpaqueCover::Entry> entries;
    for (const voxel::Chunk& chunk : app.world.chunks) {
        const auto side = [&app](int32_t cx, int32_t cz) { return app.findChunk(cx, cz); };
        const render::MeshWork work =
            App::buildMeshWork(voxel::packChunkKey(chunk.cx, chunk.cz), chunk, side(chunk.cx, chunk.cz - 1),
                               side(chunk.cx, chunk.cz + 1), side(chunk.cx + 1, chunk.cz),
                               side(chunk.cx - 1, chunk.cz), true, true);
        groups.push_back(render::splitChunkTriangles(work.vertices, work.indices, work.tied, noCutOut).plainGroups);
        rows.push_back(render::opaqueRows(chunk));
        entries.push_back({chunk.cx, chunk.cz, &rows.back()});
    }
    const render::OpaqueCover cover(entries);
    const render::Vec3 eye{8.5f, 105.0f, 29.5f};
    std::size_t tested = 0, buried = 0;
    for (auto _ : state) {
        tested = buried = 0;
        for (const std::vector<render::FaceGroup>& chunkGroups : groups)
            for (const render::FaceGroup& group : chunkGroups) {
                if (!render::groupFacesEye(group, eye)) continue;
                ++tested;
                buried += render::groupBuried(group, eye, cover) ? 1 : 0;
            }
        benchmark::DoNotOptimize(buried);
    }
    state.counters["groups"] = static_cast<double>(tested);
    state.counters["buried"] = static_cast<double>(buried);
}
BENCHMARK(buriedGroups)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
