#include "save/settings.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "platform/file_read.h"
#include "save/file_save.h"
#include "save/text_lines.h"

// voxel_settings.txt: the head line, then one line per section, the tag followed by its values
// separated by spaces. Unknown lines are ignored; when a section appears twice the last good one wins.
// A value outside the 32-bit range counts as a non-number, so its section keeps what it had.
namespace filesave {

namespace {

constexpr std::string_view kHeadLine = "QUORVANE_SETTINGS 1";

// The range a stored value is clamped to.
struct Bound {
    int32_t low;
    int32_t high;
};

constexpr Bound kOnOff{0, 1};
constexpr Bound kQuality{0, 2};
constexpr Bound kPercent{50, 150};

// GFX077, in the order of the file and of SettingsBlock.
const Bound kGraphicsBounds[14] = {
    {3, 12},   // chunk radius
    kOnOff,    // smooth light
    kOnOff,    // corner shadows
    kQuality,  // texture relief
    kQuality,  // texture smoothing
    kQuality,  // water waves
    kQuality,  // sky reflection
    kQuality,  // water transparency
    kQuality,  // fog
    kPercent,  // brightness
    kPercent,  // saturation
    kPercent,  // contrast
    kQuality,  // sky and clouds
    kOnOff,    // vertical sync
};

std::array<int32_t*, 14> graphicsValues(SettingsBlock& b) {
    return {&b.chunkRadius, &b.smoothLight,   &b.cornerShadows,     &b.textureRelief, &b.textureSmoothing,
            &b.waterWaves,  &b.skyReflection, &b.waterTransparency, &b.fog,           &b.brightness,
            &b.saturation,  &b.contrast,      &b.skyAndClouds,      &b.verticalSync};
}

std::vector<std::string_view> splitSpaces(std::string_view line) {
    std::vector<std::string_view> tokens;
    std::size_t pos = 0;
    while (pos < line.size()) {
        const std::size_t start = line.find_first_not_of(" \t", pos);
        if (start == std::string_view::npos) break;
        const std::size_t stop = std::min(line.find_first_of(" \t", start), line.size());
        tokens.push_back(line.substr(start, stop - start));
        pos = stop;
    }
    return tokens;
}

// The values after the tag when there are exactly `count` numbers, else nothing.
std::optional<std::vector<int32_t>> sectionValues(const std::vector<std::string_view>& tokens,
                                                  std::size_t count) {
    if (tokens.size() != count + 1) return std::nullopt;
    std::vector<int32_t> values;
    for (std::size_t i = 1; i < tokens.size(); ++i) {
        auto value = parseWhole<int32_t>(tokens[i]);
        if (!value) return std::nullopt;
        values.push_back(*value);
    }
    return values;
}

void assignClamped(const std::vector<int32_t>& values, const std::vector<int32_t*>& targets,
                   const std::vector<Bound>& bounds) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        *targets[i] = std::clamp(values[i], bounds[i].low, bounds[i].high);
    }
}

struct Section {
    std::string_view tag;
    std::vector<int32_t*> targets;
    std::vector<Bound> bounds;
};

std::vector<Section> sectionsOf(StoredSettings& s) {
    auto graphics = graphicsValues(s.block);
    auto& fx = s.block.visualEffects;
    const Bound volume{0, 100};
    const Bound effect{0, 2};
    return {
        {"GFX077",
         {graphics.begin(), graphics.end()},
         {std::begin(kGraphicsBounds), std::end(kGraphicsBounds)}},
        {"SND078", {&s.volumes.master, &s.volumes.effects, &s.volumes.ambient}, {volume, volume, volume}},
        {"VFX101", {&fx[0], &fx[1], &fx[2], &fx[3]}, {effect, effect, effect, effect}},
        {"VFX105", {&fx[4], &fx[5]}, {effect, effect}},
    };
}

void applyLine(std::vector<Section>& sections, std::string_view line) {
    const auto tokens = splitSpaces(line);
    if (tokens.empty()) return;
    for (Section& section : sections) {
        if (tokens[0] != section.tag) continue;
        if (auto values = sectionValues(tokens, section.targets.size())) {
            assignClamped(*values, section.targets, section.bounds);
        }
        return;
    }
}

}  // namespace

StoredSettings parseSettings(const std::string& text, const StoredSettings& defaults) {
    StoredSettings result = defaults;
    const auto lines = splitLines(text);
    if (lines.empty() || lines[0] != kHeadLine) return result;
    auto sections = sectionsOf(result);
    for (std::size_t i = 1; i < lines.size(); ++i) applyLine(sections, lines[i]);
    return result;
}

std::string formatSettings(const StoredSettings& settings) {
    StoredSettings copy = settings;
    std::string text(kHeadLine);
    text += '\n';
    for (const Section& section : sectionsOf(copy)) {
        text += section.tag;
        for (const int32_t* value : section.targets) text += ' ' + std::to_string(*value);
        text += '\n';
    }
    return text;
}

StoredSettings readSettingsFile(const std::filesystem::path& path, const StoredSettings& defaults) {
    const std::optional<std::string> text = platform::readFileBytes(path);
    if (!text) return defaults;
    return parseSettings(*text, defaults);
}

// Through a synced temporary file, so a failed or interrupted write leaves the previous settings.
void writeSettingsFile(const std::filesystem::path& path, const StoredSettings& settings) {
    const std::string text = formatSettings(settings);
    Output out(path);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.finish();
}

}  // namespace filesave
