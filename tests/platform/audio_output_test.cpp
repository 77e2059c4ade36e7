#include "platform/audio_output.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

TEST(AudioOutput, NullOutputConsumesAtTheRealRate) {
    auto output = platform::makeNullAudioOutput();
    ASSERT_NE(output, nullptr);
    const std::vector<int16_t> frames(1024 * platform::kAudioChannels);
    const auto start = Clock::now();
    EXPECT_TRUE(output->write(frames.data(), 1024));
    EXPECT_TRUE(output->write(frames.data(), 1024));
    const auto elapsed = Clock::now() - start;
    // Two buffers of 1,024 frames hold 46.4 ms of sound.
    EXPECT_GE(elapsed, std::chrono::milliseconds(46));
    EXPECT_LT(elapsed, std::chrono::milliseconds(500));
}

TEST(AudioOutput, FailingOutputNeverOpens) {
    EXPECT_EQ(platform::openFailingAudioOutput(), nullptr);
}

// Without a sound card the device simply does not open; with one it opens. Either way quickly and
// without ALSA's own complaints on stderr.
TEST(AudioOutput, DefaultDeviceOpensQuietly) {
    testing::internal::CaptureStderr();
    const auto start = Clock::now();
    auto output = platform::openDefaultAudioOutput();
    const auto elapsed = Clock::now() - start;
    output.reset();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_LT(elapsed, std::chrono::seconds(2));
}

}  // namespace
