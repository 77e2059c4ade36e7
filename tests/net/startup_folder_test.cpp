#include "net/startup_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "save/world_file.h"
#include "save/world_state_files.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

class StartupFolder : public testing::Test {
   protected:
    std::vector<std::string> folders() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(cache))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    testsupport::TempDir dir;
    const fs::path cache = dir.path() / "NetworkCache";
};

// Whatever a local save writes first marks the folder as the player's world; a guest's leftovers
// (a preview, a map) do not.
TEST_F(StartupFolder, ASessionEndRemovesTheFolderUnlessALocalWorldWasSavedThere) {
    const struct {
        const char* name;
        std::vector<fs::path> files;
        bool kept;
    } cases[] = {
        {"empty", {}, false},
        {"guest leftovers", {"preview.png", "core_overworld.map140.txt"}, false},
        {"world file", {filesave::kWorldFile}, true},
        {"chunk file", {fs::path("Chunks") / "0_0.bin"}, true},
        {"inventory", {filesave::kInventoryFile}, true},
    };
    for (const auto& c : cases) {
        const fs::path folder = net::prepareStartupFolder(cache, 100);
        EXPECT_EQ(folder, cache / "startup-100") << c.name;
        for (const fs::path& file : c.files) testsupport::writeFile(folder / file, "x");
        EXPECT_EQ(net::releaseStartupFolder(folder), !c.kept) << c.name;
        EXPECT_EQ(fs::exists(folder), c.kept) << c.name;
        fs::remove_all(folder);
    }
    EXPECT_TRUE(net::releaseStartupFolder({})) << "no startup folder, nothing to do";
}

// Two starts keep to one folder: the kept world's, the newest of them; folders of earlier starts
// without a world (left by a crash) go.
TEST_F(StartupFolder, LaterStartsReuseTheFolderOfTheLocalWorld) {
    const fs::path first = net::prepareStartupFolder(cache, 100);
    testsupport::writeFile(first / filesave::kWorldFile, "world");
    ASSERT_FALSE(net::releaseStartupFolder(first));
    EXPECT_EQ(net::prepareStartupFolder(cache, 200), first);
    EXPECT_EQ(folders(), std::vector<std::string>{"startup-100"});

    fs::create_directories(cache / "startup-300");                                 // a crash's, empty
    testsupport::writeFile(cache / "startup-400" / "preview.png", "x");            // a crash's, guest only
    testsupport::writeFile(cache / "startup-50" / filesave::kInventoryFile, "x");  // an older world
    fs::create_directories(cache / "startup-x1");                                  // not ours
    fs::create_directories(cache / "127.0.0.1_29810");                             // a session's cache
    EXPECT_EQ(net::prepareStartupFolder(cache, 500), first);
    EXPECT_EQ(folders(),
              (std::vector<std::string>{"127.0.0.1_29810", "startup-100", "startup-50", "startup-x1"}));

    fs::remove_all(first);
    fs::remove_all(cache / "startup-50");
    EXPECT_EQ(net::prepareStartupFolder(cache, 600), cache / "startup-600") << "no world kept: a new folder";
}

}  // namespace
