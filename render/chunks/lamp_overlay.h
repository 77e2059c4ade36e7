#pragma once
// The lamps of the lighting pass as the per-frame overlay of the content meta buffer carries them
// to the shaders: a count, then one record of four floats (x, y, z, intensity) a lamp.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "render/chunks/light_state.h"

namespace render {

// In 32-bit words: the count at the first, the records from the fifth on (16-byte aligned), ending
// before the fixed labels of group 3 at byte 32,384.
inline constexpr uint32_t kLampCountWord = 3328;  // byte 13,312
inline constexpr uint32_t kLampRecordsWord = kLampCountWord + 4;
inline constexpr uint32_t kLampRecordWords = 4;
inline constexpr uint32_t kMaxOverlayLamps = 1024;

// Writes the count and the records. With more lamps than the region holds, the ones nearest the
// player (px, py, pz) are kept, in the order of the list; the records after the count are zero.
void writeOverlayLamps(std::span<uint32_t> words, const std::vector<LampRecord>& lamps, float px, float py, float pz);

}  // namespace render
