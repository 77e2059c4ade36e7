#include "content/resource_ids.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <tuple>

#include "adventure/catalog.h"
#include "content/mobs.h"
#include "definition_fixture.h"
#include "support/failure.h"
#include "world/block_registry.h"

namespace fs = std::filesystem;

namespace {

using testsupport::failureOf;

class ResourceIdsTest : public deftest::DefinitionTest {
   protected:
    void define(const std::string& folder, const std::string& id) const {
        DefinitionTest::define(folder, R"("id": ")" + id + "\"");
    }
    // Loads into a fresh registry, as a new run of the game would, and returns its stdout.
    std::string load() {
        voxel::resetBlockRegistry();
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        try {
            content::loadResources(content(), idsFile());
        } catch (...) {
            testing::internal::GetCapturedStdout();
            errors = testing::internal::GetCapturedStderr();
            throw;
        }
        errors = testing::internal::GetCapturedStderr();
        return testing::internal::GetCapturedStdout();
    }

    std::string errors;
};

TEST_F(ResourceIdsTest, NewIdsFollowSortedPathsAndStayStableAcrossRuns) {
    define("b", "core:zinc");
    define("a", "demo:lantern");
    define("a/c", "core:apple");
    EXPECT_EQ(load(),
              "Content loaded: core:apple -> 13\nContent loaded: demo:lantern -> 14\n"
              "Content loaded: core:zinc -> 15\n");
    const std::string firstFile = "\"core:apple\" 13\n\"core:zinc\" 15\n\"demo:lantern\" 14\n";
    EXPECT_EQ(testsupport::readFile(idsFile()), firstFile);
    EXPECT_FALSE(fs::exists(idsFile().string() + ".tmp"));
    EXPECT_FALSE(fs::exists(idsFile().string() + ".bak"));
    EXPECT_EQ(content::resourceId("demo:lantern"), 14);
    EXPECT_EQ(voxel::blockDef(13).id, "core:apple");

    // A new definition sorted first keeps every old number and gets the next free one.
    define("0", "core:new");
    fs::remove_all(content() / "a" / "c");
    EXPECT_EQ(load(),
              "Content loaded: core:new -> 16\nContent loaded: demo:lantern -> 14\n"
              "Content loaded: core:zinc -> 15\n");
    EXPECT_EQ(testsupport::readFile(idsFile()),
              "\"core:apple\" 13\n\"core:new\" 16\n\"core:zinc\" 15\n\"demo:lantern\" 14\n");
    EXPECT_EQ(testsupport::readFile(idsFile().string() + ".bak"), firstFile);
    EXPECT_FALSE(fs::exists(idsFile().string() + ".tmp"));

    // The vanished resource keeps its id as an unavailable placeholder.
    const voxel::BlockDef& apple = voxel::blockDef(13);
    EXPECT_EQ(std::tie(apple.name, apple.id, apple.available, apple.solid, apple.opaque),
              std::tuple("MISSING: core:apple", "core:apple", false, true, false));
    EXPECT_EQ(voxel::findCustomBlock("core:apple"), 0);
    EXPECT_EQ(failureOf<std::exception>([] { content::resourceId("core:apple"); }),
              "Unknown or unavailable resource: core:apple");
}

TEST_F(ResourceIdsTest, KnownContentOnlyLeavesTheFileAndBackupUntouched) {
    define("a", "core:one");
    load();
    const auto written = fs::last_write_time(idsFile());
    testsupport::writeFile(idsFile().string() + ".bak", "old backup");
    load();
    EXPECT_EQ(fs::last_write_time(idsFile()), written);
    EXPECT_EQ(testsupport::readFile(idsFile().string() + ".bak"), "old backup");
}

TEST_F(ResourceIdsTest, NextIdFollowsTheLargestKnownId) {
    testsupport::writeFile(idsFile(), "\"core:a\" 13\n\t\"core:b\"   40  \r\n");
    define("x", "core:c");
    EXPECT_EQ(load(), "Content loaded: core:c -> 41\n");
    EXPECT_EQ(voxel::blockCount(), 42u);
    EXPECT_EQ(voxel::blockDef(20).name, "MISSING RESOURCE");
    EXPECT_EQ(voxel::blockDef(40).name, "MISSING: core:b");
}

