#include "audio/sound_definitions.h"

#include <cmath>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "audio/wav.h"
#include "content/asset_path.h"
#include "content/json.h"
#include "content/loading_frame.h"
#include "content/text.h"

namespace fs = std::filesystem;

namespace content {

namespace {

struct LoadedSounds {
    std::vector<audio::Sound> sounds;
    std::set<std::string> ids;
    std::string errors;
    std::size_t bytes = 0;  // decoded frames of the sounds kept
    std::size_t maxBytes = kMaxSoundBytes;

    void report(const fs::path& path, const std::string& message) {
        errors += pathToUtf8(path) + ": " + message + "\n";
    }
};

const std::string& checkSoundId(const std::string& id, const LoadedSounds& loaded) {
    if (!isValidContentId(id)) throw std::runtime_error("Invalid sound id");
    if (loaded.ids.count(id) != 0) throw std::runtime_error("Duplicate sound id");
    return id;
}

float readSoundVolume(const Json& definition) {
    const Json& value = Json::find(definition, "volume");
    if (value.tag == JsonNull) return 1.0f;
    if (value.tag != JsonNumber || !(value.number >= 0.0 && value.number <= 1.0)) {
        throw std::runtime_error("Invalid sound volume");
    }
    return static_cast<float>(value.number);
}

audio::Sound readSoundDefinition(const fs::path& file, const LoadedSounds& loaded) {
    const Json definition = loadJsonFile(file, ContentFile::Sound);
    const Json& id = Json::find(definition, "id");
    const Json& wav = Json::find(definition, "file");
    if (id.tag != JsonString || wav.tag != JsonString) throw std::runtime_error("Sound requires id and file");
    const std::string soundId = checkSoundId(id.text, loaded);
    const float volume = readSoundVolume(definition);
    const fs::path wavFile = resolveAsset(file.parent_path(), wav.text);
    requireFileSizeNamed(wavFile, fileSizeLimit(ContentFile::Wave));
    audio::Sound sound = audio::readWav(wavFile);
    sound.id = soundId;
    sound.volume = volume;
    return sound;
}

void readEachDefinition(const fs::path& contentDir, LoadedSounds& loaded) {
    std::vector<fs::path> files;
    try {
        files = findFilesEndingWith(contentDir, ".sound.json");
    } catch (const std::exception& failure) {
        loaded.report(contentDir, failure.what());
    }
    for (const fs::path& file : files) {
        try {
            audio::Sound sound = readSoundDefinition(file, loaded);
            const std::size_t bytes = sound.frames.size() * sizeof(int16_t);
            if (bytes > loaded.maxBytes - loaded.bytes) throw std::runtime_error("Sound memory limit reached");
            loaded.bytes += bytes;
            loaded.ids.insert(sound.id);
            loaded.sounds.push_back(std::move(sound));
        } catch (const std::exception& failure) {
            loaded.report(file, failure.what());
        }
    }
}

}  // namespace

void loadSounds(audio::Mixer& mixer, const fs::path& contentDir, std::size_t maxBytes) {
    LoadedSounds loaded;
    loaded.maxBytes = maxBytes;
    readEachDefinition(contentDir, loaded);
    std::lock_guard lock(mixer.mutex);
    // Voices point into the old list, which is about to go.
    mixer.voices.clear();
    mixer.sounds = std::move(loaded.sounds);
    mixer.errors += loaded.errors;
}

}  // namespace content
