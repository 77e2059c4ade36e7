// The living world's clocks file (living_state.txt).
#include "save/living_state_file.h"
#include "state_file_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    return fuzzing::roundTripStateFile(data, size, filesave::decodeLivingState, filesave::encodeLivingState);
}
