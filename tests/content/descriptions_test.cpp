#include "content/descriptions.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace {

TEST(Descriptions, EveryReadableDefinitionGivesItsCutText) {
    testsupport::TempDir dir;
    const auto content = dir.path() / "Content";
    const std::string long320 = std::string(318, 'a') + "жы";
    testsupport::writeFile(content / "a" / "definition.json", R"({"id": "t:plain"})");
    testsupport::writeFile(content / "b" / "definition.json",
                           R"({"id": "t:long", "description": ")" + long320 + R"(ZZZ"})");
    testsupport::writeFile(content / "c" / "definition.json", R"({"id": "t:broken", "description": "x")");
    testsupport::writeFile(content / "d" / "definition.json",
                           R"({"id": "t:exact", "description": ")" + std::string(320, 'b') + R"("})");
    // Refused by the resource loader (no textures, no model), yet described.
    testsupport::writeFile(content / "e" / "definition.json",
                           R"({"id": "t:plain", "description": "Второй"})");
    testsupport::writeFile(content / "f" / "definition.json", R"({"description": 5})");
    testsupport::writeFile(content / "g" / "definition.json", R"({"id": "t:bare"})");
    testing::internal::CaptureStderr();
    const content::DescriptionTable table = content::readDescriptions(content);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    ASSERT_EQ(table.size(), 5u);
    EXPECT_EQ(table.at("t:bare"), U"");
    EXPECT_EQ(table.at("t:plain"), U"Второй");
    EXPECT_EQ(table.at("t:long"), std::u32string(318, U'a') + U"жы");
    EXPECT_EQ(table.at("t:exact").size(), 320u);
    EXPECT_EQ(table.at(""), U"");
    EXPECT_EQ(table.count("t:broken"), 0u);
    EXPECT_FALSE(std::filesystem::exists(content / "content_errors.txt"));
}

TEST(Descriptions, NoContentDirectoryGivesNoEntries) {
    testsupport::TempDir dir;
    EXPECT_TRUE(content::readDescriptions(dir.path() / "Content").empty());
}

}  // namespace
