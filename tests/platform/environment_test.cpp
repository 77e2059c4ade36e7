#include "platform/environment.h"
#include "platform/message_box.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace {

TEST(Environment, EmptyValueCountsAsPresent) {
    const char* name = "QUORVANE_PLATFORM_TEST_VARIABLE";
    ASSERT_EQ(setenv(name, "", 1), 0);
    EXPECT_TRUE(platform::environmentHas(name));
    EXPECT_EQ(platform::environmentValue(name), "");
    ASSERT_EQ(setenv(name, "x=1", 1), 0);
    EXPECT_EQ(platform::environmentValue(name), "x=1");
    ASSERT_EQ(unsetenv(name), 0);
    EXPECT_FALSE(platform::environmentHas(name));
    EXPECT_EQ(platform::environmentValue(name), std::nullopt);
}

TEST(Environment, ExecutablePathNamesThisProgram) {
    const std::filesystem::path path = platform::executablePath();
    EXPECT_TRUE(path.is_absolute());
    EXPECT_EQ(path.filename(), "quorvane_tests_platform");
    EXPECT_TRUE(std::filesystem::is_regular_file(path));
}

TEST(Environment, IdentityAndTime) {
    EXPECT_FALSE(platform::computerName().empty());
    EXPECT_NE(platform::randomGuidBytes(), platform::randomGuidBytes());

    // time() reads a coarse clock that may lag a few milliseconds behind, so it only bounds the
    // value to within a second on either side.
    const auto before = static_cast<uint64_t>(std::time(nullptr) - 1) * 10'000'000;
    const uint64_t now = platform::systemTime100ns();
    const auto after = static_cast<uint64_t>(std::time(nullptr) + 2) * 10'000'000;
    EXPECT_GE(now, before);
    EXPECT_LT(now, after);
}

TEST(MessageBox, WritesTitleAndTextToStderr) {
    testing::internal::CaptureStderr();
    platform::showMessageBox("Quorvane", "Something failed\nsecond line", platform::MessageIcon::Error);
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_NE(printed.find("Quorvane"), std::string::npos);
    EXPECT_NE(printed.find("Something failed\nsecond line"), std::string::npos);
}

}  // namespace
