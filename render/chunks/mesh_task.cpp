#include <chrono>

#include "app/app.h"

render::BlockFaces App::emitBlockFaces(const voxel::Chunk& chunk, const voxel::Chunk* north,
                                       const voxel::Chunk* south, const voxel::Chunk* east, const voxel::Chunk* west,
                                       bool staticOnly, bool smoothLight, bool cornerShade) {
    return render::emitBlockFaces(chunk, render::SideChunks{north, south, east, west},
                                  render::MeshOptions{staticOnly, smoothLight, cornerShade});
}

render::MeshWork App::buildMeshWork(uint64_t key, const voxel::Chunk& chunk, const voxel::Chunk* north,
                                    const voxel::Chunk* south, const voxel::Chunk* east, const voxel::Chunk* west,
                                    bool smoothLight, bool cornerShade) {
    const auto start = std::chrono::steady_clock::now();
    render::BlockFaces faces = emitBlockFaces(chunk, north, south, east, west, true, smoothLight, cornerShade);
    render::MeshWork work;
    work.key = key;
    work.vertices = std::move(faces.vertices);
    work.indices = std::move(faces.indices);
    work.tied = std::move(faces.tied);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    work.milliseconds = static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count()) / 1e6;
    return work;
}
