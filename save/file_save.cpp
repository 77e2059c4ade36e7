#include "save/file_save.h"

#include <stdexcept>
#include <system_error>

#include "platform/file_read.h"
#include "platform/file_replace.h"
#include "platform/file_sync.h"

namespace filesave {

namespace {

thread_local bool snapshotFlag = false;

std::filesystem::path tmpPathOf(const std::filesystem::path& finalPath) {
    std::filesystem::path tmp = finalPath;
    tmp += ".tmp";
    return tmp;
}

void removeQuietly(const std::filesystem::path& path) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
}

std::runtime_error cannotWrite(const std::filesystem::path& path) {
    return std::runtime_error("Cannot write " + path.string());
}

std::string readWhole(const std::filesystem::path& path) {
    std::optional<std::string> bytes = platform::readFileBytes(path);
    if (!bytes) throw std::runtime_error("Cannot read " + path.string());
    return std::move(*bytes);
}

// The new bytes reach the disk before they replace the old file, and the rename itself is made
// to last: a power loss then leaves either the old file or the new one, never an empty one.
void replaceDurably(const std::filesystem::path& tmpPath, const std::filesystem::path& finalPath) {
    platform::syncFile(tmpPath);
    platform::replaceFile(tmpPath, finalPath);
    platform::syncFolder(finalPath.parent_path());
}

}  // namespace

struct SaveSetScope::Set {
    std::filesystem::path folder;
    std::vector<SavedFile> files;
};

namespace {

thread_local SaveSetScope::Set* collecting = nullptr;

// A file written twice in one save keeps its last bytes.
void addToSet(const std::filesystem::path& finalPath, std::string bytes) {
    for (SavedFile& file : collecting->files)
        if (file.path == finalPath) {
            file.bytes = std::move(bytes);
            return;
        }
    collecting->files.push_back({finalPath, std::move(bytes)});
}

}  // namespace

Output::Output(const std::filesystem::path& finalPath)
    : std::ostream(nullptr),
      finalPath_(finalPath),
      tmpPath_(tmpPathOf(finalPath)),
      inMemory_(snapshotActive() || collectingSaveSet()) {
    if (inMemory_) {
        rdbuf(&memory_);
        return;
    }
    // A queued autosave of the same file must land before this newer copy, and must not share its .tmp.
    backgroundWriter().drain();
    if (file_.open(tmpPath_, std::ios::out | std::ios::binary | std::ios::trunc)) {
        rdbuf(&file_);
    } else {
        setstate(std::ios::badbit);
    }
}

Output::~Output() {
    if (finished_ || inMemory_) return;
    file_.close();
    removeQuietly(tmpPath_);
}

void Output::finish() {
    if (finished_) return;
    flush();
    if (inMemory_) {
        if (fail()) throw cannotWrite(finalPath_);
        if (collectingSaveSet()) addToSet(finalPath_, memory_.str());
        else commitBytes(finalPath_, memory_.str());
    } else {
        const bool closed = file_.close() != nullptr;
        if (fail() || !closed) throw cannotWrite(finalPath_);
        commit(tmpPath_, finalPath_);
    }
    finished_ = true;
}

bool snapshotActive() {
    return snapshotFlag;
}

SnapshotScope::SnapshotScope() : previous_(snapshotFlag) {
    snapshotFlag = true;
}

SnapshotScope::~SnapshotScope() {
    snapshotFlag = previous_;
}

SaveSetScope::SaveSetScope(std::filesystem::path folder) {
    if (collecting) return;
    own_ = std::make_unique<Set>(Set{std::move(folder), {}});
    collecting = own_.get();
}

SaveSetScope::~SaveSetScope() {
    if (own_ && collecting == own_.get()) collecting = nullptr;
}

// The set gathered when this is the outer scope, collecting no more; null for an inner scope or
// an empty set.
std::unique_ptr<SaveSetScope::Set> SaveSetScope::take() {
    if (!own_ || collecting != own_.get()) return nullptr;
    collecting = nullptr;
    if (own_->files.empty()) return nullptr;
    return std::move(own_);
}

bool SaveSetScope::commit() {
    const std::unique_ptr<Set> set = take();
    if (!set) return false;
    if (snapshotActive()) {
        backgroundWriter().enqueueSet(std::move(set->folder), std::move(set->files));
        return false;
    }
    // An autosave still queued is older than this save and lands first.
    backgroundWriter().drain();
    commitSaveSet(set->folder, set->files);
    return true;
}

