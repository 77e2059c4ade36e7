#include "content/crops.h"

#include <gtest/gtest.h>

#include <tuple>

#include "loader_fixture.h"

namespace {

using loadertest::LoaderTest;
using CropsTest = LoaderTest;

std::string cropJson(const std::string& id, const std::string& seed, const std::string& stages,
                     const std::string& extra = R"(, "yield_count": 3, "seed_count": 2)") {
    return R"({"id": ")" + id + R"(", "seed": ")" + seed +
           R"(", "soil": "test:farmland", "yield": "test:stick",
              "stages": [)" +
           stages + "]" + extra + "}";
}

// Counts of one and the growth time, which follows.
const std::string ones = R"(, "yield_count": 1, "seed_count": 1, "grow_ticks": )";

// "test:sprout_0", "test:sprout_1" ... up to count stages.
std::string stageList(int count) {
    std::string list;
    for (int stage = 0; stage < count; ++stage)
        list += (stage ? ", " : "") + std::string("\"test:sprout_") + std::to_string(stage) + "\"";
    return list;
}

TEST_F(CropsTest, LoadsACropWithItsStagesInOrder) {
    write("wheat.crop.json",
          cropJson("test:wheat", "test:seeds", R"("test:sprout_2", "test:sprout_0", "test:sprout_1")",
                   R"(, "yield_count": 3, "seed_count": 2, "grow_ticks": 72000)"));
    write("plain.crop.json", cropJson("test:plain", "test:stick", R"("test:sprout_3", "test:sprout_4")"));
    std::vector<content::CropRule> crops = content::loadCrops(content());
    ASSERT_EQ(crops.size(), 2u);
    EXPECT_EQ(std::tie(crops[0].id, crops[0].growTicks), std::tuple("test:plain", 1800));
    const content::CropRule& wheat = crops[1];
    EXPECT_EQ(std::tie(wheat.seed, wheat.soil, wheat.yield, wheat.growTicks, wheat.yieldCount, wheat.seedCount),
              std::tuple(loadertest::seeds, loadertest::farmland, loadertest::stick, 72000, 3, 2));
    EXPECT_EQ(wheat.stages, (std::vector<std::uint8_t>{loadertest::sprout + 2, loadertest::sprout,
                                                       loadertest::sprout + 1}));
    EXPECT_EQ(errors("crop_errors.txt"), "");
}

TEST_F(CropsTest, EachFaultSkipsOnlyItsFileWithOneLine) {
    const std::string two = stageList(2);
    const char* const unique = "Crop stages must be unique non-solid, non-opaque blocks";
    const FileCase cases[] = {
        {"c01.crop.json", cropJson("nocolon", "test:seeds", two), "Invalid or duplicate crop id"},
        {"c02.crop.json", cropJson("test:c2", "test:none", two), "Unknown or unavailable resource: test:none"},
        {"c03.crop.json", cropJson("test:c3", "test:seeds", R"("test:sprout_0", "test:sprout_0")"), unique},
        {"c04.crop.json", cropJson("test:c4", "test:seeds", R"("test:sprout_0", "core:stone")"), unique},
        {"c05.crop.json", cropJson("test:c5", "test:seeds", R"("test:sprout_0", "test:fog")"), unique},
        {"c06.crop.json", cropJson("test:c6", "test:seeds", R"("test:sprout_0", "test:stick")"), unique},
        {"c07.crop.json", cropJson("test:c7", "test:seeds", R"("test:sprout_0")"), "Crop needs 2..8 stages"},
        {"c08.crop.json", cropJson("test:c8", "test:seeds", stageList(9)), "Crop needs 2..8 stages"},
        {"c09.crop.json", cropJson("test:c9", "test:seeds", two, ones + "20.5"), "grow_ticks must be 20..72000"},
        {"c10.crop.json", cropJson("test:c10", "test:seeds", two, ones + "1e12"), "grow_ticks must be 20..72000"},
        {"c11.crop.json", cropJson("test:c11", "test:seeds", two, R"(, "yield_count": 1)"),
         "count must be an integer 1..64"},
        // Every refusal above left its id, seed and stages free for this one.
        {"c12.crop.json", cropJson("test:c11", "test:seeds", two), ""},
        {"c13.crop.json", cropJson("test:c11", "test:stick", R"("test:sprout_2", "test:sprout_3")"),
         "Invalid or duplicate crop id"},
        {"c14.crop.json", cropJson("test:c14", "test:seeds", R"("test:sprout_2", "test:sprout_3")"),
         "Duplicate seed or invalid soil"},
        {"c15.crop.json", cropJson("test:c15", "test:stick", R"("test:sprout_1", "test:sprout_3")"), unique},
    };
    const std::string expected = writeCases(cases);
    std::vector<content::CropRule> crops = content::loadCrops(content());
    ASSERT_EQ(crops.size(), 1u);
    EXPECT_EQ(crops[0].id, "test:c11");
    EXPECT_EQ(errors("crop_errors.txt"), expected);
}

TEST_F(CropsTest, SoilMustBeSolid) {
    write("soil.crop.json",
          R"({"id": "test:soil", "seed": "test:seeds", "soil": "test:fog", "yield": "test:stick",
                               "stages": ["test:sprout_0", "test:sprout_1"], "yield_count": 1, "seed_count": 1})");
    EXPECT_TRUE(content::loadCrops(content()).empty());
    EXPECT_EQ(errors("crop_errors.txt"), lineFor("soil.crop.json", "Duplicate seed or invalid soil"));
}

// Each limit from both sides, one crop per load so that nothing is taken by an earlier row.
TEST_F(CropsTest, StageCountAndGrowTicksAtTheirLimits) {
    struct Row {
        int stages;
        const char* growTicks;
        const char* message;
    };
    const Row rows[] = {
        {1, "1800", "Crop needs 2..8 stages"}, {2, "1800", ""},  {8, "1800", ""},
        {9, "1800", "Crop needs 2..8 stages"}, {0, "1800", "Crop needs 2..8 stages"},
        {2, "19", "grow_ticks must be 20..72000"}, {2, "20", ""}, {2, "72000", ""},
        {2, "72001", "grow_ticks must be 20..72000"},
    };
    for (const Row& row : rows) {
        write("row.crop.json", cropJson("test:row", "test:seeds", stageList(row.stages), ones + row.growTicks));
        const std::vector<content::CropRule> crops = content::loadCrops(content());
        const bool accepted = *row.message == '\0';
        SCOPED_TRACE(std::to_string(row.stages) + " stages, " + row.growTicks + " ticks");
        EXPECT_EQ(errors("crop_errors.txt"), accepted ? "" : lineFor("row.crop.json", row.message));
        ASSERT_EQ(crops.size(), accepted ? 1u : 0u);
        if (accepted) {
            EXPECT_EQ(crops[0].stages.size(), static_cast<std::size_t>(row.stages));
            EXPECT_EQ(crops[0].growTicks, std::stoi(row.growTicks));
        }
    }
}

}  // namespace
