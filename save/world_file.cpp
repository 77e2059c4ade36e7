#include "save/world_file.h"

#include <stdexcept>
#include <string_view>

#include "save/text_lines.h"

namespace filesave {

namespace {

constexpr std::string_view kHeadLine = "QUORVANE_WORLD 1";
constexpr int32_t kLowestGeneration = 1;
constexpr int32_t kHighestGeneration = 4;

// The rest of `line` after "<key> ", or nothing when the line is another key.
std::optional<std::string_view> valueAfter(std::string_view line, std::string_view key) {
    if (line.size() <= key.size() || line.substr(0, key.size()) != key || line[key.size()] != ' ') {
        return std::nullopt;
    }
    return line.substr(key.size() + 1);
}

}  // namespace

std::string formatWorldFile(const WorldRecord& record) {
    if (record.name.find_first_of("\r\n") != std::string::npos)
        throw std::runtime_error("Invalid world name");
    if (record.generation < kLowestGeneration || record.generation > kHighestGeneration) {
        throw std::runtime_error("Invalid world generation");
    }
    return std::string(kHeadLine) + "\nname " + record.name + "\nseed " + std::to_string(record.seed) +
           "\ngeneration " + std::to_string(record.generation) + "\n";
}

std::optional<WorldRecord> parseWorldFile(const std::string& text) {
    const auto lines = splitLines(text, 4);
    if (lines.size() < 4 || lines[0] != kHeadLine) return std::nullopt;
    // A name may be empty, so "name" is matched with its space by hand.
    if (lines[1].substr(0, 5) != "name ") return std::nullopt;
    // A carriage return left inside the name could never be written back: saving would fail.
    if (lines[1].find('\r') != std::string_view::npos) return std::nullopt;
    const auto seedText = valueAfter(lines[2], "seed");
    const auto generationText = valueAfter(lines[3], "generation");
    if (!seedText || !generationText) return std::nullopt;
    const auto seed = parseWhole<uint32_t>(*seedText);
    const auto generation = parseWhole<int32_t>(*generationText);
    if (!seed || !generation || *generation < kLowestGeneration || *generation > kHighestGeneration) {
        return std::nullopt;
    }
    return WorldRecord{std::string(lines[1].substr(5)), *seed, *generation};
}

}  // namespace filesave
