// The progression file (progression.dat), its present version and the earlier one.
#include "save/world_state_files.h"
#include "state_file_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    return fuzzing::roundTripStateFile(data, size, filesave::decodeProgression, filesave::encodeProgression);
}
