#include "audio/positional.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using audio::Listener;

// The listener looks along +x, so +z is on the right.
TEST(PlaceAt, LevelFallsToNothingAtSixteenBlocksAndLeansToTheSideOfTheSource) {
    const Listener ears{10.0, 64.0, 10.0, 0.0};
    const struct {
        const char* name;
        double dx, dy, dz;
        float gain, pan;
    } cases[] = {
        {"at the ears", 0.0, 0.0, 0.0, 1.0f, 0.0f},
        {"straight ahead", 8.0, 0.0, 0.0, 0.5f, 0.0f},
        {"on the right", 0.0, 0.0, 4.0, 0.75f, 1.0f},
        {"on the left", 0.0, 0.0, -4.0, 0.75f, -1.0f},
        {"ahead and right", 3.0, 0.0, 3.0, static_cast<float>(1.0 - std::sqrt(18.0) / 16.0), std::sqrt(0.5f)},
        {"straight above", 0.0, 12.0, 0.0, 0.25f, 0.0f},
        {"just within hearing", 0.0, 0.0, 15.99, static_cast<float>(0.01 / 16.0), 1.0f},
        {"at the hearing distance", 16.0, 0.0, 0.0, 0.0f, 0.0f},
        {"beyond it", 0.0, -20.0, 0.0, 0.0f, 0.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const audio::Placement p = audio::placeAt(ears, 10.0 + c.dx, 64.0 + c.dy, 10.0 + c.dz);
        EXPECT_NEAR(p.gain, c.gain, 1e-6);
        EXPECT_NEAR(p.pan, c.pan, 1e-6);
    }
    // Turned a quarter to the right (looking along +z), a source on +x is on the left.
    EXPECT_NEAR(audio::placeAt({0.0, 0.0, 0.0, 1.5707963267948966}, 4.0, 0.0, 0.0).pan, -1.0f, 1e-6);
}

TEST(PlayAt, AddsAVoiceOnlyForAKnownSoundInHearingWhileTheOutputRuns) {
    const struct {
        const char* name;
        bool running;
        const char* id;
        double x;
        bool plays;
    } cases[] = {
        {"heard", true, "core:click", 4.0, true},
        {"no output", false, "core:click", 4.0, false},
        {"no such sound", true, "core:clock", 4.0, false},
        {"out of hearing", true, "core:click", 16.0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        audio::Mixer mixer;
        mixer.sounds = {{"core:thud", {1, 1}, 1.0f}, {"core:click", {1, 1}, 0.8f}};
        mixer.running = c.running;
        EXPECT_EQ(audio::playAt(mixer, c.id, {}, c.x, 0.0, 0.0), c.plays);
        ASSERT_EQ(mixer.voices.size(), c.plays ? 1u : 0u);
        if (c.plays) {
            EXPECT_EQ(mixer.voices[0].sound, &mixer.sounds[1]);
            EXPECT_FLOAT_EQ(mixer.voices[0].gain, 0.75f * 0.8f) << "the placement's level times the sound's own";
            EXPECT_FALSE(mixer.voices[0].ambient);
        }
        mixer.running = false;  // no thread runs to be joined
    }
}

}  // namespace
