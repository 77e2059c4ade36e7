#pragma once
// world.txt, the record that makes a folder under Saves a world:
//   QUORVANE_WORLD 1
//   name <UTF-8 text to the end of the line>
//   seed <unsigned 32-bit decimal>
//   generation <1..4>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace filesave {

constexpr const char* kWorldFile = "world.txt";
// Bounds world.txt, and keeps a name short enough for the world list.
inline constexpr std::size_t kMaxWorldNameBytes = 112;

struct WorldRecord {
    std::string name;  // UTF-8
    uint32_t seed = 0;
    int32_t generation = 4;
};

// Why a name cannot be stored in world.txt and read back unchanged, or nothing when it can: at
// most kMaxWorldNameBytes bytes of valid UTF-8 of the Basic Multilingual Plane (the game's texts
// decode no more) without a line feed or carriage return. Reader and writer both ask this.
std::optional<std::string> worldNameProblem(std::string_view name);

// Throws "Invalid world name: <cause>" for a name that worldNameProblem refuses and "Invalid world
// generation" for a generation outside 1..4: neither could be read back.
std::string formatWorldFile(const WorldRecord& record);
// Nothing when the text is not a version 1 world record; lines after the generation are ignored. A
// refused name also refuses the record, and its cause goes to `nameProblem` when one is given.
std::optional<WorldRecord> parseWorldFile(const std::string& text, std::string* nameProblem = nullptr);
// The message that reports a world file refused by parseWorldFile: with the name's cause when the
// name was refused, else the file alone.
std::string worldFileMessage(const std::filesystem::path& file, const std::string& nameProblem);

}  // namespace filesave
