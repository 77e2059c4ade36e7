#include "save/world_file.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace filesave {

namespace {

constexpr std::string_view kHeadLine = "QUORVANE_WORLD 1";
constexpr int32_t kLowestGeneration = 1;
constexpr int32_t kHighestGeneration = 4;

template <typename Number>
std::optional<Number> parseWhole(std::string_view token) {
    Number value{};
    const char* end = token.data() + token.size();
    auto [ptr, ec] = std::from_chars(token.data(), end, value);
    if (token.empty() || ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

// The rest of `line` after "<key> ", or nothing when the line is another key.
std::optional<std::string_view> valueAfter(std::string_view line, std::string_view key) {
    if (line.size() <= key.size() || line.substr(0, key.size()) != key || line[key.size()] != ' ') {
        return std::nullopt;
    }
    return line.substr(key.size() + 1);
}

std::vector<std::string_view> firstLines(std::string_view text, std::size_t count) {
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (lines.size() < count && pos < text.size()) {
        const std::size_t stop = std::min(text.find('\n', pos), text.size());
        std::string_view line = text.substr(pos, stop - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        pos = stop + 1;
    }
    return lines;
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
    const auto lines = firstLines(text, 4);
    if (lines.size() < 4 || lines[0] != kHeadLine) return std::nullopt;
    // A name may be empty, so "name" is matched with its space by hand.
    if (lines[1].substr(0, 5) != "name ") return std::nullopt;
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
