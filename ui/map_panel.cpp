#include "ui/map_panel.h"

#include <algorithm>
#include <cmath>

#include "render/interface/overlay_text.h"
#include "ui/ui_state.h"

namespace ui {

namespace {

int64_t squaredDistance(const game::MapMarker& m, int32_t x, int32_t z) {
    const int64_t dx = int64_t{m.x} - x, dz = int64_t{m.z} - z;
    return dx * dx + dz * dz;
}

std::u32string number(int64_t value) { return utf8ToUtf32(std::to_string(value)); }

// The grid cell's first column on one axis, for a grid `cells` wide centred on `centre`.
int64_t gridOrigin(int32_t centre, uint32_t cells) {
    return int64_t{centre} - int64_t{cells} / 2 * kMapBlocksPerCell;
}

uint32_t* slotWords(std::span<uint32_t> words, uint32_t line) {
    return words.data() + (render::kFirstTextLineRecord + line) * render::kTextLineWords;
}

}  // namespace

std::vector<const game::MapMarker*> listedMarkers(const game::WorldMap& map, int32_t playerX, int32_t playerZ) {
    std::vector<const game::MapMarker*> listed;
    for (const game::MapMarker& m : map.markers) listed.push_back(&m);
    std::stable_sort(listed.begin(), listed.end(), [&](const game::MapMarker* a, const game::MapMarker* b) {
        return squaredDistance(*a, playerX, playerZ) < squaredDistance(*b, playerX, playerZ);
    });
    if (listed.size() > kMapMarkersListed) listed.resize(kMapMarkersListed);
    return listed;
}

uint32_t mapCellOf(int32_t x, int32_t z, int32_t centreX, int32_t centreZ) {
    const int64_t dx = int64_t{x} - gridOrigin(centreX, kMapColumns), dz = int64_t{z} - gridOrigin(centreZ, kMapRows);
    if (dx < 0 || dz < 0) return kMapOffGrid;
    const int64_t column = dx / kMapBlocksPerCell, row = dz / kMapBlocksPerCell;
    if (column >= kMapColumns || row >= kMapRows) return kMapOffGrid;
    return static_cast<uint32_t>(row << 16 | column);
}

std::vector<uint32_t> mapCellColours(const game::WorldMap& map, int32_t centreX, int32_t centreZ) {
    std::vector<uint32_t> colours(std::size_t{kMapColumns} * kMapRows, kMapUnexplored);
    const int64_t x0 = gridOrigin(centreX, kMapColumns) + kMapBlocksPerCell / 2;
    const int64_t z0 = gridOrigin(centreZ, kMapRows) + kMapBlocksPerCell / 2;
    for (uint32_t row = 0; row < kMapRows; ++row)
        for (uint32_t column = 0; column < kMapColumns; ++column) {
            const int64_t x = x0 + int64_t{column} * kMapBlocksPerCell, z = z0 + int64_t{row} * kMapBlocksPerCell;
            // Past the edge of the coordinates nothing was ever explored.
            if (x < INT32_MIN || x > INT32_MAX || z < INT32_MIN || z > INT32_MAX) continue;
            const uint32_t colour = game::columnColour(map, static_cast<int32_t>(x), static_cast<int32_t>(z));
            if (colour != 0) colours[std::size_t{row} * kMapColumns + column] = colour;
        }
    return colours;
}

void writeMapPanel(std::span<uint32_t> words, const MapPanel& panel) {
    const std::size_t cellsWord = (render::kFirstTextLineRecord + kMapCellsLine) * render::kTextLineWords;
    if (!panel.map || words.size() < cellsWord + std::size_t{kMapColumns} * kMapRows) return;
    const std::vector<const game::MapMarker*> listed = listedMarkers(*panel.map, panel.playerX, panel.playerZ);
    uint32_t* state = slotWords(words, kMapStateLine);
    std::fill(state, state + render::kTextLineWords, 0u);
    state[kMapStateListed] = static_cast<uint32_t>(listed.size());
    state[kMapStateSelected] = static_cast<uint32_t>(panel.selected + 1);
    state[kMapStatePlayer] = mapCellOf(panel.playerX, panel.playerZ, panel.centreX, panel.centreZ);
    std::u32string title = panel.title, hint = U"ESC ИЛИ M: ЗАКРЫТЬ. ВВЕРХ, ВНИЗ: ВЫБРАТЬ МЕТКУ";
    render::encodeGlyphLine(words.data(), kMapTitleLine, title);
    render::encodeGlyphLine(words.data(), kMapHintLine, hint);
    for (uint32_t k = 0; k < kMapMarkersListed; ++k) {
        std::u32string line;
        state[kMapStateMarkers + k] = kMapOffGrid;
        if (k < listed.size()) {
            const game::MapMarker& m = *listed[k];
            const double distance = std::sqrt(static_cast<double>(squaredDistance(m, panel.playerX, panel.playerZ)));
            line = number(k + 1) + U" " + utf8ToUtf32(m.name) + U" " +
                   number(std::llround(distance)) + U" М";
            const uint32_t cell = mapCellOf(m.x, m.z, panel.centreX, panel.centreZ);
            const uint32_t place = cell == kMapOffGrid ? kMarkerOffGrid : (cell >> 16) << 12 | (cell & 0xFFFu);
            state[kMapStateMarkers + k] = uint32_t{m.kind} << 24 | place;
        }
        render::encodeGlyphLine(words.data(), kMapFirstMarkerLine + k, line);
    }
    const std::vector<uint32_t> colours = mapCellColours(*panel.map, panel.centreX, panel.centreZ);
    std::copy(colours.begin(), colours.end(), words.begin() + static_cast<std::ptrdiff_t>(cellsWord));
}

namespace {

float mapCellSide(float width, float height) {
    const float u = screenUnit(width, height);
    return std::max(1.0f, std::floor(std::min(14.0f * u, std::min(width * 0.55f / kMapColumns,
                                                                    height * 0.78f / kMapRows))));
}

float listWidth(float width, float height) {
    const float u = screenUnit(width, height);
    const float grid = mapCellSide(width, height) * kMapColumns;
    return std::max(std::min(480.0f * u, width - grid - 72.0f * u), 1.0f);
}

}  // namespace

// The grid and the list beside it, centred together.
ScreenRect mapGridRect(float width, float height) {
    const float u = screenUnit(width, height);
    const float cell = mapCellSide(width, height);
    const float w = cell * kMapColumns, h = cell * kMapRows;
    const float total = w + 24.0f * u + listWidth(width, height);
    return {std::floor(std::max((width - total) * 0.5f, 0.0f)), std::floor((height - h) * 0.5f + 6.0f * u), w, h};
}

ScreenRect mapListRect(float width, float height) {
    const ScreenRect grid = mapGridRect(width, height);
    const float u = screenUnit(width, height);
    return {grid.x + grid.w + 24.0f * u, grid.y, listWidth(width, height), grid.h};
}

}  // namespace ui
