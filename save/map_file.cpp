#include "save/map_file.h"

#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string_view>

#include "save/text_lines.h"

namespace filesave {

namespace {

// A chunk key times 16 must still be a block coordinate.
constexpr int32_t kMaxChunkCoordinate = std::numeric_limits<int32_t>::max() / 16;

std::vector<std::string_view> splitSpaces(std::string_view line, std::size_t most) {
    std::vector<std::string_view> parts;
    while (parts.size() + 1 < most) {
        const std::size_t space = line.find(' ');
        if (space == std::string_view::npos) break;
        parts.push_back(line.substr(0, space));
        line.remove_prefix(space + 1);
    }
    parts.push_back(line);
    return parts;
}

std::optional<std::size_t> countLine(std::string_view line, std::string_view word, std::size_t most) {
    const std::vector<std::string_view> parts = splitSpaces(line, 3);
    if (parts.size() != 2 || parts[0] != word) return std::nullopt;
    const auto count = parseWhole<std::size_t>(parts[1]);
    if (!count || *count > most) return std::nullopt;
    return count;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool decodeColours(std::string_view text, game::ChunkColours& colours) {
    if (text.size() != colours.size() * 6) return false;
    for (std::size_t k = 0; k < colours.size(); ++k) {
        uint32_t value = 0;
        for (std::size_t d = 0; d < 6; ++d) {
            const int digit = hexDigit(text[k * 6 + d]);
            if (digit < 0) return false;
            value = value << 4 | static_cast<uint32_t>(digit);
        }
        colours[k] = value;
    }
    return true;
}

bool decodeChunk(std::string_view line, game::WorldMap& map) {
    const std::vector<std::string_view> parts = splitSpaces(line, 4);
    if (parts.size() != 3) return false;
    const auto cx = parseWhole<int32_t>(parts[0]), cz = parseWhole<int32_t>(parts[1]);
    if (!cx || !cz || std::abs(*cx) > kMaxChunkCoordinate || std::abs(*cz) > kMaxChunkCoordinate) return false;
    game::ChunkColours colours{};
    if (!decodeColours(parts[2], colours)) return false;
    return map.chunks.emplace(game::MapChunkKey{*cx, *cz}, colours).second;
}

bool decodeMarker(std::string_view line, game::WorldMap& map) {
    const std::vector<std::string_view> parts = splitSpaces(line, 5);
    if (parts.size() != 5) return false;
    const auto x = parseWhole<int32_t>(parts[0]), y = parseWhole<int32_t>(parts[1]), z = parseWhole<int32_t>(parts[2]);
    const auto kind = parseWhole<uint32_t>(parts[3]);
    if (!x || !y || !z || !kind || *y < 0 || *y > 127 || *kind > game::kLastMarkerKind) return false;
    game::MapMarker marker{*x, *y, *z, static_cast<uint8_t>(*kind), std::string(parts[4])};
    if (!game::isValidMarkerName(marker.name)) return false;
    map.markers.push_back(std::move(marker));
    return true;
}

}  // namespace

std::string mapFileName(const std::string& dimension) { return dimension + ".map140.txt"; }

std::string encodeMap(const game::WorldMap& map) {
    std::string out = std::string(kMapHeader) + "\nchunks " + std::to_string(map.chunks.size()) + "\n";
    char hex[8];
    for (const auto& [key, colours] : map.chunks) {
        out += std::to_string(key.first) + " " + std::to_string(key.second) + " ";
        for (const uint32_t colour : colours) {
            std::snprintf(hex, sizeof hex, "%06x", colour & 0xFFFFFFu);
            out += hex;
        }
        out += "\n";
    }
    out += "markers " + std::to_string(map.markers.size()) + "\n";
    for (const game::MapMarker& m : map.markers)
        out += std::to_string(m.x) + " " + std::to_string(m.y) + " " + std::to_string(m.z) + " " +
               std::to_string(m.kind) + " " + m.name + "\n";
    return out;
}

std::optional<game::WorldMap> decodeMap(const std::string& bytes) {
    if (bytes.size() > kMaxMapFileBytes) return std::nullopt;
    const std::vector<std::string_view> lines = splitLines(bytes, game::kMaxMapChunks + game::kMaxMapMarkers + 4);
    std::size_t at = 0;
    const auto next = [&]() -> std::optional<std::string_view> {
        if (at >= lines.size()) return std::nullopt;
        return lines[at++];
    };
    const auto header = next();
    if (!header || *header != kMapHeader) return std::nullopt;
    game::WorldMap map;
    const auto chunkLine = next();
    const auto chunks = chunkLine ? countLine(*chunkLine, "chunks", game::kMaxMapChunks) : std::nullopt;
    if (!chunks) return std::nullopt;
    for (std::size_t k = 0; k < *chunks; ++k) {
        const auto line = next();
        if (!line || !decodeChunk(*line, map)) return std::nullopt;
    }
    const auto markerLine = next();
    const auto markers = markerLine ? countLine(*markerLine, "markers", game::kMaxMapMarkers) : std::nullopt;
    if (!markers) return std::nullopt;
    for (std::size_t k = 0; k < *markers; ++k) {
        const auto line = next();
        if (!line || !decodeMarker(*line, map)) return std::nullopt;
    }
    if (at != lines.size()) return std::nullopt;
    return map;
}

}  // namespace filesave
