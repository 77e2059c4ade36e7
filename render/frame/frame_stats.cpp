#include "render/frame/frame_stats.h"

#include <algorithm>
#include <cmath>

namespace render {

namespace {

constexpr double kFpsWindow = 0.5;

void recordFrameTime(FrameStats& stats, double now) {
    if (stats.started) {
        stats.lastFrameMs = (now - stats.previousStart) * 1000.0;
        stats.ring[stats.ringCounter % kFrameRing] = stats.lastFrameMs;
        ++stats.ringCounter;
        stats.ringFill = std::min(stats.ringFill + 1, kFrameRing);
    } else {
        stats.fpsWindowStart = now;
    }
    stats.started = true;
    stats.previousStart = now;
}

void countFps(FrameStats& stats, double now) {
    ++stats.fpsFrames;
    const double elapsed = now - stats.fpsWindowStart;
    if (elapsed < kFpsWindow) return;
    const double rate = std::round(stats.fpsFrames / elapsed);
    stats.fps = static_cast<int32_t>(std::clamp(rate, 0.0, static_cast<double>(kMaxShownFps)));
    stats.fpsFrames = 0;
    stats.fpsWindowStart = now;
}

}  // namespace

void recordFrameStart(FrameStats& stats, double now) {
    recordFrameTime(stats, now);
    countFps(stats, now);
}

}  // namespace render
