#include "platform/environment.h"

#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <stdexcept>

namespace platform {

std::filesystem::path executablePath() {
    return std::filesystem::read_symlink("/proc/self/exe");
}

bool environmentHas(const char* name) {
    return std::getenv(name) != nullptr;
}

std::optional<std::string> environmentValue(const char* name) {
    const char* value = std::getenv(name);
    if (!value) return std::nullopt;
    return std::string(value);
}

std::string computerName() {
    char name[HOST_NAME_MAX + 1] = {};
    if (gethostname(name, sizeof name - 1) != 0) return {};
    return name;
}

std::array<uint8_t, 16> randomGuidBytes() {
    std::array<uint8_t, 16> bytes{};
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        ssize_t got = getrandom(bytes.data() + filled, bytes.size() - filled, 0);
        if (got < 0) {
            if (errno == EINTR) continue;
            throw std::runtime_error("Cannot read random bytes");
        }
        filled += static_cast<std::size_t>(got);
    }
    return bytes;
}

uint64_t systemTime100ns() {
    // The system clock counts from 1970-01-01 UTC (guaranteed since C++20).
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    using Ticks = std::chrono::duration<int64_t, std::ratio<1, 10'000'000>>;
    return static_cast<uint64_t>(std::chrono::duration_cast<Ticks>(sinceEpoch).count());
}

}  // namespace platform
