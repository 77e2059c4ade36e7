#pragma once
// Crash-safe save files: each is written to "<name>.tmp" and then replaces the real file, or, while
// an autosave snapshot is collected on this thread, goes to the background writer instead.
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

namespace filesave {

// The output stream of one save file: over the .tmp file, or over a string while a snapshot is on.
class Output : public std::ostream {
public:
    explicit Output(const std::filesystem::path& finalPath);
    ~Output() override;
    const std::filesystem::path& tmpPath() const { return tmpPath_; }
    const std::filesystem::path& finalPath() const { return finalPath_; }
    // Flushes and closes, then hands the file over (`commit`). Throws on any write failure.
    void finish();

private:
    std::filesystem::path finalPath_;
    std::filesystem::path tmpPath_;
    std::filebuf file_;
    std::stringbuf memory_;
    bool snapshot_;
    bool finished_ = false;
};

// True while an autosave snapshot is collected on the calling thread.
bool snapshotActive();

// Turns on snapshot mode for the calling thread for its lifetime.
class SnapshotScope {
public:
    SnapshotScope();
    ~SnapshotScope();
    SnapshotScope(const SnapshotScope&) = delete;
    SnapshotScope& operator=(const SnapshotScope&) = delete;

private:
    bool previous_;
};

// Replaces finalPath with tmpPath (with retries), the tmp file synced to disk before and the folder
// after; or in snapshot mode reads tmpPath back and hands the bytes to the background writer.
// Throws when any step fails; a failure before the rename leaves finalPath as it was.
void commit(const std::filesystem::path& tmpPath, const std::filesystem::path& finalPath);
// Hands finished bytes to the background writer directly (snapshot outputs that never touched disk).
void commitBytes(const std::filesystem::path& finalPath, std::string bytes);

// The one background save writer: a thread started at first use that writes each handed-over file
// through its own .tmp and replace, drained and joined at process exit. A failure is stored for the
// main loop to raise again.
class BackgroundWriter {
public:
    BackgroundWriter() = default;
    ~BackgroundWriter();
    BackgroundWriter(const BackgroundWriter&) = delete;
    BackgroundWriter& operator=(const BackgroundWriter&) = delete;

    void enqueue(std::filesystem::path finalPath, std::string bytes);
    // Waits until the queue is empty and the thread idle.
    void drain();
    // Stops the thread after it has written everything queued.
    void stop();

    std::mutex mutex;
    std::optional<std::string> failure;  // read and cleared by the main loop under `mutex`

private:
    void run();
    struct Job {
        std::filesystem::path finalPath;
        std::string bytes;
    };
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<Job> jobs_;
    bool busy_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

BackgroundWriter& backgroundWriter();
// Raises the failure the writer stored, if any, and clears it.
void rethrowBackgroundFailure();

}  // namespace filesave
