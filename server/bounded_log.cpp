#include "server/bounded_log.h"

#include <fstream>
#include <iostream>

namespace fs = std::filesystem;

namespace net {

namespace {

std::uintmax_t fileSize(const fs::path& path) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(path, error);
    return error ? 0 : size;
}

}  // namespace

BoundedLog::BoundedLog(fs::path path, std::uintmax_t maxBytes) : path_(std::move(path)), maxBytes_(maxBytes) {
    if (!path_.empty()) size_ = fileSize(path_);
}

BoundedLog::~BoundedLog() {
    if (leftOut_ != countWritten_) writeCount(0.0);
}

void BoundedLog::write(const std::string& line, double now) {
    const std::uintmax_t bytes = line.size() + 1;
    if (leftOut_ == 0 && size_ + bytes <= maxBytes_) {
        std::cerr << line << '\n';
        append(line + "\n");
        size_ += bytes;
        return;
    }
    ++leftOut_;
    if (leftOut_ == 1 || now - countWrittenAt_ >= 1.0) writeCount(now);
}

void BoundedLog::append(const std::string& text) {
    if (!path_.empty()) std::ofstream(path_, std::ios::binary | std::ios::app) << text;
}

void BoundedLog::writeCount(double now) {
    const std::string line = "Log full: " + std::to_string(leftOut_) + " more lines left out\n";
    if (countBytes_ == 0) std::cerr << line;
    if (!path_.empty()) {
        // Rewritten in place while it is the file's last line; after lines someone else added, anew.
        std::error_code ignored;
        if (countBytes_ != 0 && fileSize(path_) == countAt_ + countBytes_) {
            fs::resize_file(path_, countAt_, ignored);
        } else {
            countAt_ = fileSize(path_);
        }
        append(line);
    }
    countBytes_ = line.size();
    countWritten_ = leftOut_;
    countWrittenAt_ = now;
}

}  // namespace net
