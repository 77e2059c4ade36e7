#include "content/loot_tables.h"

#include <gtest/gtest.h>

#include <tuple>

#include "content/json.h"
#include "loader_fixture.h"
#include "support/failure.h"

namespace {

using loadertest::LoaderTest;
using LootTablesTest = LoaderTest;

std::string tableJson(const std::string& id) {
    return R"({"id": ")" + id + R"(", "entries": [{"id": "test:stick"}]})";
}

TEST_F(LootTablesTest, EntryDefaultsToOneItemThatAlwaysDrops) {
    std::vector<LootEntry> entries = content::readLootTable(content::parseJsonText(
        R"({"entries": [{"id": "test:stick"}, {"id": "core:stone", "min": 2, "max": 64, "chance": 0}]})"));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(std::tie(entries[0].item, entries[0].min, entries[0].max, entries[0].chance),
              std::tuple(loadertest::stick, 1, 1, 1.0));
    EXPECT_EQ(std::tie(entries[1].item, entries[1].min, entries[1].max, entries[1].chance), std::tuple(3u, 2, 64, 0.0));
}

// Each fault has its own message; the rows without one sit on the accepted side of a limit.
TEST_F(LootTablesTest, EntryFaultsHaveTheirOwnMessages) {
    const auto many = [](int count) {
        std::string list;
        for (int i = 0; i < count; ++i) list += std::string(i ? "," : "") + R"({"id": "test:stick"})";
        return list;
    };
    const struct {
        std::string entries;
        const char* message;
    } cases[] = {
        {R"({"id": "test:stick", "min": 3, "max": 2})", "Invalid loot amount range"},
        {R"({"id": "test:stick", "min": 0})", "loot min outside range"},
        {R"({"id": "test:stick", "min": 1.5, "max": 2})", "loot min must be an integer"},
        {R"({"id": "test:stick", "min": 1e300})", "loot min outside range"},
        {R"({"id": "test:stick", "max": 65})", "loot max outside range"},
        {R"({"id": "test:stick", "chance": 1.01})", "loot chance outside range"},
        {R"({"id": "test:none"})", "Unknown loot item: test:none"},
        {"", "Loot needs 1..64 entries"},
        {many(65), "Loot needs 1..64 entries"},
        {many(64), ""},
        {R"({"id": "test:stick", "min": 64, "max": 64})", ""},
        {R"({"id": "test:stick", "min": 65, "max": 64})", "loot min outside range"},
        {R"({"id": "test:stick", "chance": -0.01})", "loot chance outside range"},
        // Compared as the double it is: in single precision both would round to 1 and to 0.
        {R"({"id": "test:stick", "chance": 1.00000001})", "loot chance outside range"},
        {R"({"id": "test:stick", "chance": -1e-50})", "loot chance outside range"},
    };
    for (const auto& c : cases) {
        content::Json table = content::parseJsonText(R"({"entries": [)" + c.entries + "]}");
        EXPECT_EQ(testsupport::failureOf<std::exception>([&] { content::readLootTable(table); }),
                  *c.message ? c.message : "(no failure)")
            << c.entries.substr(0, 80);
    }
    EXPECT_EQ(testsupport::failureOf<std::exception>(
                  [] { content::readLootTable(content::parseJsonText(R"({"entries": {}})")); }),
              "Loot needs 1..64 entries");
}

TEST_F(LootTablesTest, FaultyTableFilesAreSkippedWithOneLineEach) {
    write("a/chest.loot.json", tableJson("test:chest"));
    write("b/chest.loot.json", tableJson("test:chest"));
    write("c/.loot.json", tableJson("nocolon"));
    write("d/bad.loot.json", R"({"id": "test:bad", "entries": [{"id": "test:stick", "min": 3, "max": 2}]})");
    write("e/broken.loot.json", R"({"id": "test:broken")");
    write("f/last.loot.json", tableJson("test:bad"));
    std::map<std::string, std::vector<LootEntry>> tables = content::loadLootTables(content());
    ASSERT_EQ(tables.size(), 2u);
    EXPECT_EQ(tables.count("test:chest"), 1u);
    EXPECT_EQ(tables.count("test:bad"), 1u) << "a refused table does not take its id";
    EXPECT_EQ(errors("loot_errors.txt"),
              lineFor("b/chest.loot.json", "Invalid or duplicate loot ID / too many tables") +
                  lineFor("c/.loot.json", "Invalid or duplicate loot ID / too many tables") +
                  lineFor("d/bad.loot.json", "Invalid loot amount range") +
                  lineFor("e/broken.loot.json", "Unexpected end of JSON"));
}

TEST_F(LootTablesTest, AtMostSixtyFourTables) {
    write("a_bad.loot.json", R"({"id": "test:bad", "entries": []})");
    for (int i = 0; i < 65; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "t%02d.loot.json", i);
        write(name, tableJson("test:t" + std::to_string(i)));
    }
    std::map<std::string, std::vector<LootEntry>> tables = content::loadLootTables(content());
    EXPECT_EQ(tables.size(), 64u);
    EXPECT_EQ(tables.count("test:t64"), 0u);
    EXPECT_EQ(errors("loot_errors.txt"),
              lineFor("a_bad.loot.json", "Loot needs 1..64 entries") +
                  lineFor("t64.loot.json", "Invalid or duplicate loot ID / too many tables"));
}

}  // namespace
