#pragma once
// The server's log: each line goes to the standard error stream and is appended to a file, until
// the file holds its size; from then on lines are only counted, and one last line says how many were
// left out (rewritten in place as the count grows, at most once a second and when the log closes).
// A flood of bad connections so costs neither disk nor memory.
#include <cstdint>
#include <filesystem>
#include <string>

namespace net {

class BoundedLog {
   public:
    // An empty path keeps the lines to the standard error stream, within the same size.
    BoundedLog(std::filesystem::path path, std::uintmax_t maxBytes);
    ~BoundedLog();
    BoundedLog(const BoundedLog&) = delete;
    BoundedLog& operator=(const BoundedLog&) = delete;

    // `now` in seconds of any steady clock: it spaces the rewrites of the count.
    void write(const std::string& line, double now);
    uint64_t leftOut() const { return leftOut_; }

   private:
    void append(const std::string& text);
    void writeCount(double now);

    std::filesystem::path path_;
    std::uintmax_t maxBytes_;
    std::uintmax_t size_ = 0;  // of the file, as far as this log wrote it
    uint64_t leftOut_ = 0;
    uint64_t countWritten_ = 0;
    std::uintmax_t countAt_ = 0;     // where the count line starts, once written
    std::uintmax_t countBytes_ = 0;  // its length; 0 while none is written
    double countWrittenAt_ = 0.0;
};

}  // namespace net
