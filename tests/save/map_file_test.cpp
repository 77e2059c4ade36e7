#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "save/map_file.h"

namespace {

using game::MapMarker;
using game::WorldMap;

WorldMap sampleMap() {
    WorldMap map;
    game::ChunkColours colours{};
    for (std::size_t k = 0; k < colours.size(); ++k) colours[k] = 0x010203u * static_cast<uint32_t>(k % 80 + 1);
    map.chunks[{-3, 7}] = colours;
    map.chunks[{134217727, -134217727}] = game::ChunkColours{};
    map.markers = {{-40, 0, 12, 0, "ПОРТАЛ В ПЕПЕЛЬНЫЕ ЗЕМЛИ"}, {100, 127, -9, 3, std::string(160, 'a')}};
    return map;
}

std::string colours(char digit) { return std::string(256 * 6, digit); }

std::string file(const std::string& chunks, const std::string& markers) {
    return std::string("QUORVANE_MAP140\n") + chunks + markers;
}

TEST(MapFile, ComesBackAsItWasWritten) {
    const WorldMap map = sampleMap();
    const std::string bytes = filesave::encodeMap(map);
    EXPECT_EQ(bytes.rfind("QUORVANE_MAP140\nchunks 2\n", 0), 0u);
    const auto read = filesave::decodeMap(bytes);
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, map);
    EXPECT_EQ(filesave::encodeMap(*read), bytes);
    EXPECT_EQ(filesave::mapFileName("core:overworld"), "core:overworld.map140.txt");
}

struct MapCase {
    const char* what;
    std::string bytes;
    bool accepted;
};

void PrintTo(const MapCase& c, std::ostream* out) { *out << c.what; }

class MapFileRules : public testing::TestWithParam<MapCase> {};

TEST_P(MapFileRules, AreHeldAtTheirEdges) {
    EXPECT_EQ(filesave::decodeMap(GetParam().bytes).has_value(), GetParam().accepted) << GetParam().what;
}

const std::string kNoChunks = "chunks 0\n";
const std::string kChunk = "chunks 1\n1 2 " + colours('a') + "\n";

INSTANTIATE_TEST_SUITE_P(
    Edges, MapFileRules,
    testing::Values(
        MapCase{"empty map", file(kNoChunks, "markers 0\n"), true},
        MapCase{"one chunk", file(kChunk, "markers 0\n"), true},
        MapCase{"name of 1 byte", file(kNoChunks, "markers 1\n0 0 0 0 x\n"), true},
        MapCase{"name of 0 bytes", file(kNoChunks, "markers 1\n0 0 0 0 \n"), false},
        MapCase{"name of 160 bytes", file(kNoChunks, "markers 1\n0 0 0 0 " + std::string(160, 'n') + "\n"), true},
        MapCase{"name of 161 bytes", file(kNoChunks, "markers 1\n0 0 0 0 " + std::string(161, 'n') + "\n"), false},
        MapCase{"name with a tab", file(kNoChunks, "markers 1\n0 0 0 0 a\tb\n"), false},
        MapCase{"name with spaces", file(kNoChunks, "markers 1\n0 0 0 0 a b \n"), true},
        MapCase{"kind 3", file(kNoChunks, "markers 1\n0 0 0 3 x\n"), true},
        MapCase{"kind 4", file(kNoChunks, "markers 1\n0 0 0 4 x\n"), false},
        MapCase{"y 127", file(kNoChunks, "markers 1\n0 127 0 0 x\n"), true},
        MapCase{"y 128", file(kNoChunks, "markers 1\n0 128 0 0 x\n"), false},
        MapCase{"y -1", file(kNoChunks, "markers 1\n0 -1 0 0 x\n"), false},
        MapCase{"wrong header", "QUORVANE_MAP139\n" + kNoChunks + "markers 0\n", false},
        MapCase{"no header", kNoChunks + "markers 0\n", false},
        MapCase{"chunks 4097", file("chunks 4097\n", "markers 0\n"), false},
        MapCase{"markers 257", file(kNoChunks, "markers 257\n"), false},
        MapCase{"fewer chunk lines than counted", file("chunks 2\n1 2 " + colours('0') + "\n", "markers 0\n"), false},
        MapCase{"fewer marker lines than counted", file(kNoChunks, "markers 2\n0 0 0 0 x\n"), false},
        MapCase{"a chunk twice", file("chunks 2\n1 2 " + colours('0') + "\n1 2 " + colours('0') + "\n", "markers 0\n"),
                false},
        MapCase{"255 colours", file("chunks 1\n1 2 " + std::string(255 * 6, '0') + "\n", "markers 0\n"), false},
        MapCase{"not a hex digit", file("chunks 1\n1 2 " + colours('g') + "\n", "markers 0\n"), false},
        MapCase{"chunk x 134217727", file("chunks 1\n134217727 0 " + colours('0') + "\n", "markers 0\n"), true},
        MapCase{"chunk x 134217728", file("chunks 1\n134217728 0 " + colours('0') + "\n", "markers 0\n"), false},
        MapCase{"a line after the markers", file(kNoChunks, "markers 0\nmore\n"), false},
        MapCase{"no marker count", file(kNoChunks, ""), false}));

TEST(MapFile, AFileLargerThanItsBoundIsRefusedUnread) {
    std::string bytes = file(kNoChunks, "markers 0\n");
    bytes.resize(filesave::kMaxMapFileBytes + 1, '\n');
    EXPECT_FALSE(filesave::decodeMap(bytes));
}

}  // namespace
