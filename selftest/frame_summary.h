#pragma once
// The figures of the frame benchmark: frame-time percentiles, the count of frames to measure and
// the one line of performance.log.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace selftest {

inline constexpr uint32_t kDefaultMeasuredFrames = 300;
inline constexpr uint32_t kMaxMeasuredFrames = 100000;
inline constexpr uint32_t kWarmUpFrames = 5;

// The middle value; for an even count the mean of the two middle values. Throws
// "No values to summarise" when there are none.
double median(std::vector<double> values);

// Nearest rank: the smallest value that at least `percent` per cent of the values do not exceed,
// that is the value of rank ceil(percent / 100 x count), counted from 1 in ascending order (at
// least rank 1). Throws "No values to summarise" when there are none.
double nearestRankPercentile(std::vector<double> values, uint32_t percent);

// QUORVANE_PERFORMANCE_FRAMES: absent means the default count; present, a whole number from 1 to
// kMaxMeasuredFrames, else a std::runtime_error saying so.
uint32_t measuredFrameCount(const std::optional<std::string>& setting);

struct FrameSummary {
    uint32_t frames = 0;
    double medianMs = 0.0;
    double p95Ms = 0.0;
    double trianglesMedian = 0.0;
};

// Frame times in milliseconds and the visible triangles of the same frames, in frame order.
FrameSummary summariseFrames(const std::vector<double>& frameMs, const std::vector<uint32_t>& triangles);

// "PERFORMANCE_OK: frames 300 median_ms 123.4 p95_ms 150.2 triangles_median 123456", times with one
// decimal, the triangle median rounded to a whole number; no line break.
std::string performanceLine(const FrameSummary& summary);

}  // namespace selftest