void SaveSetScope::commitChanged(LandedHook landed) {
    if (const std::unique_ptr<Set> set = take())
        backgroundWriter().enqueueSet(std::move(set->folder), std::move(set->files), true, landed);
}

bool collectingSaveSet() {
    return collecting != nullptr;
}

void commit(const std::filesystem::path& tmpPath, const std::filesystem::path& finalPath) {
    if (!snapshotActive() && !collectingSaveSet()) {
        backgroundWriter().drain();
        replaceDurably(tmpPath, finalPath);
        return;
    }
    std::string bytes = readWhole(tmpPath);
    removeQuietly(tmpPath);
    if (collectingSaveSet()) addToSet(finalPath, std::move(bytes));
    else commitBytes(finalPath, std::move(bytes));
}

void commitBytes(const std::filesystem::path& finalPath, std::string bytes) {
    backgroundWriter().enqueue(finalPath, std::move(bytes));
}

BackgroundWriter::~BackgroundWriter() {
    stop();
}

void BackgroundWriter::enqueue(std::filesystem::path finalPath, std::string bytes) {
    std::filesystem::path folder = finalPath.parent_path();
    enqueueSet(std::move(folder), {SavedFile{std::move(finalPath), std::move(bytes)}});
}

void BackgroundWriter::enqueueSet(std::filesystem::path folder, std::vector<SavedFile> files, bool onlyChanged,
                                  LandedHook landed) {
    {
        std::lock_guard lock(mutex);
        jobs_.push_back(Job{std::move(folder), std::move(files), onlyChanged, landed});
        if (!thread_.joinable()) {
            stopping_ = false;
            thread_ = std::thread(&BackgroundWriter::run, this);
        }
    }
    wake_.notify_one();
}

std::optional<std::string> BackgroundWriter::heldBytes(const std::filesystem::path& path) {
    const auto newestIn = [&](const Job& job) -> const SavedFile* {
        for (auto file = job.files.rbegin(); file != job.files.rend(); ++file)
            if (file->path == path) return &*file;
        return nullptr;
    };
    std::lock_guard lock(mutex);
    for (auto job = jobs_.rbegin(); job != jobs_.rend(); ++job)
        if (const SavedFile* file = newestIn(*job)) return file->bytes;
    if (current_)
        if (const SavedFile* file = newestIn(*current_)) return file->bytes;
    return std::nullopt;
}

void BackgroundWriter::drain() {
    std::unique_lock lock(mutex);
    idle_.wait(lock, [this] { return jobs_.empty() && !current_; });
}

// Called by the thread that enqueues; a later enqueue starts a fresh thread.
void BackgroundWriter::stop() {
    {
        std::lock_guard lock(mutex);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

namespace {

// Compared with the disk as every earlier job left it, an interrupted save finished first: a file
// an earlier job changed after the set was gathered is written again.
std::vector<SavedFile> changedFiles(const std::filesystem::path& folder, const std::vector<SavedFile>& files) {
    finishInterruptedSave(folder);
    std::vector<SavedFile> changed;
    for (const SavedFile& file : files)
        if (platform::readFileBytes(file.path) != file.bytes) changed.push_back(file);
    return changed;
}

}  // namespace

void BackgroundWriter::run() {
    std::unique_lock lock(mutex);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
        if (jobs_.empty()) break;
        current_ = std::move(jobs_.front());
        jobs_.pop_front();
        const Job& job = *current_;
        lock.unlock();
        std::string problem;
        try {
            if (job.onlyChanged) commitSaveSet(job.folder, changedFiles(job.folder, job.files));
            else commitSaveSet(job.folder, job.files);
            if (job.landed) job.landed(job.folder);
        } catch (const std::exception& e) {
            problem = e.what();
        }
        lock.lock();
        current_.reset();
        // The first failure is the one the player needs to see; later ones usually follow from it.
        if (!problem.empty() && !failure) failure = std::move(problem);
        if (jobs_.empty()) idle_.notify_all();
    }
    idle_.notify_all();
}

BackgroundWriter& backgroundWriter() {
    static BackgroundWriter writer;
    return writer;
}

void rethrowBackgroundFailure() {
    BackgroundWriter& writer = backgroundWriter();
    std::lock_guard lock(writer.mutex);
    if (!writer.failure) return;
    std::string message = std::move(*writer.failure);
    writer.failure.reset();
    throw std::runtime_error(message);
}

}  // namespace filesave
