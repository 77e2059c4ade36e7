// The running potion effects file (potion_effects.txt).
#include "save/potion_effects_file.h"
#include "state_file_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    return fuzzing::roundTripStateFile(data, size, filesave::decodePotionEffects, filesave::encodePotionEffects);
}
