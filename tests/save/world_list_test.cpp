#include "save/world_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/app.h"
#include "save/save_set.h"
#include "save/world_file.h"
#include "support/temp_dir.h"

namespace {

using filesave::parseWorldFile;

TEST(WorldFile, FormatsTheDocumentedLines) {
    EXPECT_EQ(filesave::formatWorldFile({"Мой мир", 4294967295u, 3}),
              "QUORVANE_WORLD 1\nname Мой мир\nseed 4294967295\ngeneration 3\n");
}

TEST(WorldFile, RoundTripAndLineEndings) {
    const auto record = parseWorldFile(filesave::formatWorldFile({"  spaced  name ", 12345, 1}));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->name, "  spaced  name ");
    EXPECT_EQ(record->seed, 12345u);
    EXPECT_EQ(record->generation, 1);
    EXPECT_EQ(parseWorldFile(filesave::formatWorldFile({"a", 4294967295u, 4}))->seed, 4294967295u)
        << "the largest seed; one more is refused below";

    const auto windows = parseWorldFile("QUORVANE_WORLD 1\r\nname \r\nseed 0\r\ngeneration 4\r\nlater 1\r\n");
    ASSERT_TRUE(windows);
    EXPECT_EQ(windows->name, "");
    EXPECT_EQ(windows->seed, 0u);
    EXPECT_EQ(windows->generation, 4);
}

TEST(WorldFile, RejectsBrokenRecords) {
    const std::vector<std::string> broken = {
        "",
        "QUORVANE_WORLD 2\nname a\nseed 1\ngeneration 4\n",
        "QUORVANE_WORLD 1\nname a\nseed 1\n",
        "QUORVANE_WORLD 1\nname\nseed 1\ngeneration 4\n",
        "QUORVANE_WORLD 1\nseed 1\nname a\ngeneration 4\n",
        "QUORVANE_WORLD 1\nname a\nseed -1\ngeneration 4\n",
        "QUORVANE_WORLD 1\nname a\nseed 4294967296\ngeneration 4\n",
        "QUORVANE_WORLD 1\nname a\nseed 12x\ngeneration 4\n",
        "QUORVANE_WORLD 1\nname a\nseed \ngeneration 4\n",
        "QUORVANE_WORLD 1\nname a\nseed 1\ngeneration 0\n",
        "QUORVANE_WORLD 1\nname a\nseed 1\ngeneration 5\n",
        "QUORVANE_WORLD 1\nname a\nseeds 1\ngeneration 4\n",
        "QUORVANE_WORLD 1\nname a\rb\nseed 1\ngeneration 4\n",
        "QUORVANE_WORLD 1\r\nname a\r\r\nseed 1\r\ngeneration 4\r\n",
    };
    for (const std::string& text : broken) EXPECT_FALSE(parseWorldFile(text)) << text;
}

TEST(WorldFile, RefusesAGenerationItCouldNotReadBack) {
    EXPECT_THAT([] { filesave::formatWorldFile({"a", 1, 0}); },
                testing::ThrowsMessage<std::runtime_error>(testing::StrEq("Invalid world generation")));
}

// Reader and writer accept the same names, and an accepted name comes back from the game's own
// UTF-8 <-> UTF-32 round trip byte for byte.
TEST(WorldFile, ReaderAndWriterAcceptTheSameNames) {
    const std::string longest(filesave::kMaxWorldNameBytes, 'a');
    std::string cyrillic;
    for (std::size_t i = 0; i < filesave::kMaxWorldNameBytes / 2; ++i) cyrillic += "Ж";
    const struct {
        std::string name;
        std::string problem;  // empty: accepted
    } cases[] = {
        {"", ""},
        {longest, ""},
        {longest + "a", "longer than 112 bytes"},
        {cyrillic, ""},
        {cyrillic + "a", "longer than 112 bytes"},
        {"Мир №1 ✓", ""},
        {"a\rb", "holds a carriage return"},
        {"\ra", "holds a carriage return"},
        {"a\nb", "holds a line feed"},
        {"\xc2\x80", ""},
        {"\xc1\xbf", "not valid UTF-8"},
        {"\xe0\xa0\x80", ""},
        {"\xe0\x9f\xbf", "not valid UTF-8"},
        {"\xef\xbf\xbf", ""},
        {"\xed\x9f\xbf", ""},
        {"\xed\xa0\x80", "not valid UTF-8"},
        {"ok\xff", "not valid UTF-8"},
        {"cut \xd0", "not valid UTF-8"},
        {"cut \xe2\x9c", "not valid UTF-8"},
        {"\x80", "not valid UTF-8"},
        {"\xf0\x9f\x98\x80", "holds a character beyond U+FFFF"},
    };
    for (const auto& c : cases) {
        const auto problem = filesave::worldNameProblem(c.name);
        EXPECT_EQ(problem.value_or(""), c.problem) << c.name;
        if (c.problem.empty()) {
            const std::string text = filesave::formatWorldFile({c.name, 1, 4});
            const auto read = parseWorldFile(text);
            ASSERT_TRUE(read) << c.name;
            EXPECT_EQ(read->name, c.name);
            EXPECT_EQ(ui::utf32ToUtf8(ui::utf8ToUtf32(read->name)), c.name);
            continue;
        }
        EXPECT_THAT([&] { filesave::formatWorldFile({c.name, 1, 4}); },
                    testing::ThrowsMessage<std::runtime_error>(testing::StrEq("Invalid world name: " + c.problem)));
        if (c.name.find('\n') != std::string::npos) continue;  // a line feed ends the name line itself
        std::string why;
        EXPECT_FALSE(parseWorldFile("QUORVANE_WORLD 1\nname " + c.name + "\nseed 1\ngeneration 4\n", &why));
        EXPECT_EQ(why, c.problem) << c.name;
    }
}

