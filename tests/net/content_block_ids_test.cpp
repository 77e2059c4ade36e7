// The block ids the server lets through: those a game with the same content and id file assigns.
#include "server/content_block_ids.h"

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

}  // namespace
