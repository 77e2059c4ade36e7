#include "support/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

#include "platform/process.h"

extern char** environ;

namespace testsupport {

namespace {

std::vector<std::string> buildEnvironment(const RunOptions& options) {
    std::map<std::string, std::string> env;
    for (char** e = environ; *e; ++e) {
        std::string entry = *e;
        auto eq = entry.find('=');
        if (eq != std::string::npos) env[entry.substr(0, eq)] = entry.substr(eq + 1);
    }
    for (const auto& name : options.unset) env.erase(name);
    for (const auto& [name, value] : options.environment) env[name] = value;
    std::vector<std::string> out;
    for (const auto& [name, value] : env) out.push_back(name + "=" + value);
    return out;
}

void drain(int fd, std::string& into, bool& open) {
    char buffer[4096];
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0) into.append(buffer, static_cast<size_t>(n));
    else open = false;
}

}  // namespace

RunResult runProgram(const std::string& program, const RunOptions& options) {
    // Close-on-exec, so that no other child started meanwhile keeps our pipes open.
    int outPipe[2], errPipe[2];
    if (pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(errPipe, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    std::vector<std::string> env = buildEnvironment(options);
    std::vector<char*> envp, argv;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string prog = program;
    argv.push_back(prog.data());
    std::vector<std::string> args = options.arguments;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    // Bound to the test: a test killed at its time limit takes the program with it.
    const pid_t pid = platform::forkBoundChild([&] {
        dup2(outPipe[1], 1);
        dup2(errPipe[1], 2);
        if (!options.workingDirectory.empty() && chdir(options.workingDirectory.c_str()) != 0) _exit(126);
        execve(prog.c_str(), argv.data(), envp.data());
        _exit(127);
    });
    if (pid < 0) throw std::runtime_error("fork failed");
    close(outPipe[1]);
    close(errPipe[1]);

    RunResult result;
    bool outOpen = true, errOpen = true, signalled = false;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(options.timeoutSeconds);
    while (outOpen || errOpen) {
        pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
        int remaining = static_cast<int>(
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
                .count());
        if (remaining <= 0) {
            kill(pid, SIGKILL);
            break;
        }
        poll(fds, 2, remaining);
        if (outOpen && (fds[0].revents & (POLLIN | POLLHUP))) drain(outPipe[0], result.out, outOpen);
        if (errOpen && (fds[1].revents & (POLLIN | POLLHUP))) drain(errPipe[0], result.err, errOpen);
        if (!signalled && !options.signalAfter.empty() && result.out.find(options.signalAfter) != std::string::npos) {
            kill(pid, options.signal);
            signalled = true;
        }
    }
    close(outPipe[0]);
    close(errPipe[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status)) result.exitCode = 128 + WTERMSIG(status);
    return result;
}

}  // namespace testsupport
