#include "platform/process.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>

#include "support/temp_dir.h"

namespace {

using Clock = std::chrono::steady_clock;

const char* const kShell = "/bin/sh";

TEST(Process, ReportsTheExitCode) {
    platform::ChildProcess child = platform::startProcess(kShell, {"-c", "exit 3"});
    EXPECT_EQ(platform::waitProcess(child, -1), 3);
    // Reaped once; asking again gives the same answer.
    EXPECT_EQ(platform::waitProcess(child, 0), 3);
}

TEST(Process, RunsInTheWorkingDirectory) {
    testsupport::TempDir dir;
    platform::ChildProcess child = platform::startProcess(kShell, {"-c", "echo here > marker"}, dir.path());
    EXPECT_EQ(platform::waitProcess(child, 5000), 0);
    EXPECT_EQ(testsupport::readFile(dir.path() / "marker"), "here\n");
}

TEST(Process, MissingProgramThrows) {
    testsupport::TempDir dir;
    EXPECT_THROW(platform::startProcess(dir.path() / "no-such-program", {}), std::runtime_error);
}

TEST(Process, StopEndsARunningChild) {
    platform::ChildProcess child = platform::startProcess("/bin/sleep", {"30"});
    EXPECT_EQ(platform::waitProcess(child, 50), std::nullopt);
    const auto start = Clock::now();
    platform::stopProcess(child, 5000);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(child.exitCode, 128 + SIGTERM);
}

TEST(Process, StopKillsAChildThatIgnoresTheRequest) {
    platform::ChildProcess child = platform::startProcess(kShell, {"-c", "trap '' TERM; exec /bin/sleep 30"});
    // Give the shell time to install the trap before asking.
    EXPECT_EQ(platform::waitProcess(child, 200), std::nullopt);
    platform::stopProcess(child, 100);
    EXPECT_EQ(child.exitCode, 128 + SIGKILL);
}

// A caller that blocks SIGTERM for its close request watcher must still be able to stop children.
TEST(Process, ChildrenDoNotInheritBlockedSignals) {
    sigset_t term, previous;
    sigemptyset(&term);
    sigaddset(&term, SIGTERM);
    ASSERT_EQ(pthread_sigmask(SIG_BLOCK, &term, &previous), 0);
    platform::ChildProcess child = platform::startProcess("/bin/sleep", {"30"});
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    platform::stopProcess(child, 5000);
    EXPECT_EQ(child.exitCode, 128 + SIGTERM);
}

}  // namespace
