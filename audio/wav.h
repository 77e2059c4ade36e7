#pragma once
// The game's own PCM WAV reader: RIFF/WAVE files of 8-bit unsigned or 16-bit signed samples, mono or
// stereo, at any sample rate, turned into the mixer's interleaved stereo frames at 44,100 Hz.
#include <filesystem>
#include <string_view>

#include "audio/mixer.h"

namespace audio {

// The longest sound accepted, in output frames (ten minutes); it bounds what a tiny file with a very
// low sample rate could ask the resampler to allocate.
inline constexpr std::size_t kMaxWavFrames = 44100u * 600u;

// Decodes a whole WAV file held in memory into a Sound with an empty id. Unknown chunks are skipped
// (with the pad byte of an odd size); anything else that is not understood raises
// "Invalid WAV file: <reason>". Reads only inside bytes.
Sound decodeWav(std::string_view bytes);
// Reads the file and decodes it; "Cannot open <path>" when it cannot be read.
Sound readWav(const std::filesystem::path& path);

}  // namespace audio
