#include "platform/file_sync.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace platform {

namespace {

void syncOpened(const std::filesystem::path& path, int flags) {
    int fd = -1;
    do fd = ::open(path.c_str(), flags | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) throw std::runtime_error("Cannot sync " + path.string());
    const bool synced = ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!synced || !closed) throw std::runtime_error("Cannot sync " + path.string());
}

}  // namespace

void syncFile(const std::filesystem::path& path) {
    // fsync flushes the file's pages whichever descriptor asks, so a read-only one will do.
    syncOpened(path, O_RDONLY);
}

void syncFolder(const std::filesystem::path& folder) {
    syncOpened(folder.empty() ? std::filesystem::path(".") : folder, O_RDONLY | O_DIRECTORY);
}

}  // namespace platform
