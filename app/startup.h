#pragma once
// Start-up pieces that need no window.
#include <functional>
#include <memory>
#include <string>

#include "audio/mixer.h"

namespace core {

constexpr const char* kLoadingTitle = "ЗАПУСК ИГРЫ";
constexpr const char* kAudioUnavailable = "Audio output unavailable; game continues silently";

// Opens the output device unless the mixer already runs; without a device the game goes on silently.
void openAudioOutput(audio::Mixer& mixer, const std::function<std::unique_ptr<platform::AudioOutput>()>& open);
// The contents of audio_errors.txt: the sound-definition problems, then the silence note.
std::string audioErrorsText(const audio::Mixer& mixer);

}  // namespace core
