// The game started on its own content pack: a clean start leaves every error file empty and loads
// every definition.
#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <vector>

#include "integration/game_fixture.h"

namespace fs = std::filesystem;
using testsupport::GameInstall;
using testsupport::readFile;

namespace {

std::size_t countOf(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

std::size_t shippedDefinitions() {
    std::size_t count = 0;
    for (const fs::path& file : fs::recursive_directory_iterator(fs::path(QUORVANE_SOURCE_TREE) / "Content"))
        count += file.filename() == "definition.json";
    return count;
}

TEST(ShippedContent, StartsCleanWithEveryDefinitionLoaded) {
    GameInstall game;
    // The pack replaces the install's own stand-ins for the mob drops.
    fs::remove_all(game.root() / "Content");
    testsupport::copyShippedContent(game.root() / "Content");
    testsupport::RunOptions options;
    options.signalAfter = "ЗАПУСК ИГРЫ: 100% Готово";
    options.signal = SIGTERM;
    const testsupport::RunResult result = game.run(options);
    ASSERT_EQ(result.exitCode, 0) << result.err;

    const std::size_t definitions = shippedDefinitions();
    ASSERT_GE(definitions, 60u);
    EXPECT_EQ(countOf(result.out, "Content loaded: "), definitions) << result.out;

    std::vector<std::string> errorFiles;
    for (const fs::directory_entry& entry : fs::directory_iterator(game.root() / "Content")) {
        const std::string name = entry.path().filename().string();
        if (!name.ends_with("_errors.txt")) continue;
        errorFiles.push_back(name);
        EXPECT_EQ(readFile(entry.path()), "") << name;
    }
    EXPECT_GE(errorFiles.size(), 11u) << "every rule loader writes its error file";
    EXPECT_EQ(readFile(game.root() / "Assets" / "Textures" / "UI" / "ui_errors.txt"), "");
    // Without a sound device the note that the game goes on silently is all it may hold.
    const std::string audio = readFile(game.root() / "audio_errors.txt");
    EXPECT_TRUE(audio.empty() || audio == "Audio output unavailable; game continues silently\n") << audio;
    EXPECT_FALSE(fs::exists(game.root() / "last_error.txt")) << readFile(game.root() / "last_error.txt");
    EXPECT_EQ(result.err.find("definition.json"), std::string::npos) << result.err;
}

}  // namespace
