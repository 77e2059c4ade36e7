#include "platform/close_request.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

bool waitFor(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

bool blocked(int signal) {
    sigset_t mask;
    pthread_sigmask(SIG_SETMASK, nullptr, &mask);
    return sigismember(&mask, signal) == 1;
}

TEST(CloseRequest, SignalsBecomeRequests) {
    std::atomic<int> hookCalls{0};
    platform::startCloseRequestWatcher();
    platform::setCloseRequestHook([&] { ++hookCalls; });
    EXPECT_FALSE(platform::closeRequested());
    EXPECT_TRUE(blocked(SIGTERM));

    ASSERT_EQ(kill(getpid(), SIGTERM), 0);
    EXPECT_TRUE(waitFor([] { return platform::closeRequested(); }));
    EXPECT_TRUE(waitFor([&] { return hookCalls == 1; }));

    ASSERT_EQ(kill(getpid(), SIGINT), 0);
    EXPECT_TRUE(waitFor([&] { return hookCalls == 2; }));

    platform::setCloseRequestHook({});
    platform::stopCloseRequestWatcher();
    EXPECT_TRUE(platform::closeRequested());
    EXPECT_FALSE(blocked(SIGTERM));
    EXPECT_FALSE(blocked(SIGINT));
}

}  // namespace
