#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "save/world_state_files.h"
#include "support/failure.h"

using namespace filesave;

namespace {

// The text of one chest at (x, y, z) whose first slot holds `first` and the rest nothing, after its
// dimension id unless that is empty (the earlier text's lines).
std::string chestLine(const std::string& cell, const std::string& first,
                      const std::string& dimension = "core:overworld") {
    std::string line = (dimension.empty() ? "" : dimension + " ") + cell + " " + first;
    for (int k = 1; k < 27; ++k) line += " 0 0 0";
    return line + "\n";
}

std::string chestText(const std::string& count, const std::string& lines) {
    return std::string(kChestsTag) + "\n" + count + "\n" + lines;
}

TEST(ChestsFile, IsATextRecordUnderItsTag) {
    ChestSlots slots{};
    slots[0] = {3, 10, 0};
    slots[26] = {12, 1, 4};
    const std::string text = encodeChests({{"core:ash", {{{-5, 65, 2147483647}, slots}}}});
    std::string expected = "VXC073\n1\ncore:ash -5 65 2147483647 3 10 0";
    for (int k = 1; k < 26; ++k) expected += " 0 0 0";
    EXPECT_EQ(text, expected + " 12 1 4\n");
    const auto read = decodeChests(text);
    ASSERT_TRUE(read);
    EXPECT_EQ(encodeChests(*read), text);
    EXPECT_TRUE(decodeChests("VXC073\r\n1\r\n" + chestLine("0 1 2", "3 4 5"))) << "line ends written elsewhere";
    EXPECT_EQ(testsupport::failureOf([] { return encodeChests({{"Core Ash", {{{0, 0, 0}, ChestSlots{}}}}}); }),
              "Cannot save voxel_chests.txt: dimension id \"Core Ash\" is not a resource id");
}

TEST(ChestsFile, EveryNumberAndLineIsChecked) {
    const struct {
        const char* name;
        std::string text;
        bool accepted;
    } rows[] = {
        {"a full stack", chestText("1", chestLine("0 1 2", "5 65535 0")), true},
        {"one over", chestText("1", chestLine("0 1 2", "5 65536 0")), false},
        {"a negative count", chestText("1", chestLine("0 1 2", "5 -1 0")), false},
        {"the top id", chestText("1", chestLine("0 1 2", "255 1 0")), true},
        {"an id past it", chestText("1", chestLine("0 1 2", "256 1 0")), false},
        {"negative wear", chestText("1", chestLine("0 1 2", "5 1 -1")), false},
        {"a cell past 32 bits", chestText("1", chestLine("0 1 2147483648", "5 1 0")), false},
        {"a missing number", chestText("1", chestLine("0 1", "5 1 0")), false},
        {"a number too many", chestText("1", chestLine("0 1 2 3", "5 1 0")), false},
        {"two spaces", chestText("1", chestLine("0  1 2", "5 1 0")), false},
        {"a plus sign", chestText("1", chestLine("+0 1 2", "5 1 0")), false},
        {"the same cell twice", chestText("2", chestLine("0 1 2", "5 1 0") + chestLine("0 1 2", "6 1 0")), false},
        {"two cells", chestText("2", chestLine("0 1 2", "5 1 0") + chestLine("0 1 3", "6 1 0")), true},
        {"a cell in two dimensions",
         chestText("2", chestLine("0 1 2", "5 1 0") + chestLine("0 1 2", "6 1 0", "core:ash")), true},
        {"no dimension id", chestText("1", chestLine("0 1 2", "5 1 0", "")), false},
        {"a dimension id no resource id", chestText("1", chestLine("0 1 2", "5 1 0", "Core:Ash")), false},
        {"an earlier line", "VXC072\n1\n" + chestLine("0 1 2", "5 1 0", ""), true},
        {"an earlier line with a dimension id", "VXC072\n1\n" + chestLine("0 1 2", "5 1 0"), false},
        {"fewer lines than counted", chestText("2", chestLine("0 1 2", "5 1 0")), false},
        {"more lines than counted", chestText("0", chestLine("0 1 2", "5 1 0")), false},
        {"no final line feed", chestText("1", chestLine("0 1 2", "5 1 0")).erase(9 + 15 + 167), false},
        {"an empty line after", chestText("0", "\n"), false},
        {"another tag", "VXC071\n0\n", false},
        {"no count", "VXC072\n", false},
        {"nothing", "", false},
    };
    for (const auto& row : rows) EXPECT_EQ(decodeChests(row.text).has_value(), row.accepted) << row.name;
}

// The bound is on the chests of all dimensions together.
TEST(ChestsFile, TheCountIsBoundedAtItsEdge) {
    CellsByDimension<ChestSlots> chests;
    for (int32_t i = 0; i < static_cast<int32_t>(kMaxRecords); ++i)
        chests[i % 2 ? "core:ash" : "core:overworld"][{i / 2, 0, 0}] = ChestSlots{};
    const std::string full = encodeChests(chests);
    const auto read = decodeChests(full);
    ASSERT_TRUE(read);
    EXPECT_EQ(countCells(*read), kMaxRecords);
    std::string over = full;
    over.replace(7, 5, "65537");
    over += chestLine("-1 0 0", "0 0 0");
    EXPECT_FALSE(decodeChests(over));
    chests["core:frost"][{0, 0, 0}] = ChestSlots{};
    EXPECT_EQ(testsupport::failureOf([&] { return encodeChests(chests); }),
              "Cannot save voxel_chests.txt: 65537 records, at most 65536");
}

// The binary record of worlds saved before the text file: "QVCH", u32 1, u32 n, then per chest the
// cell and 27 slots of {u8 id, i32 count, i32 wear}; one chest at (0, 0, 0) whose first slot counts
// `count`.
TEST(ChestsFile, TheEarlierBinaryRecordIsStillReadWithItsBounds) {
    const auto record = [](int32_t count) {
        std::string bytes("QVCH\1\0\0\0\1\0\0\0", 12);
        bytes.append(12 + 27 * 9, '\0');
        bytes[24] = 7;
        std::memcpy(bytes.data() + 25, &count, 4);
        return bytes;
    };
    const auto read = decodeChests(record(kMaxStackCount));
    ASSERT_TRUE(read);
    EXPECT_EQ((read->at("core:overworld").at({0, 0, 0})[0].count), kMaxStackCount);
    EXPECT_FALSE(decodeChests(record(kMaxStackCount + 1)));
    EXPECT_FALSE(decodeChests(record(1).substr(0, 12 + 12 + 27 * 9 - 1)));
    EXPECT_FALSE(decodeChests(record(1) + '\0'));
}

}  // namespace
