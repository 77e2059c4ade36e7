#include "platform/process.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <thread>

#include "support/process.h"
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

// True once the process is gone, or a zombie that whoever adopted it has not reaped yet.
bool ended(int pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    return !std::getline(stat, line) || line.at(line.rfind(')') + 2) == 'Z';
}

// A test killed at its time limit runs no more code, so nothing of it can stop what it started: each
// way of starting a program must bind the program to the test's process.
TEST(Process, AChildDiesWithAParentKilledOutright) {
    using Start = std::function<void(const std::vector<std::string>&)>;
    const std::pair<const char*, Start> rows[] = {
        // The thread that started it ends first, as a test's helper thread may.
        {"startProcess from a thread that has ended",
         [](const auto& arguments) {
             std::thread([&] { platform::startProcess(kShell, arguments); }).join();
         }},
        {"runProgram",
         [](const auto& arguments) {
             testsupport::RunOptions options;
             options.arguments = arguments;
             testsupport::runProgram(kShell, options);
         }},
    };
    for (const auto& [how, start] : rows) {
        testsupport::TempDir dir;
        const std::filesystem::path pidFile = dir.path() / "pid";
        // It stands for a test, so it runs more than async-signal-safe calls: glibc's fork allows that
        // here, where no other thread of ours holds a lock that it needs.
        const int parent = platform::forkBoundChild([&] {
            try {
                start({"-c", "echo $$ > '" + pidFile.string() + "'; exec /bin/sleep 60"});
            } catch (...) {
                _exit(1);
            }
            for (;;) pause();
        });
        ASSERT_GT(parent, 0);
        std::string written;
        for (const auto deadline = Clock::now() + std::chrono::seconds(10);
             written.find('\n') == std::string::npos && Clock::now() < deadline;
             std::this_thread::sleep_for(std::chrono::milliseconds(10)))
            written = std::filesystem::exists(pidFile) ? testsupport::readFile(pidFile) : "";
        const int child = written.empty() ? -1 : std::stoi(written);
        const bool aliveWithItsParent = child > 0 && !ended(child);
        kill(parent, SIGKILL);
        waitpid(parent, nullptr, 0);
        ASSERT_GT(child, 0) << how;
        EXPECT_TRUE(aliveWithItsParent) << how;
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        while (!ended(child) && Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_TRUE(ended(child)) << how << ": outlived its parent";
        if (!ended(child)) kill(child, SIGKILL);
    }
}

}  // namespace
