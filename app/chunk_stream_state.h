#pragma once
// The streaming side of the chunk window: the one load task in flight and the window centre that
// the last unload pass served.
#include <cstddef>
#include <cstdint>
#include <future>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "world/chunk.h"
#include "world/generation_profile.h"

// What a load task hands back: the chunk read from its file or generated, and how long that took.
struct StreamedChunk {
    voxel::Chunk chunk;
    double milliseconds = 0.0;
};

struct ChunkStreamState {
    // A load task reads or generates this many missing chunks, nearest first: at one task a frame,
    // a single chunk falls behind a flight once a frame takes more than about a ninth of a second.
    static constexpr std::size_t kLoadBatch = 3;

    std::future<std::vector<StreamedChunk>> task;       // empty when no load is in flight; one a request
    std::vector<std::pair<int32_t, int32_t>> requests;  // (cx, cz) the task was asked for, nearest first
    int32_t requestX = 0, requestZ = 0;                 // the first of them
    std::size_t loadBatch = kLoadBatch;
    double lastBuildMilliseconds = 0.0;
    int32_t centreX = 0, centreZ = 0;  // the last window centre; its radius is App::lastUnloadRadius
    // The overworld's profile, built from the biome and structure content; the content dimensions
    // carry their own (ContentState::dimensions).
    voxel::ProfilePtr defaultProfile = std::make_shared<const voxel::GenerationProfile>();
};
