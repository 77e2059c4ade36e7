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
#include <vector>

#include "save/save_set.h"

namespace filesave {

// The output stream of one save file: over the .tmp file, or over a string while a snapshot is on or
// a save set is collected.
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
    bool inMemory_;
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

// Run by the background writer once a save set it was handed has landed, with the set's folder.
using LandedHook = void (*)(const std::filesystem::path& folder);

// Gathers every save file finished on this thread into one save (save/save_set.h), committed by
// `commit` as a whole: at once, or in snapshot mode as one job of the background writer. A scope
// opened inside another joins it, and the outer one commits. One that is never committed (a write
// failed) is dropped, leaving every file as it was.
class SaveSetScope {
public:
    explicit SaveSetScope(std::filesystem::path folder);
    ~SaveSetScope();
    SaveSetScope(const SaveSetScope&) = delete;
    SaveSetScope& operator=(const SaveSetScope&) = delete;
    // True when the files are on the disk now (an outer scope outside snapshot mode).
    bool commit();
    // Hands the set to the background writer as one job, in any mode. At the job's turn a file whose
    // bytes the disk holds already is left out, so that a save of every file an action may have
    // touched writes only those it changed; `landed` (may be null) runs once the set is on the disk.
    void commitChanged(LandedHook landed);

    struct Set;

private:
    std::unique_ptr<Set> take();
    std::unique_ptr<Set> own_;
};

// True while a save set is collected on the calling thread.
bool collectingSaveSet();

// Replaces finalPath with tmpPath (with retries), the tmp file synced to disk before and the folder
// after; or while a save set is collected, or in snapshot mode, reads tmpPath back and adds the bytes
// to the set or hands them to the background writer.
// Throws when any step fails; a failure before the rename leaves finalPath as it was.
void commit(const std::filesystem::path& tmpPath, const std::filesystem::path& finalPath);
// Hands finished bytes to the background writer directly (snapshot outputs that never touched disk).
void commitBytes(const std::filesystem::path& finalPath, std::string bytes);

// The one background save writer: a thread started at first use that commits each handed-over save
// as a whole (commitSaveSet), strictly in the order they were handed over, drained and joined at
// process exit. A failure is stored for the main loop to raise again; the rest of that save is not
// committed, later saves are.
class BackgroundWriter {
public:
    BackgroundWriter() = default;
    ~BackgroundWriter();
    BackgroundWriter(const BackgroundWriter&) = delete;
    BackgroundWriter& operator=(const BackgroundWriter&) = delete;

    void enqueue(std::filesystem::path finalPath, std::string bytes);
    // `onlyChanged` and `landed`: as SaveSetScope::commitChanged.
    void enqueueSet(std::filesystem::path folder, std::vector<SavedFile> files, bool onlyChanged = false,
                    LandedHook landed = nullptr);
    // The newest bytes for `path` that a queued save or the one being committed still holds: what
    // the file holds once they land. Nothing when the disk has the newest already.
    std::optional<std::string> heldBytes(const std::filesystem::path& path);
    // Waits until the queue is empty and the thread idle.
    void drain();
    // Stops the thread after it has written everything queued.
    void stop();

    std::mutex mutex;
    std::optional<std::string> failure;  // read and cleared by the main loop under `mutex`

private:
    struct Job {
        std::filesystem::path folder;
        std::vector<SavedFile> files;
        bool onlyChanged = false;
        LandedHook landed = nullptr;
    };
    void run();
    // Read by heldBytes under `mutex` while the thread commits it, so never changed until it is done.
    std::optional<Job> current_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<Job> jobs_;
    bool stopping_ = false;
    std::thread thread_;
};

BackgroundWriter& backgroundWriter();
// Raises the failure the writer stored, if any, and clears it.
void rethrowBackgroundFailure();

}  // namespace filesave
