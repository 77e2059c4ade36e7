#pragma once
// The chunk window's pure choices: which chunk holds the player, which chunks lie outside or on the
// edge of the window, which missing chunk is asked for next, and the progress of environment
// generation.
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <utility>

namespace core {

using WindowKey = std::pair<int32_t, int32_t>;  // (cx, cz)

// The chunk that holds world coordinate v: floor(v) divided by 16, rounding down.
int32_t chunkOf(float v);

bool outsideWindow(const WindowKey& key, const WindowKey& centre, int32_t radius);
bool onWindowEdge(const WindowKey& key, const WindowKey& centre, int32_t radius);

// The missing chunk of the window nearest its centre (squared distance); ties go to the smaller cz,
// then the smaller cx. Nothing when the window is full.
std::optional<WindowKey> nearestMissingChunk(const std::map<WindowKey, std::size_t>& loaded,
                                             const WindowKey& centre, int32_t radius);

// start + (end - start) x loaded / (2R + 1)^2, in integers.
int32_t environmentProgress(int32_t start, int32_t end, std::size_t loaded, int32_t radius);

}  // namespace core
