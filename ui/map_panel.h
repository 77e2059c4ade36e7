#pragma once
// The world map screen (18) as the overlay carries it: a grid of column colours around a centre,
// the player and the markers placed on that grid, and the text lines of the title, the hint and the
// marker list. Pure: the App gathers a MapPanel, writeMapPanel packs it, and the interface layout
// draws from the same slots with the rectangles below.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "game/world_map.h"
#include "ui/lan_screens.h"

namespace ui {

inline constexpr int32_t kMapScreen = 18;

inline constexpr uint32_t kMapColumns = 48;
inline constexpr uint32_t kMapRows = 32;
inline constexpr int32_t kMapBlocksPerCell = 4;
inline constexpr uint32_t kMapMarkersListed = 10;
// Shown for a cell that was never explored.
inline constexpr uint32_t kMapUnexplored = 0x141A20;

// Overlay text-line slots, after the menu buttons' 88..91: state words, the title, the hint, the
// listed markers, then the colours (one word a cell, row by row, 0x00BBGGRR) from kMapCellsLine on.
inline constexpr uint32_t kMapStateLine = 96;
inline constexpr uint32_t kMapTitleLine = 97;
inline constexpr uint32_t kMapHintLine = 98;
inline constexpr uint32_t kMapFirstMarkerLine = 99;
inline constexpr uint32_t kMapCellsLine = 112;

// State words.
inline constexpr uint32_t kMapStateListed = 0;    // markers listed, 0..10
inline constexpr uint32_t kMapStateSelected = 1;  // listed marker the map centres on, + 1; 0 the player
inline constexpr uint32_t kMapStatePlayer = 2;    // cell of the player (row << 16 | column), or kMapOffGrid
// Each listed marker: kind << 24 | row << 12 | column, the low 24 bits kMarkerOffGrid off the grid.
inline constexpr uint32_t kMapStateMarkers = 3;
inline constexpr uint32_t kMapOffGrid = 0xFFFFFFFFu;
inline constexpr uint32_t kMarkerOffGrid = 0xFFFFFFu;

struct MapPanel {
    const game::WorldMap* map = nullptr;
    int32_t centreX = 0, centreZ = 0;  // block column at the grid's centre
    int32_t playerX = 0, playerZ = 0;
    int32_t selected = -1;  // listed marker the grid centres on
    std::u32string title;
};

// The markers the screen lists: the nearest ten to the player, nearest first.
std::vector<const game::MapMarker*> listedMarkers(const game::WorldMap& map, int32_t playerX, int32_t playerZ);

// The grid cell holding column (x, z) for a grid centred at (centreX, centreZ); kMapOffGrid outside.
uint32_t mapCellOf(int32_t x, int32_t z, int32_t centreX, int32_t centreZ);

// The colour words of the grid, row by row: each cell shows the column at its centre.
std::vector<uint32_t> mapCellColours(const game::WorldMap& map, int32_t centreX, int32_t centreZ);

// Writes the state, the lines and the colours of the map screen into the overlay words.
void writeMapPanel(std::span<uint32_t> words, const MapPanel& panel);

// The grid's rectangle on the screen and the list beside it, shared by the drawing and the tests.
ScreenRect mapGridRect(float width, float height);
ScreenRect mapListRect(float width, float height);

}  // namespace ui
