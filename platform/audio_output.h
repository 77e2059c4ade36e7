#pragma once
// Sound output device: 44,100 Hz, 2 channels, 16-bit, fed with fixed-size buffers.
#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform {

constexpr int kAudioRate = 44100;
constexpr int kAudioChannels = 2;
constexpr int kAudioBufferBytes = 4096;
constexpr int kAudioBufferCount = 4;

class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    // Blocks until the device has room, then queues one buffer of interleaved 16-bit frames.
    // Returns false when the device failed; the caller stops feeding it.
    virtual bool write(const int16_t* frames, std::size_t frameCount) = 0;
};

// ALSA's default device; null when none opens.
std::unique_ptr<AudioOutput> openDefaultAudioOutput();
// Consumes buffers at the real rate without making sound (tests, silent runs).
std::unique_ptr<AudioOutput> makeNullAudioOutput();
// Stands for a device that never opens: always null.
std::unique_ptr<AudioOutput> openFailingAudioOutput();

}  // namespace platform