TEST_F(ResourceIdsTest, InvalidIdsFilesEndLoading) {
    define("x", "core:c");
    for (const char* text :
         {"\"core:a\" 12\n", "\"core:a\" 256\n", "\"core:a\" 13\n\"core:b\" 13\n",
          "\"core:a\" 13\n\"core:b\" x\n\"core:c\" 15\n", "\"core:a\" 13\n\"core:b\"\n",
          "\"core:a\" 13\n\"core:b\" 99999999999\n", "\"core:a\" 13\n\"core:b", "\"core:a\" -14\n"}) {
        testsupport::writeFile(idsFile(), text);
        EXPECT_EQ(failureOf<std::exception>([&] { load(); }), "Invalid content_ids.txt; restore its backup")
            << text;
        EXPECT_EQ(testsupport::readFile(idsFile()), text);
    }
}

TEST_F(ResourceIdsTest, IdsFileReadsQuotedAndBareNames) {
    const content::ResourceIds ids = content::parseContentIds("\"a:\\\"q\\\\\" 20 bare:name 14\n\n");
    EXPECT_EQ(ids.ids.at("a:\"q\\"), 20);
    EXPECT_EQ(ids.ids.at("bare:name"), 14);
    EXPECT_EQ(ids.next, 21);
    EXPECT_EQ(content::formatContentIds(ids), "\"a:\\\"q\\\\\" 20\n\"bare:name\" 14\n");
    EXPECT_EQ(content::parseContentIds(content::formatContentIds(ids)).ids, ids.ids);
    EXPECT_TRUE(content::parseContentIds(" \n\t").ids.empty());
    // A repeated content id keeps the later number.
    EXPECT_EQ(content::parseContentIds("\"a:b\" 13 \"a:b\" 14").ids.at("a:b"), 14);
}

TEST_F(ResourceIdsTest, FaultyDefinitionsAreReportedAndSkipped) {
    define("a", "core:dup");
    define("b", "core:dup");
    define("c", "nocolon");
    testsupport::writeFile(content() / "d" / "definition.json", "{\"id\":");
    define("e", "core:fine");
    testsupport::writeFile(content() / "content_errors.txt", "old\n");
    EXPECT_EQ(load(), "Content loaded: core:dup -> 13\nContent loaded: core:fine -> 14\n");
    const std::string expected =
        (content() / "b/definition.json").string() + ": Duplicate resource id: core:dup\n" +
        (content() / "c/definition.json").string() + ": id must have namespace:name format\n" +
        (content() / "d/definition.json").string() + ": Expected JSON value\n";
    EXPECT_EQ(testsupport::readFile(content() / "content_errors.txt"), expected);
    EXPECT_EQ(errors, expected);
}

TEST_F(ResourceIdsTest, At256IdsFurtherNewContentIsRefused) {
    std::string text;
    for (int id = 13; id < 255; ++id)
        text += "\"old:r" + std::to_string(id) + "\" " + std::to_string(id) + "\n";
    testsupport::writeFile(idsFile(), text);
    define("a", "new:first");
    define("b", "new:second");
    define("c", "old:r20");
    EXPECT_EQ(load(), "Content loaded: new:first -> 255\nContent loaded: old:r20 -> 20\n");
    EXPECT_EQ(testsupport::readFile(content() / "content_errors.txt"),
              (content() / "b/definition.json").string() +
                  ": The current save format permits 243 custom resources: no numeric id left for new:second\n");
    EXPECT_EQ(voxel::blockCount(), 256u);
}

TEST_F(ResourceIdsTest, SaveFailuresEndLoading) {
    define("a", "core:one");
    fs::create_directories(fs::path(idsFile().string() + ".tmp"));
    EXPECT_EQ(failureOf<std::exception>([&] { load(); }), "Cannot save persistent resource IDs");
    EXPECT_EQ(voxel::findCustomBlock("core:one"), 13);
}

