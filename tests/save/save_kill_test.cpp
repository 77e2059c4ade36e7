// Kills a real saving process (save_kill_probe) at every step of its save and opens what it left:
// the world is always the one complete save before or the one being written, never a mix.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/process.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

testsupport::RunResult probe(std::vector<std::string> arguments) {
    testsupport::RunOptions options;
    options.arguments = std::move(arguments);
    options.timeoutSeconds = 60;
    return testsupport::runProgram(QUORVANE_SAVE_KILL_PROBE, options);
}

// What the probe said last (the App's own start-up lines come before it).
std::string verdict(const testsupport::RunResult& result) {
    std::string out = result.out;
    if (!out.empty() && out.back() == '\n') out.pop_back();
    return out.substr(out.find_last_of('\n') + 1);
}

void copyWorld(const fs::path& from, const fs::path& to) {
    fs::remove_all(to);
    fs::copy(from, to, fs::copy_options::recursive);
}

class SaveKill : public testing::TestWithParam<const char*> {};

TEST_P(SaveKill, AKillAtAnyStepLeavesOneWholeSave) {
    testsupport::TempDir dir;
    const fs::path saveA = dir.path() / "a";
    const fs::path world = dir.path() / "world";
    ASSERT_EQ(probe({"prepare", saveA.string()}).exitCode, 0);
    copyWorld(saveA, world);
    ASSERT_EQ(verdict(probe({"check", world.string()})), "A");

    const testsupport::RunResult whole = probe({"save", world.string(), "0", GetParam()});
    ASSERT_EQ(whole.exitCode, 0) << whole.out << whole.err;
    ASSERT_EQ(verdict(probe({"check", world.string()})), "B");
    const int steps = std::stoi(verdict(whole).substr(6));
    // Each of the 19 files (16 state files, a chunk, generation.json, world.txt) a .tmp and a
    // replace, then the manifest and the end.
    ASSERT_EQ(steps, 40);

    bool sawA = false, sawB = false;
    for (int step = 1; step <= steps; ++step) {
        copyWorld(saveA, world);
        const testsupport::RunResult killed =
            probe({"save", world.string(), std::to_string(step), GetParam()});
        ASSERT_EQ(killed.exitCode, 128 + 9) << "step " << step << ": " << killed.out << killed.err;
        const testsupport::RunResult opened = probe({"check", world.string()});
        ASSERT_EQ(opened.exitCode, 0) << "killed at step " << step << ": " << opened.out;
        // Killed before the manifest is in place (step 20), the save never happened.
        EXPECT_EQ(verdict(opened), step < 20 ? "A" : "B") << "killed at step " << step;
        sawA = sawA || verdict(opened) == "A";
        sawB = sawB || verdict(opened) == "B";
        // The first open finished what was left: the second finds the same world.
        EXPECT_EQ(verdict(probe({"check", world.string()})), verdict(opened)) << "step " << step;
    }
    EXPECT_TRUE(sawA && sawB) << "the kills fell on both sides of the commit";
}

INSTANTIATE_TEST_SUITE_P(Saves, SaveKill, testing::Values("world", "autosave"));

}  // namespace
