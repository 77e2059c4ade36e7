#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "game/world_map.h"
#include "save/map_file.h"

namespace {

using game::MapMarker;
using game::WorldMap;

game::ChunkColours filled(uint32_t colour) {
    game::ChunkColours colours;
    colours.fill(colour);
    return colours;
}

TEST(WorldMap, AFullMapForgetsTheChunkFarthestFromTheNewOne) {
    WorldMap map;
    for (int32_t k = 0; k < static_cast<int32_t>(game::kMaxMapChunks); ++k)
        game::recordChunk(map, {k % 64, k / 64}, filled(1));
    ASSERT_EQ(map.chunks.size(), game::kMaxMapChunks);
    map.dirty = false;
    game::recordChunk(map, {-1, 0}, filled(2));
    EXPECT_EQ(map.chunks.size(), game::kMaxMapChunks);
    EXPECT_TRUE(map.chunks.contains({-1, 0}));
    EXPECT_FALSE(map.chunks.contains({63, 63})) << "the corner farthest from (-1, 0) goes";
    EXPECT_TRUE(map.dirty);
    EXPECT_EQ(game::columnColour(map, -16, 15), 2u);
    EXPECT_EQ(game::columnColour(map, -17, 0), 0u) << "a column never seen";
}

TEST(WorldMap, RecordingTheSameColoursAgainChangesNothing) {
    WorldMap map;
    game::recordChunk(map, {0, 0}, filled(5));
    map.dirty = false;
    game::recordChunk(map, {0, 0}, filled(5));
    EXPECT_FALSE(map.dirty);
    game::recordChunk(map, {0, 0}, filled(6));
    EXPECT_TRUE(map.dirty);
}

struct MarkerCase {
    const char* what;
    MapMarker marker;
    bool added;
};

void PrintTo(const MarkerCase& c, std::ostream* out) { *out << c.what; }

class MarkerRules : public testing::TestWithParam<MarkerCase> {};

TEST_P(MarkerRules, DecideWhatJoinsAMapWithOnePortalAndOneCity) {
    WorldMap map;
    ASSERT_TRUE(game::addMarker(map, {0, 70, 0, game::kPortalMarker, "P"}));
    ASSERT_TRUE(game::addMarker(map, {300, 64, 300, game::kCityMarker, "C"}));
    EXPECT_EQ(game::addMarker(map, GetParam().marker), GetParam().added) << GetParam().what;
    EXPECT_EQ(map.markers.size(), GetParam().added ? 3u : 2u);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, MarkerRules,
    testing::Values(MarkerCase{"portal block 4 away: the same portal", {4, 74, -4, 0, "P"}, false},
                    MarkerCase{"portal block 5 away: another portal", {5, 70, 0, 0, "P"}, true},
                    MarkerCase{"the city again", {300, 64, 300, 1, "C"}, false},
                    MarkerCase{"a city one block aside", {301, 64, 300, 1, "C"}, true},
                    MarkerCase{"kind 3", {9, 9, 9, 3, "x"}, true},
                    MarkerCase{"kind 4", {9, 9, 9, 4, "x"}, false},
                    MarkerCase{"name of 160 bytes", {9, 9, 9, 2, std::string(160, 'n')}, true},
                    MarkerCase{"name of 161 bytes", {9, 9, 9, 2, std::string(161, 'n')}, false},
                    MarkerCase{"empty name", {9, 9, 9, 2, ""}, false},
                    MarkerCase{"name with a line feed", {9, 9, 9, 2, "a\nb"}, false}));

TEST(WorldMap, HoldsAtMost256MarkersAndTheFileTakesThemAll) {
    WorldMap map;
    for (int32_t k = 0; k < static_cast<int32_t>(game::kMaxMapMarkers); ++k)
        ASSERT_TRUE(game::addMarker(map, {k * 10, 1, 0, game::kPortalMarker, "P"}));
    EXPECT_FALSE(game::addMarker(map, {-100, 1, 0, game::kPortalMarker, "P"}));
    const auto read = filesave::decodeMap(filesave::encodeMap(map));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->markers.size(), game::kMaxMapMarkers);
}

}  // namespace
