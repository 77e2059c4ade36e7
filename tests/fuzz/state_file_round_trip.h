#pragma once
// A per-world state file from untrusted bytes: a file that reads is written again, and what is written
// must read back and write the same bytes once more, so that a save never turns a world it opened into
// one that will not open.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace fuzzing {

template <class Decode, class Encode>
int roundTripStateFile(const uint8_t* data, std::size_t size, Decode decode, Encode encode) {
    const auto record = decode(std::string(reinterpret_cast<const char*>(data), size));
    if (!record) return 0;
    const std::string written = encode(*record);
    const auto again = decode(written);
    if (!again || encode(*again) != written) std::abort();
    return 0;
}

}  // namespace fuzzing
