#include "platform/file_sync.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/temp_dir.h"

namespace {

TEST(FileSync, SyncsWhatExistsAndRefusesTheRest) {
    testsupport::TempDir dir;
    const auto file = dir.path() / "save.dat";
    testsupport::writeFile(file, "bytes");
    EXPECT_NO_THROW(platform::syncFile(file));
    EXPECT_NO_THROW(platform::syncFolder(dir.path()));
    EXPECT_NO_THROW(platform::syncFolder({})) << "the current folder";

    const struct {
        const char* what;
        std::function<void()> call;
        std::filesystem::path named;
    } refused[] = {
        {"a missing file", [&] { platform::syncFile(dir.path() / "missing"); }, dir.path() / "missing"},
        {"a missing folder", [&] { platform::syncFolder(dir.path() / "gone"); }, dir.path() / "gone"},
        {"a file taken for a folder", [&] { platform::syncFolder(file); }, file},
    };
    for (const auto& c : refused) {
        try {
            c.call();
            ADD_FAILURE() << c.what << " synced";
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(std::string(error.what()), "Cannot sync " + c.named.string()) << c.what;
        }
    }
}

}  // namespace
