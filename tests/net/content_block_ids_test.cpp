// The block ids and dimensions the server lets through: those a game with the same content knows.
#include "server/content_block_ids.h"
#include "server/content_dimension_ids.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace {

TEST(ContentBlockIds, TheHighestIsTheLastIdTheGameWouldAssign) {
    struct Row {
        const char* name;
        std::vector<std::string> definitions;  // definition.json texts, one folder each
        std::string idsFile;                   // "" = none
        int highest;
    };
    const Row rows[] = {
        {"no content: the built-ins", {}, "", 12},
        {"two definitions", {R"({"id": "x:a"})", R"({"id": "x:b"})"}, "", 14},
        {"one kept at its saved id, the next after it", {R"({"id": "x:a"})", R"({"id": "x:b"})"}, "\"x:a\" 40\n", 41},
        {"a vanished entry keeps its id", {R"({"id": "x:a"})"}, "\"x:gone\" 90\n", 91},
        {"an unreadable definition still takes an id", {"{", R"({"id": "x:b"})"}, "", 14},
    };
    for (const Row& row : rows) {
        testsupport::TempDir base;
        for (std::size_t i = 0; i < row.definitions.size(); ++i)
            testsupport::writeFile(base.path() / "Content" / ("d" + std::to_string(i)) / "definition.json",
                                   row.definitions[i]);
        if (!row.idsFile.empty()) testsupport::writeFile(base.path() / "Saves" / "content_ids.txt", row.idsFile);
        EXPECT_EQ(net::highestBlockId(base.path() / "Content", base.path() / "Saves" / "content_ids.txt"), row.highest)
            << row.name;
        EXPECT_FALSE(std::filesystem::exists(base.path() / "Saves" / "content_ids.txt") && row.idsFile.empty())
            << "nothing written: " << row.name;
    }
}

TEST(ContentDimensionIds, TheOverworldAndEachDimensionFilesId) {
    struct Row {
        const char* name;
        std::vector<std::string> files;  // dimension file texts
        std::set<std::string> ids;
    };
    const Row rows[] = {
        {"no dimension files", {}, {"core:overworld"}},
        {"two files", {R"({"id": "x:ash"})", R"({"id": "x:sky", "n": 3})"}, {"core:overworld", "x:ash", "x:sky"}},
        {"a file without a readable id", {"{", R"({"id": 7})"}, {"core:overworld"}},
    };
    for (const Row& row : rows) {
        testsupport::TempDir base;
        for (std::size_t i = 0; i < row.files.size(); ++i)
            testsupport::writeFile(base.path() / "Content" / (std::to_string(i) + ".dimension.json"), row.files[i]);
        EXPECT_EQ(net::contentDimensionIds(base.path() / "Content"), row.ids) << row.name;
    }
}

}  // namespace
