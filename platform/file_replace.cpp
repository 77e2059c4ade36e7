#include "platform/file_replace.h"

#include <cerrno>
#include <cstdio>
#include <stdexcept>
#include <thread>

namespace platform {

namespace {

constexpr int kReplaceRetries = 31;
constexpr auto kReplaceRetryDelay = std::chrono::milliseconds(100);

// Errors that another process's hold on the file causes and that go away by themselves.
bool isBusy(int error) {
    return error == EBUSY || error == ETXTBSY || error == EAGAIN;
}

}  // namespace

void replaceFile(const std::filesystem::path& source, const std::filesystem::path& target) {
    for (int retry = 0;; ++retry) {
        if (std::rename(source.c_str(), target.c_str()) == 0) return;
        if (!isBusy(errno) || retry == kReplaceRetries)
            throw std::runtime_error("Cannot replace " + target.string() + " with " + source.string());
        std::this_thread::sleep_for(kReplaceRetryDelay);
    }
}

}  // namespace platform
