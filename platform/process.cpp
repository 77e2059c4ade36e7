#include "platform/process.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace platform {

namespace {

constexpr auto kWaitPollInterval = std::chrono::milliseconds(5);

// Runs in the fresh child. The close request watcher blocks SIGINT and SIGTERM, and the child must
// stay stoppable, so it starts with no blocked signals and their default handling.
[[noreturn]] void runBoundChild(pid_t parent, const std::function<void()>& inChild) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    // We may have ended before the binding took hold; then no signal would ever come.
    if (getppid() != parent) _exit(127);
    for (int signal : {SIGINT, SIGTERM, SIGPIPE}) ::signal(signal, SIG_DFL);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    inChild();
    _exit(127);
}

// The parent-death signal follows the thread that forked, not the process, and a caller's thread may
// end before its child should: every fork happens on one thread that lives as long as we do.
class Forker {
public:
    Forker() : owner_(getpid()) {
        // The thread takes no signals, so that the close request watcher still gets them all.
        sigset_t all, previous;
        sigfillset(&all);
        pthread_sigmask(SIG_SETMASK, &all, &previous);
        std::thread([this] { serve(); }).detach();
        pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    }
    pid_t owner() const { return owner_; }

    int fork(const std::function<void()>& inChild) {
        const std::lock_guard oneCaller(callers_);
        std::unique_lock lock(mutex_);
        job_ = &inChild;
        changed_.notify_all();
        changed_.wait(lock, [&] { return job_ == nullptr; });
        return pid_;
    }

private:
    void serve() {
        std::unique_lock lock(mutex_);
        for (;;) {
            changed_.wait(lock, [&] { return job_ != nullptr; });
            const pid_t parent = getpid();
            pid_ = ::fork();
            if (pid_ == 0) runBoundChild(parent, *job_);
            job_ = nullptr;
            changed_.notify_all();
        }
    }

    const pid_t owner_;
    std::mutex callers_, mutex_;
    std::condition_variable changed_;
    const std::function<void()>* job_ = nullptr;
    pid_t pid_ = -1;
};

Forker& forker() {
    static std::mutex guard;
    static Forker* instance = nullptr;  // never destroyed: its thread runs until we exit
    const std::lock_guard lock(guard);
    // A copy of this process made by fork alone has our memory but not the forker's thread.
    if (instance == nullptr || instance->owner() != getpid()) instance = new Forker;
    return *instance;
}

int exitCodeOf(int status) {
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
}

// One look at the child: true once it has ended (and its code is recorded).
bool reap(ChildProcess& child, bool block) {
    int status = 0;
    pid_t result = 0;
    do {
        result = waitpid(child.pid, &status, block ? 0 : WNOHANG);
    } while (result < 0 && errno == EINTR);
    if (result < 0) throw std::runtime_error("Cannot wait for process " + std::to_string(child.pid));
    if (result == 0) return false;
    child.exitCode = exitCodeOf(status);
    child.pid = -1;
    return true;
}

}  // namespace

int forkBoundChild(const std::function<void()>& inChild) {
    return forker().fork(inChild);
}

ChildProcess startProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                          const std::filesystem::path& workingDirectory) {
    std::string programText = program.string();
    const std::string directory = workingDirectory.string();
    std::vector<std::string> argumentTexts = arguments;
    std::vector<char*> argv{programText.data()};
    for (std::string& argument : argumentTexts) argv.push_back(argument.data());
    argv.push_back(nullptr);
    // A child that cannot start says why through a pipe that a successful exec closes unwritten.
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) throw std::runtime_error("Cannot start " + programText);
    const int pid = forkBoundChild([&] {
        if (directory.empty() || chdir(directory.c_str()) == 0)
            execve(programText.c_str(), argv.data(), environ);
        const int error = errno;
        [[maybe_unused]] const ssize_t written = write(report[1], &error, sizeof error);
        _exit(127);
    });
    close(report[1]);
    int error = 0;
    ssize_t got = 0;
    do {
        got = read(report[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    close(report[0]);
    if (pid > 0 && got > 0) waitpid(pid, nullptr, 0);
    if (pid < 0 || got > 0) throw std::runtime_error("Cannot start " + programText);
    return ChildProcess{pid, std::nullopt};
}

std::optional<int> waitProcess(ChildProcess& child, int timeoutMs) {
    if (child.pid < 0) return child.exitCode;
    if (timeoutMs < 0) {
        reap(child, true);
        return child.exitCode;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!reap(child, false)) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return std::nullopt;
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(kWaitPollInterval, deadline - now));
    }
    return child.exitCode;
}

void stopProcess(ChildProcess& child, int graceMs) {
    if (child.pid < 0) return;
    kill(child.pid, SIGTERM);
    if (waitProcess(child, graceMs)) return;
    kill(child.pid, SIGKILL);
    waitProcess(child, -1);
}

}  // namespace platform
