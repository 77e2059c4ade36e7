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

// The length of the well-formed UTF-8 sequence at the start of `text` whose value lies in the Basic
// Multilingual Plane, or 0. Overlong forms and surrogates are refused; they would not come back
// byte for byte.
std::size_t bmpSequenceLength(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const auto continuation = [&](std::size_t i) { return i < text.size() && (byte(i) & 0xC0) == 0x80; };
    const unsigned lead = byte(0);
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return continuation(1) ? 2 : 0;
    if (lead < 0xE0 || lead > 0xEF || !continuation(1) || !continuation(2)) return 0;
    const unsigned value = ((lead & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F);
    const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
    return value < 0x800 || surrogate ? 0 : 3;
}

}  // namespace

std::optional<std::string> worldNameProblem(std::string_view name) {
    if (name.size() > kMaxWorldNameBytes)
        return "longer than " + std::to_string(kMaxWorldNameBytes) + " bytes";
    if (name.find('\r') != std::string_view::npos) return "holds a carriage return";
    if (name.find('\n') != std::string_view::npos) return "holds a line feed";
    for (std::size_t pos = 0; pos < name.size();) {
        const std::size_t length = bmpSequenceLength(name.substr(pos));
        if (length == 0) {
            const unsigned lead = static_cast<unsigned char>(name[pos]);
            const bool fourByteLead = lead >= 0xF0 && lead <= 0xF4;
            return fourByteLead ? "holds a character beyond U+FFFF" : "not valid UTF-8";
        }
        pos += length;
    }
    return std::nullopt;
}

std::string formatWorldFile(const WorldRecord& record) {
    if (const auto problem = worldNameProblem(record.name))
        throw std::runtime_error("Invalid world name: " + *problem);
    if (record.generation < kLowestGeneration || record.generation > kHighestGeneration) {
        throw std::runtime_error("Invalid world generation");
    }
    return std::string(kHeadLine) + "\nname " + record.name + "\nseed " + std::to_string(record.seed) +
           "\ngeneration " + std::to_string(record.generation) + "\n";
}

std::optional<WorldRecord> parseWorldFile(const std::string& text, std::string* nameProblem) {
    const auto lines = splitLines(text, 4);
    if (lines.size() < 4 || lines[0] != kHeadLine) return std::nullopt;
    // A name may be empty, so "name" is matched with its space by hand.
    if (lines[1].substr(0, 5) != "name ") return std::nullopt;
    // A name the writer would refuse or change is refused here, so that no autosave fails on it later.
    if (const auto problem = worldNameProblem(lines[1].substr(5))) {
        if (nameProblem) *nameProblem = *problem;
        return std::nullopt;
    }
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

std::string worldFileMessage(const std::filesystem::path& file, const std::string& nameProblem) {
    if (nameProblem.empty()) return "Invalid world file: " + file.string();
    return "Invalid world name in " + file.string() + ": " + nameProblem;
}

}  // namespace filesave
