#pragma once
// Frame timing for the debug overlay: the last frame time, a ring of the last 120, frames per
// second over half-second windows, and what the last frame spent waiting, recording and drawing.
#include <array>
#include <cstdint>

namespace render {

inline constexpr uint32_t kFrameRing = 120;
inline constexpr int32_t kMaxShownFps = 9999;

struct FrameStats {
    bool started = false;  // a previous frame start exists
    double previousStart = 0.0;
    double lastFrameMs = 0.0;
    std::array<double, kFrameRing> ring{};
    uint32_t ringCounter = 0;
    uint32_t ringFill = 0;
    double fpsWindowStart = 0.0;
    int32_t fpsFrames = 0;
    int32_t fps = 0;
    double fenceWaitMs = 0.0;
    double recordMs = 0.0;
    uint32_t visibleChunks = 0;
    uint32_t visibleTriangles = 0;  // the chunk triangles drawn: solid and water
    uint32_t chunkDraws = 0;        // draw calls of the solid and water chunk passes
};

// Counts a frame that starts at `now` (seconds).
void recordFrameStart(FrameStats& stats, double now);

}  // namespace render
