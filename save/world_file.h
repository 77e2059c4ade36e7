#pragma once
// world.txt, the record that makes a folder under Saves a world:
//   QUORVANE_WORLD 1
//   name <UTF-8 text to the end of the line>
//   seed <unsigned 32-bit decimal>
//   generation <1..4>
#include <cstdint>
#include <optional>
#include <string>

namespace filesave {

constexpr const char* kWorldFile = "world.txt";

struct WorldRecord {
    std::string name;  // UTF-8
    uint32_t seed = 0;
    int32_t generation = 4;
};

// Throws "Invalid world name" for a name holding a line break and "Invalid world generation" for a
// generation outside 1..4: neither could be read back.
std::string formatWorldFile(const WorldRecord& record);
// Nothing when the text is not a version 1 world record (a name holding a carriage return included,
// since it could not be written back); lines after the generation are ignored.
std::optional<WorldRecord> parseWorldFile(const std::string& text);

}  // namespace filesave
