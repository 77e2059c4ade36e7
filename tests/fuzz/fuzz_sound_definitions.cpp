// Sound definitions: the input cut at NUL bytes into up to eight ".sound.json" files beside one
// tiny valid WAV file, "click.wav". Loading never throws; faults become lines of the mixer's errors.
#include <cstddef>
#include <cstdint>
#include <string>

#include "audio/sound_definitions.h"
#include "fuzz_tree.h"

namespace {

// 8-bit mono at 44,100 Hz, four frames.
const std::string kClickWav =
    std::string("RIFF\x28\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x44\xac\0\0\x44\xac\0\0\x01\0\x08\0", 36) +
    std::string("data\x04\0\0\0\x80\xff\x80\x00", 12);

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const auto dir = fuzztree::contentFromPieces(fuzztree::asText(data, size), 8, ".sound.json");
    fuzztree::writeFile(dir / "click.wav", kClickWav);
    audio::Mixer mixer;
    content::loadSounds(mixer, dir);
    return 0;
}
