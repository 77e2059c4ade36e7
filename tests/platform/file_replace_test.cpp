#include "platform/file_replace.h"

#include <gtest/gtest.h>

#include <chrono>

#include "support/temp_dir.h"

namespace {

TEST(ReplaceFile, MovesTheSourceOverTheTarget) {
    testsupport::TempDir dir;
    const auto source = dir.path() / "save.txt.tmp";
    const auto target = dir.path() / "save.txt";
    testsupport::writeFile(source, "new");
    testsupport::writeFile(target, "old");
    platform::replaceFile(source, target);
    EXPECT_EQ(testsupport::readFile(target), "new");
    EXPECT_FALSE(std::filesystem::exists(source));

    testsupport::writeFile(source, "newer");
    std::filesystem::remove(target);
    platform::replaceFile(source, target);
    EXPECT_EQ(testsupport::readFile(target), "newer");
}

TEST(ReplaceFile, MissingSourceFailsWithoutRetrying) {
    testsupport::TempDir dir;
    const auto target = dir.path() / "save.txt";
    testsupport::writeFile(target, "old");
    const auto start = std::chrono::steady_clock::now();
    try {
        platform::replaceFile(dir.path() / "missing.tmp", target);
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()).rfind("Cannot replace " + target.string(), 0), 0u) << error.what();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
    EXPECT_EQ(testsupport::readFile(target), "old");
}

}  // namespace
