// The filled loot chests file (loot_state.txt).
#include "save/loot_state_file.h"
#include "state_file_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    return fuzzing::roundTripStateFile(data, size, filesave::decodeLootState, filesave::encodeLootState);
}
