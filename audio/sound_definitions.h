#pragma once
// Sound definitions. Every "*.sound.json" file under Content holds one object:
//   "id"      a content id "namespace:name", unique among the sounds;
//   "file"    a PCM WAV file, relative to the folder of the definition;
//   "volume"  optional, a number 0..1 (default 1) kept on the sound for whoever plays it.
// For example {"id": "core:click", "file": "sounds/click.wav", "volume": 0.6}.
// The WAV must be sampled at 8,000 Hz or more, and all decoded sounds together stay within 256 MiB.
#include <cstddef>
#include <filesystem>

#include "audio/mixer.h"

namespace content {

inline constexpr std::size_t kMaxSoundBytes = std::size_t{256} << 20;

// Reads every sound definition under contentDir, in sorted path order, into the mixer's sounds
// (replacing them, and the voices that played the old ones, under the mixer's mutex). Each faulty
// file, and a failing walk of the directory, appends one "<path>: <message>" line to the mixer's
// errors and is skipped: this never throws, so sound can never stop start-up.
// A sound that would take the decoded total above maxBytes is refused like a faulty file.
void loadSounds(audio::Mixer& mixer, const std::filesystem::path& contentDir,
                std::size_t maxBytes = kMaxSoundBytes);

}  // namespace content
