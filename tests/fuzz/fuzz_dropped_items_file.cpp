// The dropped items file (drops.dat).
#include "save/world_state_files.h"
#include "state_file_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    return fuzzing::roundTripStateFile(data, size, filesave::decodeDroppedItems, filesave::encodeDroppedItems);
}
