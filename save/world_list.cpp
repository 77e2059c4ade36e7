#include "save/world_list.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <stdexcept>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include "app/app.h"
#include "platform/file_read.h"
#include "save/save_set.h"
#include "save/world_file.h"

namespace filesave {

namespace {

constexpr std::string_view kFolderPrefix = "world_";
// Four short lines and a name: anything far larger is not a world file.
constexpr uintmax_t kMaxWorldFileBytes = 64u << 10;

std::optional<uint64_t> worldNumber(const std::string& folderName) {
    if (folderName.size() <= kFolderPrefix.size() || !folderName.starts_with(kFolderPrefix))
        return std::nullopt;
    const std::string_view digits = std::string_view(folderName).substr(kFolderPrefix.size());
    if (digits.front() < '1' || digits.front() > '9') return std::nullopt;
    uint64_t number = 0;
    const char* end = digits.data() + digits.size();
    auto [ptr, ec] = std::from_chars(digits.data(), end, number);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    return number;
}

struct FolderRead {
    std::optional<WorldRecord> record;
    std::string cause;    // why there is no record, for the skipped-folder line
    std::string message;  // a refused world file, naming the file and the cause
};

FolderRead readWorldRecord(const std::filesystem::path& folder) {
    const std::filesystem::path file = folder / kWorldFile;
    std::error_code error;
    // A new world's first save stopped after its commit point has world.txt still in its .tmp:
    // finished here as opening would, so the world is listed. A save that cannot be finished is
    // left for the open to report.
    if (!std::filesystem::exists(file, error) && std::filesystem::exists(folder / kManifestFile, error)) {
        try {
            finishInterruptedSave(folder);
        } catch (const std::runtime_error&) {
        }
    }
    if (!std::filesystem::exists(file, error)) return {std::nullopt, "world.txt is missing", {}};
    const uintmax_t size = std::filesystem::file_size(file, error);
    const std::optional<std::string> text =
        error || size > kMaxWorldFileBytes ? std::nullopt : platform::readFileBytes(file);
    if (!text) return {std::nullopt, "world.txt cannot be read", worldFileMessage(file, {})};
    std::string nameProblem;
    std::optional<WorldRecord> record = parseWorldFile(*text, &nameProblem);
    if (!record) {
        const std::string cause = nameProblem.empty() ? "world.txt is damaged or cut short" : "world name " + nameProblem;
        return {std::nullopt, cause, worldFileMessage(file, nameProblem)};
    }
    return {std::move(record), {}, {}};
}

}  // namespace

WorldListing scanWorldFolders(const std::filesystem::path& saves) {
    std::vector<std::pair<uint64_t, WorldEntry>> found;
    std::vector<std::pair<uint64_t, FolderRead>> skipped;
    std::error_code error;
    for (std::filesystem::directory_iterator it(saves, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code entryError;
        if (!it->is_directory(entryError)) continue;
        const std::string folderName = it->path().filename().string();
        const auto number = worldNumber(folderName);
        if (!number) continue;
        FolderRead read = readWorldRecord(it->path());
        if (!read.record) {
            read.cause = folderName + ": " + read.cause;
            skipped.emplace_back(*number, std::move(read));
            continue;
        }
        found.emplace_back(*number, WorldEntry{ui::utf8ToUtf32(read.record->name), read.record->seed, it->path()});
    }
    const auto byNumber = [](const auto& a, const auto& b) { return a.first < b.first; };
    std::sort(found.begin(), found.end(), byNumber);
    std::sort(skipped.begin(), skipped.end(), byNumber);
    WorldListing listing;
    for (auto& entry : found) listing.worlds.push_back(std::move(entry.second));
    for (auto& [number, read] : skipped) {
        listing.skipped.push_back(std::move(read.cause));
        if (!read.message.empty()) listing.refused.push_back(std::move(read.message));
    }
    return listing;
}

std::filesystem::path moveWorldToBackups(const std::filesystem::path& folder, const std::filesystem::path& backups) {
    const std::filesystem::path kept = backups / "DeletedWorlds";
    std::error_code error;
    std::filesystem::create_directories(kept, error);
    const std::string name = folder.filename().string();
    std::filesystem::path target = kept / name;
    for (int copy = 2; std::filesystem::exists(target, error); ++copy) target = kept / (name + "-" + std::to_string(copy));
    std::filesystem::rename(folder, target, error);
    if (error) throw std::runtime_error("Cannot delete world: " + folder.string());
    return target;
}

std::filesystem::path nextWorldFolder(const std::filesystem::path& saves) {
    uint64_t highest = 0;
    std::error_code error;
    for (std::filesystem::directory_iterator it(saves, error), end; !error && it != end; it.increment(error)) {
        if (const auto number = worldNumber(it->path().filename().string())) highest = std::max(highest, *number);
    }
    return saves / (std::string(kFolderPrefix) + std::to_string(highest + 1));
}

}  // namespace filesave

void App::listWorlds() {
    filesave::WorldListing listing = filesave::scanWorldFolders(files.saves);
    ui.worlds = std::move(listing.worlds);
    saves.worldListProblems = listing.skipped;
    // Rewritten on every listing, so it names what is skipped now; nothing when there are no saves.
    std::error_code error;
    if (!std::filesystem::is_directory(files.saves, error)) return;
    std::string text;
    for (const std::string& line : listing.skipped) text += line + "\n";
    std::ofstream(files.saves / filesave::kWorldListErrorsFile, std::ios::binary | std::ios::trunc) << text;
}
