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

struct KillCase {
    const char* how;
    int steps;            // each file a .tmp and a replace, the manifest and the end
    int manifestStep;     // killed before it, the save never happened
    const char* verdict;  // the save being written
};

void PrintTo(const KillCase& kill, std::ostream* out) { *out << kill.how; }

class SaveKill : public testing::TestWithParam<KillCase> {};

TEST_P(SaveKill, AKillAtAnyStepLeavesOneWholeSave) {
    const KillCase& c = GetParam();
    testsupport::TempDir dir;
    const fs::path saveA = dir.path() / "a";
    const fs::path world = dir.path() / "world";
    ASSERT_EQ(probe({"prepare", saveA.string()}).exitCode, 0);
    copyWorld(saveA, world);
    ASSERT_EQ(verdict(probe({"check", world.string()})), "A");

    const testsupport::RunResult whole = probe({"save", world.string(), "0", c.how});
    ASSERT_EQ(whole.exitCode, 0) << whole.out << whole.err;
    ASSERT_EQ(verdict(probe({"check", world.string()})), c.verdict);
    const int steps = std::stoi(verdict(whole).substr(6));
    ASSERT_EQ(steps, c.steps);

    bool sawA = false, sawSaved = false;
    for (int step = 1; step <= steps; ++step) {
        copyWorld(saveA, world);
        const testsupport::RunResult killed = probe({"save", world.string(), std::to_string(step), c.how});
        ASSERT_EQ(killed.exitCode, 128 + 9) << "step " << step << ": " << killed.out << killed.err;
        const testsupport::RunResult opened = probe({"check", world.string()});
        ASSERT_EQ(opened.exitCode, 0) << "killed at step " << step << ": " << opened.out;
        EXPECT_EQ(verdict(opened), step < c.manifestStep ? "A" : c.verdict) << "killed at step " << step;
        sawA = sawA || verdict(opened) == "A";
        sawSaved = sawSaved || verdict(opened) == c.verdict;
        // The first open finished what was left: the second finds the same world.
        EXPECT_EQ(verdict(probe({"check", world.string()})), verdict(opened)) << "step " << step;
    }
    EXPECT_TRUE(sawA && sawSaved) << "the kills fell on both sides of the commit";
}

// The world's 19 files: 16 state files, a chunk, generation.json and world.txt. A closed window
// changed the inventory and the chests only: a set of exactly two files still needs its manifest.
const KillCase kKills[] = {
    {"world", 40, 20, "B"},
    {"autosave", 40, 20, "B"},
    {"window", 6, 3, "C"},
};

INSTANTIATE_TEST_SUITE_P(Saves, SaveKill, testing::ValuesIn(kKills),
                         [](const testing::TestParamInfo<KillCase>& info) { return info.param.how; });

}  // namespace
