// The frame benchmark: the game flies its path in an empty output folder and writes its figures.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "integration/game_fixture.h"

namespace fs = std::filesystem;
using testsupport::GameInstall;
using testsupport::readFile;
using testsupport::RunOptions;
using testsupport::RunResult;

namespace {

const char* const kBenchmarkWorld = "QUORVANE_WORLD 1\nname PERFORMANCE\nseed 2\ngeneration 4\n";

RunResult runBenchmark(const GameInstall& game, const fs::path& out, const std::string& frames) {
    RunOptions options;
    options.arguments = {"--performance-self-test", out.string()};
    options.environment.emplace("QUORVANE_PERFORMANCE_FRAMES", frames);
    options.timeoutSeconds = 170;
    return game.run(options);
}

// A content pack in the game root, which the benchmark copies into a folder that has none.
void installContent(const GameInstall& game) {
    fs::create_directories(game.root() / "Content");
    testsupport::writeFile(game.root() / "Content" / "pack.txt", "shipped");
}

TEST(PerformanceScenario, FliesItsPathInAnEmptyFolderAndWritesItsFigures) {
    GameInstall game;
    installContent(game);
    const fs::path out = game.root() / "bench";
    const RunResult result = runBenchmark(game, out, "3");
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    const std::string log = readFile(out / "performance.log");
    std::smatch match;
    const std::regex format(
        R"(PERFORMANCE_OK: frames 3 median_ms (\d+\.\d) p95_ms (\d+\.\d) triangles_median (\d+)\n)");
    ASSERT_TRUE(std::regex_match(log, match, format)) << log;
    EXPECT_LE(std::stod(match[1]), std::stod(match[2])) << "the median is not above the 95th percentile";
    EXPECT_GT(std::stod(match[1]), 0.0);
    EXPECT_GT(std::stoul(match[3]), 1000u) << "terrain in view";
    EXPECT_NE(result.out.find(log), std::string::npos) << "the line is printed too";
    EXPECT_EQ(readFile(out / "Saves" / "world_1" / "world.txt"), kBenchmarkWorld);
    EXPECT_EQ(readFile(out / "Content" / "pack.txt"), "shipped");
    EXPECT_FALSE(fs::exists(out / "last_error.txt"));
}

TEST(PerformanceScenario, LeavesAFolderWithAnotherWorldAlone) {
    GameInstall game;
    const fs::path out = game.root() / "bench";
    const fs::path worldFile = out / "Saves" / "world_1" / "world.txt";
    fs::create_directories(worldFile.parent_path());
    const std::string mine = "QUORVANE_WORLD 1\nname MINE\nseed 7\ngeneration 4\n";
    testsupport::writeFile(worldFile, mine);
    const RunResult result = runBenchmark(game, out, "12");
    EXPECT_EQ(result.exitCode, 1);
    const std::string log = readFile(out / "performance.log");
    EXPECT_EQ(log, "FAILED: " + worldFile.string() +
                       " holds another world; the benchmark needs a folder of its own\n");
    EXPECT_EQ(readFile(worldFile), mine);
}

TEST(PerformanceScenario, RefusesAFrameCountOutOfRange) {
    GameInstall game;
    const fs::path out = game.root() / "bench";
    const RunResult result = runBenchmark(game, out, "0");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(readFile(out / "performance.log"),
              "FAILED: QUORVANE_PERFORMANCE_FRAMES must be a whole number from 1 to 100000, not \"0\"\n");
    EXPECT_NE(result.err.find("FAILED: "), std::string::npos);
}

TEST(PerformanceScenario, AFolderThatCannotHoldTheLogIsAFailure) {
    GameInstall game;
    const fs::path out = game.root() / "bench";
    testsupport::writeFile(out, "a file, not a folder");
    const RunResult result = runBenchmark(game, out, "3");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("FAILED: cannot write "), std::string::npos) << result.err;
    EXPECT_EQ(result.out.find("PERFORMANCE_OK"), std::string::npos);
}

}  // namespace
