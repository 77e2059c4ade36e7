#pragma once
// The dimension ids in the per-world files that keep records by dimension and cell (chests,
// furnaces, filled structure chests).
#include <cstdint>
#include <string>

namespace filesave {

// The dimension of every record of a file written before its records named one: until then a world
// was only ever played in the overworld.
inline constexpr const char* kEarlierRecordsDimension = "core:overworld";

// A resource id, so one word on a text line, and shorter than 80 bytes.
inline constexpr uint32_t kMaxDimensionIdLength = 79;
bool isSavedDimensionId(const std::string& id);
// Throws "Cannot save <file>: dimension id "<id>" is not a resource id" for an id the file's reader
// would refuse.
void checkDimensionId(const char* file, const std::string& id);

}  // namespace filesave
