#pragma once
// The streaming side of the chunk window: the one chunk load in flight and the window centre that
// the last unload pass served.
#include <cstdint>
#include <future>
#include <map>
#include <memory>
#include <string>

#include "world/chunk.h"
#include "world/generation_profile.h"

// What a load task hands back: the chunk read from its file or generated, and how long that took.
struct StreamedChunk {
    voxel::Chunk chunk;
    double milliseconds = 0.0;
};

struct ChunkStreamState {
    std::future<StreamedChunk> task;     // empty when no load is in flight
    int32_t requestX = 0, requestZ = 0;  // the chunk the task was asked for
    double lastBuildMilliseconds = 0.0;
    int32_t centreX = 0, centreZ = 0;  // the last window centre; its radius is App::lastUnloadRadius
    // The overworld's profile, built from the biome and structure content; the content dimensions
    // carry their own (ContentState::dimensions).
    voxel::ProfilePtr defaultProfile = std::make_shared<const voxel::GenerationProfile>();
};
