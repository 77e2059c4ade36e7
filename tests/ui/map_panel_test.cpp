#include <gtest/gtest.h>

#include <vector>

#include "render/atlases/content_meta.h"
#include "render/interface/overlay_text.h"
#include "ui/map_panel.h"

namespace {

struct CellCase {
    int32_t x, z;
    uint32_t cell;
};

class MapGridCells : public testing::TestWithParam<CellCase> {};

// Centred on (0, 0), the 48 x 32 cells of 4 blocks reach from -96 to 95 and from -64 to 63.
TEST_P(MapGridCells, EndAtBothEdgesOfEachAxis) {
    EXPECT_EQ(ui::mapCellOf(GetParam().x, GetParam().z, 0, 0), GetParam().cell);
    EXPECT_EQ(ui::mapCellOf(GetParam().x + 1000, GetParam().z - 7, 1000, -7), GetParam().cell) << "moved with the centre";
}

INSTANTIATE_TEST_SUITE_P(Edges, MapGridCells,
                         testing::Values(CellCase{-96, -64, 0}, CellCase{-97, 0, ui::kMapOffGrid},
                                         CellCase{95, 63, 31u << 16 | 47u}, CellCase{96, 0, ui::kMapOffGrid},
                                         CellCase{0, -65, ui::kMapOffGrid}, CellCase{0, 64, ui::kMapOffGrid},
                                         CellCase{0, 0, 16u << 16 | 24u}, CellCase{-1, -1, 15u << 16 | 23u}));

TEST(MapPanel, ListsTheTenNearestMarkersNearestFirst) {
    game::WorldMap map;
    for (int32_t k = 10; k >= 0; --k) map.markers.push_back({k * 10, 5, 0, 0, "M" + std::to_string(k)});
    const auto listed = ui::listedMarkers(map, 0, 0);
    ASSERT_EQ(listed.size(), ui::kMapMarkersListed);
    EXPECT_EQ(listed.front()->name, "M0");
    EXPECT_EQ(listed.back()->name, "M9");
}

TEST(MapPanel, WritesColoursLinesAndPlacesIntoTheOverlay) {
    game::WorldMap map;
    game::ChunkColours colours;
    colours.fill(0x123456u);
    game::recordChunk(map, {0, 0}, colours);
    map.markers = {{2, 5, 2, game::kCityMarker, "near"}, {500, 5, 0, game::kPortalMarker, "far"}};
    std::vector<uint32_t> words(render::kContentMetaBytes / 4);
    ui::MapPanel panel;
    panel.map = &map;
    panel.title = U"КАРТА";
    ui::writeMapPanel(words, panel);
    const auto slot = [&](uint32_t line) { return words.data() + (render::kFirstTextLineRecord + line) * 16; };
    const uint32_t* state = slot(ui::kMapStateLine);
    EXPECT_EQ(state[ui::kMapStateListed], 2u);
    EXPECT_EQ(state[ui::kMapStateSelected], 0u);
    EXPECT_EQ(state[ui::kMapStatePlayer], 16u << 16 | 24u);
    EXPECT_EQ(state[ui::kMapStateMarkers], 1u << 24 | 16u << 12 | 24u);
    EXPECT_EQ(state[ui::kMapStateMarkers + 1], 0u << 24 | ui::kMarkerOffGrid);
    EXPECT_EQ(slot(ui::kMapTitleLine)[0], 5u);
    EXPECT_EQ(slot(ui::kMapFirstMarkerLine)[0], std::u32string(U"1 NEAR 3 М").size());
    const uint32_t* cells = slot(ui::kMapCellsLine);
    EXPECT_EQ(cells[16 * ui::kMapColumns + 24], 0x123456u) << "the cell of column (2, 2)";
    EXPECT_EQ(cells[16 * ui::kMapColumns + 23], ui::kMapUnexplored) << "the cell of column (-2, 2)";
}

}  // namespace
