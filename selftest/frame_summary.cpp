#include "selftest/frame_summary.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>

namespace selftest {

namespace {

void requireValues(const std::vector<double>& values) {
    if (values.empty()) throw std::runtime_error("No values to summarise");
}

std::string fixed(double value, int decimals) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return std::string(text, result.ptr);
}

}  // namespace

double median(std::vector<double> values) {
    requireValues(values);
    std::sort(values.begin(), values.end());
    const std::size_t half = values.size() / 2;
    if (values.size() % 2 == 1) return values[half];
    return (values[half - 1] + values[half]) / 2.0;
}

double nearestRankPercentile(std::vector<double> values, uint32_t percent) {
    requireValues(values);
    std::sort(values.begin(), values.end());
    // In whole numbers: a product such as 0.95 x 20 is not exactly 19 in floating point.
    const uint64_t rank = (uint64_t{percent} * values.size() + 99) / 100;
    return values[std::clamp<uint64_t>(rank, 1, values.size()) - 1];
}

uint32_t measuredFrameCount(const std::optional<std::string>& setting) {
    if (!setting) return kDefaultMeasuredFrames;
    const std::string& text = *setting;
    uint32_t count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (error != std::errc() || end != text.data() + text.size() || count < 1 || count > kMaxMeasuredFrames)
        throw std::runtime_error("QUORVANE_PERFORMANCE_FRAMES must be a whole number from 1 to " +
                                 std::to_string(kMaxMeasuredFrames) + ", not \"" + text + "\"");
    return count;
}

FrameSummary summariseFrames(const std::vector<double>& frameMs, const std::vector<uint32_t>& triangles) {
    return {static_cast<uint32_t>(frameMs.size()), median(frameMs), nearestRankPercentile(frameMs, 95),
            median(std::vector<double>(triangles.begin(), triangles.end()))};
}

std::string performanceLine(const FrameSummary& summary) {
    return "PERFORMANCE_OK: frames " + std::to_string(summary.frames) + " median_ms " +
           fixed(summary.medianMs, 1) + " p95_ms " + fixed(summary.p95Ms, 1) + " triangles_median " +
           fixed(std::round(summary.trianglesMedian), 0);
}

}  // namespace selftest
