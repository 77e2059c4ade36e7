#pragma once
// The sound mixer: the voices that play and the thread that mixes them into the output device.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio_output.h"

namespace audio {

struct Sound {
    std::string id;
    std::vector<int16_t> frames;  // interleaved stereo, 44,100 Hz
    float volume = 1.0f;          // the definition's own level, 0..1
};

struct Voice {
    const Sound* sound = nullptr;
    std::size_t position = 0;  // next frame
    float gain = 1.0f;         // before the live volumes
    float pan = 0.0f;          // -1 left .. 1 right
    bool ambient = false;      // scaled by the ambient volume, else by the effects volume
};

struct Mixer {
    std::vector<Sound> sounds;
    std::string errors;  // one problem per line
    std::unique_ptr<platform::AudioOutput> device;
    std::atomic<bool> running{false};
    std::thread thread;
    std::mutex mutex;  // guards voices
    std::vector<Voice> voices;
    std::vector<float> mixSum;  // one buffer's running sum, kept so that mixing allocates nothing; guarded too
    std::atomic<float> masterVolume{0.7f};
    std::atomic<float> effectsVolume{0.8f};
    std::atomic<float> ambientVolume{0.5f};

    Mixer() = default;
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;
    ~Mixer();
};

// Takes the opened device, sets the running flag and starts the mixer thread.
void startOutput(Mixer& mixer, std::unique_ptr<platform::AudioOutput> device);
void closeOutput(Mixer& mixer);
void clearVoices(Mixer& mixer);
void runMixer(Mixer& mixer);
// Mixes `frameCount` stereo frames of the playing voices into `out`, advancing them and removing
// the finished ones. Called under the mixer's mutex by the mixer thread.
void mixVoices(Mixer& mixer, int16_t* out, std::size_t frameCount);

}  // namespace audio
