#include "audio/mixer.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace audio {

namespace {

constexpr std::size_t kFramesPerBuffer =
    platform::kAudioBufferBytes / (platform::kAudioChannels * sizeof(int16_t));

std::size_t frameCountOf(const Sound& sound) {
    return sound.frames.size() / 2;
}

bool finished(const Voice& voice) {
    return !voice.sound || voice.position >= frameCountOf(*voice.sound);
}

// Balance rather than constant power: a centred voice plays at full level on both sides, a voice
// panned fully to one side is silent on the other.
void panWeights(float pan, float& left, float& right) {
    const float p = std::clamp(pan, -1.0f, 1.0f);
    left = 1.0f - std::max(p, 0.0f);
    right = 1.0f + std::min(p, 0.0f);
}

void addVoice(const Mixer& mixer, Voice& voice, std::vector<float>& sum) {
    const float volume = voice.gain *
                         (voice.ambient ? mixer.ambientVolume.load() : mixer.effectsVolume.load()) *
                         mixer.masterVolume.load();
    float left = 0.0f, right = 0.0f;
    panWeights(voice.pan, left, right);
    const std::size_t available = frameCountOf(*voice.sound) - voice.position;
    const std::size_t count = std::min(available, sum.size() / 2);
    const int16_t* in = voice.sound->frames.data() + voice.position * 2;
    for (std::size_t i = 0; i < count; ++i) {
        sum[i * 2] += static_cast<float>(in[i * 2]) * volume * left;
        sum[i * 2 + 1] += static_cast<float>(in[i * 2 + 1]) * volume * right;
    }
    voice.position += count;
}

int16_t toSample(float value) {
    return static_cast<int16_t>(std::lround(std::clamp(value, -32768.0f, 32767.0f)));
}

}  // namespace

Mixer::~Mixer() {
    closeOutput(*this);
}

void startOutput(Mixer& mixer, std::unique_ptr<platform::AudioOutput> device) {
    if (!device) return;
    closeOutput(mixer);  // the mixer owns at most one thread
    mixer.device = std::move(device);
    mixer.running = true;
    mixer.thread = std::thread(runMixer, std::ref(mixer));
}

void closeOutput(Mixer& mixer) {
    mixer.running.exchange(false);
    const bool fromMixerThread = mixer.thread.get_id() == std::this_thread::get_id();
    // The mixer thread cannot join itself; it leaves its loop once it sees the flag cleared.
    if (fromMixerThread) return;
    if (mixer.thread.joinable()) mixer.thread.join();
    mixer.device.reset();
    clearVoices(mixer);
}

void clearVoices(Mixer& mixer) {
    std::lock_guard lock(mixer.mutex);
    mixer.voices.clear();
}

void runMixer(Mixer& mixer) {
    std::vector<int16_t> buffer(kFramesPerBuffer * platform::kAudioChannels);
    while (mixer.running.load()) {
        {
            std::lock_guard lock(mixer.mutex);
            mixVoices(mixer, buffer.data(), kFramesPerBuffer);
        }
        if (!mixer.device->write(buffer.data(), kFramesPerBuffer)) {
            mixer.running = false;
            return;
        }
    }
}

void mixVoices(Mixer& mixer, int16_t* out, std::size_t frameCount) {
    std::vector<float>& sum = mixer.mixSum;
    sum.assign(frameCount * 2, 0.0f);
    for (Voice& voice : mixer.voices) {
        if (!finished(voice)) addVoice(mixer, voice, sum);
    }
    std::erase_if(mixer.voices, finished);
    std::transform(sum.begin(), sum.end(), out, toSample);
}

}  // namespace audio
