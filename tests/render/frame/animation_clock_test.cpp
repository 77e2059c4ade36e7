#include "render/frame/animation_clock.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

struct ClockRecord {
    float seconds;
    float dayFraction;
    uint32_t written;
};

ClockRecord readRecord(const std::vector<uint8_t>& meta) {
    ClockRecord record{};
    std::memcpy(&record, meta.data() + render::kAnimationClockOffset, sizeof record);
    return record;
}

TEST(AnimationClock, WritesItsThreeWordsAndNothingElse) {
    std::vector<uint8_t> meta(229376, 0xAB);
    render::writeAnimationClock(meta.data(), 12.5, 0.28f);
    const ClockRecord record = readRecord(meta);
    EXPECT_FLOAT_EQ(record.seconds, 12.5f);
    EXPECT_FLOAT_EQ(record.dayFraction, 0.28f);
    EXPECT_EQ(record.written, 1u);
    std::size_t changed = 0;
    for (uint8_t byte : meta) changed += byte != 0xAB;
    EXPECT_LE(changed, render::kAnimationClockBytes);
    EXPECT_EQ(meta[render::kAnimationClockOffset - 1], 0xAB);
    EXPECT_EQ(meta[render::kAnimationClockOffset + render::kAnimationClockBytes], 0xAB);
}

TEST(AnimationClock, WrapsLongRunsToKeepFloatPrecision) {
    std::vector<uint8_t> meta(229376);
    render::writeAnimationClock(meta.data(), 86400.0 * 3 + 7.25, 0.5f);
    EXPECT_FLOAT_EQ(readRecord(meta).seconds, 7.25f);
    render::writeAnimationClock(meta.data(), 3599.5, 0.5f);
    EXPECT_FLOAT_EQ(readRecord(meta).seconds, 3599.5f);
}

// A fixed clock of zero is still a fixed clock: captures at the start of the animation.
TEST(AnimationClock, AFixedValueWinsOverTheWallClock) {
    EXPECT_EQ(render::animationSeconds(std::nullopt, 42.5), 42.5);
    EXPECT_EQ(render::animationSeconds(0.0, 42.5), 0.0);
    EXPECT_EQ(render::animationSeconds(7.0, 42.5), 7.0);
}

}  // namespace