void writeWorld(const std::filesystem::path& saves, const std::string& folder, const std::string& name,
                uint32_t seed) {
    testsupport::writeFile(saves / folder / "world.txt", filesave::formatWorldFile({name, seed, 4}));
}

class WorldList : public testing::Test {
   protected:
    testsupport::TempDir dir;
    const std::filesystem::path saves = dir.path() / "Saves";
};

TEST_F(WorldList, NumberedFoldersWithReadableRecordsInNumericOrder) {
    writeWorld(saves, "world_10", "Десятый", 10);
    writeWorld(saves, "world_2", "Second", 2);
    writeWorld(saves, "world_1", "First", 1);
    for (const char* unnumbered : {"world_abc", "world_01", "world_0", "world_", "world_3x", "World_4"})
        writeWorld(saves, unnumbered, unnumbered, 99);
    testsupport::writeFile(saves / "world_5" / "world.txt", "QUORVANE_WORLD 1\nname broken\n");
    std::filesystem::create_directories(saves / "world_6");
    testsupport::writeFile(saves / "world_7", filesave::formatWorldFile({"a file", 7, 4}));
    testsupport::writeFile(saves / "world_8" / "world.txt", "QUORVANE_WORLD 1\nname a\rb\nseed 1\ngeneration 4\n");

    const filesave::WorldListing listing = filesave::scanWorldFolders(saves);
    const auto& worlds = listing.worlds;
    EXPECT_THAT(listing.refused, testing::ElementsAre("Invalid world file: " + (saves / "world_5" / "world.txt").string(),
                                               "Invalid world name in " + (saves / "world_8" / "world.txt").string() +
                                                   ": holds a carriage return"));
    ASSERT_EQ(worlds.size(), 3u);
    EXPECT_EQ(worlds[0].name, U"First");
    EXPECT_EQ(worlds[1].name, U"Second");
    EXPECT_EQ(worlds[2].name, U"Десятый");
    EXPECT_EQ(worlds[0].seed, 1u);
    EXPECT_EQ(worlds[2].seed, 10u);
    EXPECT_EQ(worlds[1].directory, saves / "world_2");
}

TEST_F(WorldList, SkippedFoldersAreNamedWithTheirCause) {
    writeWorld(saves, "world_1", "Good", 1);
    const std::string whole = filesave::formatWorldFile({"Cut", 2, 4});
    testsupport::writeFile(saves / "world_2" / "world.txt", whole.substr(0, whole.size() - 14));  // cut short
    std::filesystem::create_directories(saves / "world_3");
    testsupport::writeFile(saves / "world_11" / "world.txt", "");
    writeWorld(saves, "world_4", "Also good", 4);
    std::filesystem::create_directories(saves / "notes");

    const filesave::WorldListing listing = filesave::scanWorldFolders(saves);
    ASSERT_EQ(listing.worlds.size(), 2u);
    EXPECT_EQ(listing.worlds[1].name, U"Also good");
    EXPECT_EQ(listing.skipped, (std::vector<std::string>{"world_2: world.txt is damaged or cut short",
                                                          "world_3: world.txt is missing",
                                                          "world_11: world.txt is damaged or cut short"}));
}

