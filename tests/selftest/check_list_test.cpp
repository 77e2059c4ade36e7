#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "app/app.h"
#include "selftest/check_list.h"
#include "selftest/scenario_world.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testsupport::readFile;

TEST(RunChecks, OkLineOnlyWhenTheBodyReturns) {
    struct Row {
        const char* what;
        std::function<void()> body;
        int code;
        std::string line;
    };
    const Row rows[] = {
        {"every check held", [] { selftest::require(true, "a", "b"); }, 0, "X_OK: done\n"},
        {"a check failed", [] { selftest::require(false, "smelt", "no ingot"); }, 1, "FAILED: smelt: no ingot\n"},
        {"something else failed", [] { throw std::runtime_error("Cannot read x"); }, 1, "FAILED: Cannot read x\n"},
    };
    testsupport::TempDir dir;
    for (const Row& row : rows) {
        const fs::path log = dir.path() / "out" / "x.log";
        EXPECT_EQ(selftest::runChecks(log, "X_OK: done", row.body), row.code) << row.what;
        EXPECT_EQ(readFile(log), row.line) << row.what;
    }
}

TEST(RunChecks, ALogThatCannotBeWrittenIsAFailure) {
    testsupport::TempDir dir;
    testsupport::writeFile(dir.path() / "file", "");
    EXPECT_EQ(selftest::runChecks(dir.path() / "file" / "x.log", "X_OK: done", [] {}), 1);
}

TEST(PrepareScenarioApp, NeverEmptiesAFolderHoldingTheContent) {
    testsupport::TempDir dir;
    const fs::path work = dir.path() / "work";
    testsupport::writeFile(work / "game" / "Content" / "pack.txt", "mine");
    testsupport::writeFile(work / "Content" / "pack.txt", "also mine");
    App app;
    EXPECT_THROW(selftest::prepareScenarioApp(app, work, work / "game"), selftest::CheckFailure);
    EXPECT_THROW(selftest::prepareScenarioApp(app, work, work), selftest::CheckFailure);
    EXPECT_EQ(readFile(work / "game" / "Content" / "pack.txt"), "mine");
    EXPECT_EQ(readFile(work / "Content" / "pack.txt"), "also mine");
    selftest::prepareScenarioApp(app, dir.path() / "beside", work / "game");
    EXPECT_EQ(readFile(dir.path() / "beside" / "Content" / "pack.txt"), "mine");
    EXPECT_EQ(app.files.base, fs::absolute(dir.path() / "beside"));
}

}  // namespace