TEST_F(ResourceIdsTest, NameLookups) {
    define("a", "demo:ore");
    load();
    EXPECT_EQ(std::tuple(content::resourceId("core:stone"), content::lootItemId("core:diamond_ore"),
                         content::adventureResourceId("demo:ore"), content::mobResourceId("demo:ore")),
              std::tuple(3, 12, 13, 13));
    const auto refusal = [](auto lookup, const char* name) { return failureOf<std::exception>([&] { lookup(name); }); };
    EXPECT_EQ(refusal(content::mobResourceId, "core:stone"), "Unknown mob resource: core:stone");
    EXPECT_EQ(refusal(content::resourceId, "core:air"), "Unknown or unavailable resource: core:air");
    EXPECT_EQ(refusal(content::resourceId, "stone"), "Unknown or unavailable resource: stone");
    EXPECT_EQ(refusal(content::adventureResourceId, "x:y"), "Unknown adventure resource: x:y");
    EXPECT_EQ(refusal(content::lootItemId, "x:y"), "Unknown loot item: x:y");
    EXPECT_EQ(refusal(content::mobResourceId, ""), "Unknown mob resource: ");
    EXPECT_EQ(refusal(content::resourceId, ""), "Unknown or unavailable resource: ");
    EXPECT_EQ(content::qualifiedResourceName(3), "core:stone");
    EXPECT_EQ(content::qualifiedResourceName(13), "demo:ore");
    EXPECT_EQ(failureOf<std::exception>([] { content::qualifiedResourceName(14); }), "invalid block ID");
}

// A large pack sorted before the game's own folders takes every free id on a first run: the
// resources that got none are named, and so is the reason where a mob or NPC needs them.
TEST_F(ResourceIdsTest, ResourcesLeftWithoutAnIdAreNamedWhereverTheyAreNeeded) {
    for (const char* own : {"core:raw_pork", "core:bone", "core:arrow"}) define(std::string("0/") + own, own);
    for (int i = 0; i < 240; ++i) define("a/" + std::to_string(1000 + i), "pack:r" + std::to_string(i));
    define("mobs/warden", "core:warden");
    define("people/smith", "core:smith_body");
    testsupport::writeFile(content() / "mobs" / "warden.mob.json",
                           R"({"id": "core:warden", "model_resource": "core:warden"})");
    testsupport::writeFile(content() / "people" / "smith.npc.json", R"({"id": "core:smith", "model": "core:smith_body"})");
    load();
    EXPECT_EQ(voxel::findCustomBlock("pack:r239"), 255);
    const std::string used = "The current save format permits 243 custom resources";
    EXPECT_EQ(errorFile(), lineFor("mobs/warden", used + ": no numeric id left for core:warden") +
                               lineFor("people/smith", used + ": no numeric id left for core:smith_body"));

    const std::vector<content::MobDef> mobs = content::loadMobs(content());
    EXPECT_EQ(mobs.size(), 2u) << "only the built-ins";
    EXPECT_EQ(testsupport::readFile(content() / "mob_errors.txt"),
              (content() / "mobs" / "warden.mob.json").string() +
                  ": Unknown mob resource: core:warden (it got no numeric id: " + used + ")\n");
    const adventure::Catalog catalog = adventure::loadContent(content(), {}, {});
    EXPECT_TRUE(catalog.npcs.empty());
    EXPECT_EQ(testsupport::readFile(content() / "adventure_errors.txt"),
              (content() / "people" / "smith.npc.json").string() +
                  ": Unknown adventure resource: core:smith_body (it got no numeric id: " + used + ")\n");
    // A name that never existed keeps the plain message.
    EXPECT_EQ(failureOf([] { content::mobResourceId("core:other"); }), "Unknown mob resource: core:other");
}

TEST_F(ResourceIdsTest, MissingContentDirectoryStillReadsTheIdsFile) {
    testsupport::writeFile(idsFile(), "\"core:a\" 13\n\"core:z\" 255\n");
    EXPECT_EQ(load(), "");
    EXPECT_EQ(voxel::blockDef(13).name, "MISSING: core:a");
    EXPECT_EQ(voxel::blockDef(255).name, "MISSING: core:z") << "the last id is read; 256 is refused above";
    EXPECT_FALSE(fs::exists(content()));
}

}  // namespace