// Lines after the generation are ignored, so padding brings a good record to the size limit and
// one byte past it.
TEST_F(WorldList, WorldFilesUpToTheirSizeLimitAreRead) {
    for (const auto& [folder, size] : {std::pair{"world_1", 65536}, {"world_2", 65537}}) {
        std::string text = filesave::formatWorldFile({"Padded", 1, 4}) + "padding ";
        text.resize(size, 'x');
        testsupport::writeFile(saves / folder / "world.txt", text);
    }
    const filesave::WorldListing listing = filesave::scanWorldFolders(saves);
    ASSERT_EQ(listing.worlds.size(), 1u);
    EXPECT_EQ(listing.worlds[0].directory, saves / "world_1");
    EXPECT_EQ(listing.skipped, std::vector<std::string>{"world_2: world.txt cannot be read"});
    EXPECT_THAT(listing.refused,
                testing::ElementsAre("Invalid world file: " + (saves / "world_2" / "world.txt").string()));
}

TEST_F(WorldList, TheAppWritesTheSkippedFoldersBesideTheSaves) {
    App app;
    app.files.saves = saves;
    app.listWorlds();
    EXPECT_FALSE(std::filesystem::exists(app.files.saves)) << "no saves, no error file";
    std::filesystem::create_directories(app.files.saves / "world_5");
    app.listWorlds();
    EXPECT_EQ(testsupport::readFile(app.files.saves / filesave::kWorldListErrorsFile), "world_5: world.txt is missing\n");
    writeWorld(app.files.saves, "world_5", "Mended", 5);
    app.listWorlds();
    EXPECT_EQ(testsupport::readFile(app.files.saves / filesave::kWorldListErrorsFile), "");
    ASSERT_EQ(app.ui.worlds.size(), 1u);
}

TEST_F(WorldList, DeletedWorldsMoveToBackupsUnderFreeNames) {
    const auto backups = dir.path() / "Backups";
    writeWorld(saves, "world_1", "First", 1);
    EXPECT_EQ(filesave::moveWorldToBackups(saves / "world_1", backups), backups / "DeletedWorlds" / "world_1");
    EXPECT_FALSE(std::filesystem::exists(saves / "world_1"));
    writeWorld(saves, "world_1", "Again", 1);
    EXPECT_EQ(filesave::moveWorldToBackups(saves / "world_1", backups), backups / "DeletedWorlds" / "world_1-2");
    EXPECT_NE(testsupport::readFile(backups / "DeletedWorlds" / "world_1" / "world.txt").find("First"),
              std::string::npos);
    EXPECT_THROW(filesave::moveWorldToBackups(saves / "world_9", backups), std::runtime_error);
}

TEST_F(WorldList, MissingSavesFolderListsNothing) {
    const filesave::WorldListing listing = filesave::scanWorldFolders(saves);
    EXPECT_TRUE(listing.worlds.empty() && listing.skipped.empty() && listing.refused.empty());
}

}  // namespace

TEST_F(WorldList, NewWorldFolderIsAboveEveryNumberedFolderReadableOrNot) {
    EXPECT_EQ(filesave::nextWorldFolder(saves), saves / "world_1") << "no saves folder yet";
    writeWorld(saves, "world_2", "Second", 2);
    EXPECT_EQ(filesave::nextWorldFolder(saves), saves / "world_3");
    // A damaged world keeps its number: the new one goes above it instead of writing into it.
    testsupport::writeFile(saves / "world_9" / "world.txt", "QUORVANE_WORLD 1\nname broken\n");
    writeWorld(saves, "world_01", "Leading zero", 99);
    EXPECT_EQ(filesave::nextWorldFolder(saves), saves / "world_10");
}

namespace {

// A new world whose first save stopped after its commit point is listed with the finished save.
TEST(WorldListing, AFirstSaveStoppedAfterItsCommitPointIsFinishedAndListed) {
    testsupport::TempDir saves;
    const std::filesystem::path folder = saves.path() / "world_1";
    std::filesystem::create_directories(folder);
    const std::string world = filesave::formatWorldFile({"Новый", 5, 4});
    const std::string other = "records";
    testsupport::writeFile(folder / "world.txt.tmp", world);
    testsupport::writeFile(folder / "drops.dat.tmp", other);
    testsupport::writeFile(folder / filesave::kManifestFile,
                           filesave::encodeManifest({{"world.txt", world.size(), filesave::contentHash(world)},
                                                     {"drops.dat", other.size(), filesave::contentHash(other)}}));
    const filesave::WorldListing listing = filesave::scanWorldFolders(saves.path());
    ASSERT_EQ(listing.worlds.size(), 1u);
    EXPECT_EQ(listing.worlds[0].name, U"Новый");
    EXPECT_EQ(testsupport::readFile(folder / "drops.dat"), other);
    EXPECT_FALSE(std::filesystem::exists(folder / filesave::kManifestFile));
}

}  // namespace
