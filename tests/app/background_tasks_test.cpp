#include <gtest/gtest.h>

#include <stdexcept>

#include "app/background_tasks.h"

namespace {

TEST(Settle, WaitsForTheTaskAndDropsItsResultOrFailure) {
    BackgroundTasks tasks;
    std::future<int> failed = tasks.launch([]() -> int { throw std::runtime_error("lost"); });
    EXPECT_NO_THROW(settle(failed));
    EXPECT_FALSE(failed.valid());

    bool ran = false;
    std::future<void> done = tasks.launch([&ran] { ran = true; });
    settle(done);
    EXPECT_TRUE(ran);
    EXPECT_FALSE(done.valid());

    EXPECT_NO_THROW(settle(done));  // an empty future is left alone
}

}  // namespace
