#include "platform/audio_output.h"

#include <alsa/asoundlib.h>

#include <chrono>
#include <mutex>
#include <thread>

namespace platform {

namespace {

constexpr int kFrameBytes = kAudioChannels * 2;
constexpr snd_pcm_uframes_t kPeriodFrames = kAudioBufferBytes / kFrameBytes;
constexpr snd_pcm_uframes_t kBufferFrames = kPeriodFrames * kAudioBufferCount;

// ALSA reports a missing card on stderr by itself; the game reports it in its own words instead.
void ignoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

void silenceAlsa() {
    static std::once_flag once;
    std::call_once(once, [] { snd_lib_error_set_handler(ignoreAlsaError); });
}

bool configure(snd_pcm_t* pcm) {
    snd_pcm_hw_params_t* params = nullptr;
    snd_pcm_hw_params_alloca(&params);
    unsigned int rate = kAudioRate;
    snd_pcm_uframes_t period = kPeriodFrames;
    snd_pcm_uframes_t buffer = kBufferFrames;
    return snd_pcm_hw_params_any(pcm, params) >= 0 &&
           snd_pcm_hw_params_set_access(pcm, params, SND_PCM_ACCESS_RW_INTERLEAVED) >= 0 &&
           snd_pcm_hw_params_set_format(pcm, params, SND_PCM_FORMAT_S16_LE) >= 0 &&
           snd_pcm_hw_params_set_channels(pcm, params, kAudioChannels) >= 0 &&
           snd_pcm_hw_params_set_rate_near(pcm, params, &rate, nullptr) >= 0 &&
           snd_pcm_hw_params_set_period_size_near(pcm, params, &period, nullptr) >= 0 &&
           snd_pcm_hw_params_set_buffer_size_near(pcm, params, &buffer) >= 0 &&
           snd_pcm_hw_params(pcm, params) >= 0 && snd_pcm_prepare(pcm) >= 0;
}

class AlsaOutput final : public AudioOutput {
public:
    explicit AlsaOutput(snd_pcm_t* pcm) : pcm_(pcm) {}
    ~AlsaOutput() override {
        snd_pcm_drop(pcm_);
        snd_pcm_close(pcm_);
    }
    AlsaOutput(const AlsaOutput&) = delete;
    AlsaOutput& operator=(const AlsaOutput&) = delete;

    bool write(const int16_t* frames, std::size_t frameCount) override {
        while (frameCount > 0) {
            snd_pcm_sframes_t written = snd_pcm_writei(pcm_, frames, frameCount);
            if (written < 0) {
                // An underrun or a suspend is recoverable; anything else ends the output.
                if (snd_pcm_recover(pcm_, static_cast<int>(written), 1) < 0) return false;
                continue;
            }
            frames += static_cast<std::size_t>(written) * kAudioChannels;
            frameCount -= static_cast<std::size_t>(written);
        }
        return true;
    }

private:
    snd_pcm_t* pcm_;
};

class NullOutput final : public AudioOutput {
public:
    bool write(const int16_t*, std::size_t frameCount) override {
        // Paced against a deadline rather than by plain sleeps, so that the rate does not drift.
        const auto now = std::chrono::steady_clock::now();
        if (next_ < now) next_ = now;
        next_ += std::chrono::nanoseconds(static_cast<int64_t>(frameCount) * 1'000'000'000 / kAudioRate);
        std::this_thread::sleep_until(next_);
        return true;
    }

private:
    std::chrono::steady_clock::time_point next_{};
};

}  // namespace

std::unique_ptr<AudioOutput> openDefaultAudioOutput() {
    silenceAlsa();
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, 0) < 0) return nullptr;
    if (!configure(pcm)) {
        snd_pcm_close(pcm);
        return nullptr;
    }
    return std::make_unique<AlsaOutput>(pcm);
}

std::unique_ptr<AudioOutput> makeNullAudioOutput() {
    return std::make_unique<NullOutput>();
}

std::unique_ptr<AudioOutput> openFailingAudioOutput() {
    return nullptr;
}

}  // namespace platform
