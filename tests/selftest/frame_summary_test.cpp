#include "selftest/frame_summary.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/failure.h"

namespace {

TEST(FrameSummary, MedianAndNearestRankPercentile) {
    const struct {
        std::vector<double> values;
        double median, p95;
    } cases[] = {
        {{7.0}, 7.0, 7.0},                 // one frame
        {{9.0, 3.0}, 6.0, 9.0},            // two frames: mean of both; rank ceil(1.9) = 2
        {{5.0, 1.0, 3.0}, 3.0, 5.0},       // odd count, unsorted
        {{4.0, 1.0, 3.0, 2.0}, 2.5, 4.0},  // even count
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(selftest::median(c.values), c.median) << c.values.size() << " values";
        EXPECT_DOUBLE_EQ(selftest::nearestRankPercentile(c.values, 95), c.p95)
            << c.values.size() << " values";
    }
}

// n .. 1: the percentile is the value of rank ceil(p n / 100), never below rank 1.
TEST(FrameSummary, PercentileRankAtItsEdges) {
    const struct {
        int n, percentile;
        double value;
    } cases[] = {{19, 95, 19},   {20, 95, 19}, {21, 95, 20}, {300, 95, 285},
                 {301, 95, 286}, {5, 0, 1},    {5, 100, 5}};
    for (const auto& c : cases) {
        std::vector<double> values;
        for (int i = c.n; i >= 1; --i) values.push_back(i);
        EXPECT_EQ(selftest::nearestRankPercentile(values, c.percentile), c.value)
            << c.n << " " << c.percentile;
    }
    EXPECT_EQ(testsupport::failureOf([] { selftest::median({}); }), "No values to summarise");
    EXPECT_EQ(testsupport::failureOf([] { selftest::nearestRankPercentile({}, 95); }),
              "No values to summarise");
}

TEST(FrameSummary, FrameCountFromTheEnvironment) {
    EXPECT_EQ(selftest::measuredFrameCount(std::nullopt), 300u);
    EXPECT_EQ(selftest::measuredFrameCount("1"), 1u);
    EXPECT_EQ(selftest::measuredFrameCount("100000"), 100000u);
    for (const char* bad : {"0", "100001", "", "12x", "-3", " 5", "4294967296"}) {
        EXPECT_EQ(testsupport::failureOf([&] { selftest::measuredFrameCount(std::string(bad)); }),
                  "QUORVANE_PERFORMANCE_FRAMES must be a whole number from 1 to 100000, not \"" +
                      std::string(bad) + "\"");
    }
}

TEST(FrameSummary, LogLine) {
    const selftest::FrameSummary summary =
        selftest::summariseFrames({30.0, 10.0, 20.04, 40.0}, {100, 301, 200, 400});
    EXPECT_EQ(selftest::performanceLine(summary),
              "PERFORMANCE_OK: frames 4 median_ms 25.0 p95_ms 40.0 triangles_median 251");
}

}  // namespace
