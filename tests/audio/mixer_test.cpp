#include "audio/mixer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

namespace {

using audio::Mixer;
using audio::Sound;
using audio::Voice;

Sound constantSound(int16_t left, int16_t right, std::size_t frames) {
    Sound sound{"test", {}};
    for (std::size_t i = 0; i < frames; ++i) sound.frames.insert(sound.frames.end(), {left, right});
    return sound;
}

void setVolumes(Mixer& mixer, float master, float effects, float ambient) {
    mixer.masterVolume = master;
    mixer.effectsVolume = effects;
    mixer.ambientVolume = ambient;
}

std::vector<int16_t> mix(Mixer& mixer, std::size_t frames) {
    std::vector<int16_t> out(frames * 2, 123);
    audio::mixVoices(mixer, out.data(), frames);
    return out;
}

TEST(MixVoices, SumsVoicesWithGainAndTheirVolume) {
    Mixer mixer;
    setVolumes(mixer, 0.5f, 1.0f, 0.25f);
    const Sound effect = constantSound(1000, -2000, 8);
    const Sound ambient = constantSound(4000, 4000, 8);
    mixer.voices.push_back(Voice{&effect, 0, 1.0f, 0.0f, false});  // 0.5 overall
    mixer.voices.push_back(Voice{&ambient, 0, 2.0f, 0.0f, true});  // 2 x 0.25 x 0.5
    EXPECT_EQ(mix(mixer, 4), (std::vector<int16_t>{1500, 0, 1500, 0, 1500, 0, 1500, 0}));  // 500 + 1000, -1000 + 1000
    EXPECT_EQ(mixer.voices[0].position, 4u);
    EXPECT_EQ(mixer.voices[1].position, 4u);
}

TEST(MixVoices, ClampsToSixteenBits) {
    Mixer mixer;
    setVolumes(mixer, 1.0f, 1.0f, 1.0f);
    const Sound loud = constantSound(30000, -30000, 2);
    mixer.voices.push_back(Voice{&loud, 0, 1.0f, 0.0f, false});
    mixer.voices.push_back(Voice{&loud, 0, 1.0f, 0.0f, true});
    const auto out = mix(mixer, 2);
    EXPECT_EQ(out, (std::vector<int16_t>{32767, -32768, 32767, -32768}));
}

TEST(MixVoices, PansWithLinearWeights) {
    Mixer mixer;
    setVolumes(mixer, 1.0f, 1.0f, 1.0f);
    const Sound sound = constantSound(1000, 1000, 4);
    const struct {
        float pan;
        int16_t left, right;
    } rows[] = {{-1.0f, 1000, 0}, {-0.5f, 1000, 500}, {0.5f, 500, 1000}, {1.0f, 0, 1000}, {3.0f, 0, 1000}};
    for (const auto& row : rows) {
        mixer.voices = {Voice{&sound, 0, 1.0f, row.pan, false}};
        EXPECT_EQ(mix(mixer, 1), (std::vector<int16_t>{row.left, row.right})) << row.pan;
    }
}

TEST(MixVoices, FinishedVoicesAreDroppedAndLeaveSilence) {
    Mixer mixer;
    setVolumes(mixer, 1.0f, 1.0f, 1.0f);
    const Sound shortSound = constantSound(100, 200, 3);
    const Sound longSound = constantSound(1, 1, 100);
    mixer.voices.push_back(Voice{&shortSound, 0, 1.0f, 0.0f, false});
    mixer.voices.push_back(Voice{nullptr, 0, 1.0f, 0.0f, false});
    mixer.voices.push_back(Voice{&longSound, 98, 1.0f, 0.0f, false});

    EXPECT_EQ(mix(mixer, 2), (std::vector<int16_t>{101, 201, 101, 201}));
    ASSERT_EQ(mixer.voices.size(), 1u);  // the long voice reached its end, the empty one never played
    EXPECT_EQ(mixer.voices[0].position, 2u);

    EXPECT_EQ(mix(mixer, 2), (std::vector<int16_t>{100, 200, 0, 0}));
    EXPECT_TRUE(mixer.voices.empty());
    EXPECT_EQ(mix(mixer, 1), (std::vector<int16_t>{0, 0}));
}

void addVoice(Mixer& mixer, const Sound& sound) {
    std::lock_guard lock(mixer.mutex);
    mixer.voices.push_back(Voice{&sound, 0, 1.0f, 0.0f, false});
}

template <typename Condition>
bool waitFor(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

TEST(MixerThread, PlaysVoicesThenClosesOnceAndAgain) {
    Mixer mixer;
    audio::closeOutput(mixer);  // nothing started yet
    const Sound sound = constantSound(10, 10, 2000);
    addVoice(mixer, sound);
    audio::startOutput(mixer, platform::makeNullAudioOutput());
    EXPECT_TRUE(mixer.running);
    EXPECT_TRUE(mixer.thread.joinable());
    EXPECT_TRUE(waitFor([&] {
        std::lock_guard lock(mixer.mutex);
        return mixer.voices.empty();
    }));
    addVoice(mixer, sound);
    audio::closeOutput(mixer);
    EXPECT_FALSE(mixer.running);
    EXPECT_FALSE(mixer.thread.joinable());
    EXPECT_FALSE(mixer.device);
    EXPECT_TRUE(mixer.voices.empty());
    audio::closeOutput(mixer);
    EXPECT_FALSE(mixer.thread.joinable());
}

TEST(MixerThread, NoDeviceStartsNothing) {
    Mixer mixer;
    audio::startOutput(mixer, platform::openFailingAudioOutput());
    EXPECT_FALSE(mixer.running);
    EXPECT_FALSE(mixer.thread.joinable());
}

class BrokenOutput : public platform::AudioOutput {
   public:
    bool write(const int16_t*, std::size_t) override { return false; }
};

TEST(MixerThread, FailedWriteEndsTheLoop) {
    Mixer mixer;
    audio::startOutput(mixer, std::make_unique<BrokenOutput>());
    EXPECT_TRUE(waitFor([&] { return !mixer.running; }));
    audio::closeOutput(mixer);
    EXPECT_FALSE(mixer.thread.joinable());
    EXPECT_FALSE(mixer.device);
}

struct Counts {
    std::atomic<int> writes{0};
    std::atomic<bool> released{false};
};

// Counts writes at a fast pace and reports when the mixer releases it.
class CountingOutput : public platform::AudioOutput {
   public:
    explicit CountingOutput(std::shared_ptr<Counts> counts) : counts_(std::move(counts)) {}
    ~CountingOutput() override { counts_->released = true; }
    bool write(const int16_t*, std::size_t frameCount) override {
        EXPECT_EQ(frameCount, 1024u);  // 4,096 bytes of 16-bit stereo
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ++counts_->writes;
        return true;
    }

   private:
    std::shared_ptr<Counts> counts_;
};

TEST(MixerThread, DestructorStopsARunningMixer) {
    const auto counts = std::make_shared<Counts>();
    {
        Mixer mixer;
        audio::startOutput(mixer, std::make_unique<CountingOutput>(counts));
        EXPECT_TRUE(waitFor([&] { return counts->writes >= 3; }));
        EXPECT_FALSE(counts->released);
    }
    EXPECT_TRUE(counts->released);
    const int afterStop = counts->writes;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(counts->writes, afterStop);
}

}  // namespace
