#pragma once
// Sky and block light of a rectangle of chunk copies, by flood fill. Pure: it touches only its
// arguments and reads the block registry, so it runs on a worker thread.
#include <array>
#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "world/chunk.h"

namespace voxel {

// Extra block light at one cell, on top of the block's own emission (a burning furnace).
struct LightSource {
    int32_t x = 0, y = 0, z = 0;
    int32_t level = 0;
    friend bool operator==(const LightSource&, const LightSource&) = default;
    friend auto operator<=>(const LightSource&, const LightSource&) = default;
};
static_assert(sizeof(LightSource) == 16);

inline constexpr uint8_t lightBlocked = 255;

// Per block id: light lost per step (lightBlocked for opaque blocks) and light emitted. Ids the
// registry does not know keep 0 in both.
struct LightTables {
    std::array<uint8_t, 256> attenuation{};
    std::array<uint8_t, 256> emission{};
};
LightTables lightTables();

// The working grids of one computation, kept by callers that light often so that the memory is
// reused. Their contents between calls mean nothing.
struct LightScratch {
    std::vector<uint8_t> attenuation;
    std::vector<uint8_t> sky;
    std::vector<uint8_t> block;
    std::vector<uint8_t> columnLevel;
    std::vector<uint32_t> queue;  // grows: a cell is queued again each time its level rises
};

// Relights every chunk of the list in place and returns the keys (cx, cz) of the chunks whose
// light list changed. Chunks missing from the rectangle count as opaque.
std::set<std::pair<int32_t, int32_t>> computeLight(std::vector<Chunk>& chunks, const std::vector<LightSource>& sources);
std::set<std::pair<int32_t, int32_t>> computeLight(std::vector<Chunk>& chunks, const std::vector<LightSource>& sources,
                                                   LightScratch& scratch);

}  // namespace voxel
