#include "save/world_list.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include "app/app.h"
#include "platform/file_read.h"
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

// A folder without a world file is no world and says nothing; a refused world file is reported.
std::optional<WorldRecord> readWorldRecord(const std::filesystem::path& folder, std::string& problem) {
    const std::filesystem::path file = folder / kWorldFile;
    std::error_code error;
    if (!std::filesystem::exists(file, error)) return std::nullopt;
    const uintmax_t size = std::filesystem::file_size(file, error);
    const std::optional<std::string> text =
        error || size > kMaxWorldFileBytes ? std::nullopt : platform::readFileBytes(file);
    std::string nameProblem;
    std::optional<WorldRecord> record = text ? parseWorldFile(*text, &nameProblem) : std::nullopt;
    if (!record) problem = worldFileMessage(file, nameProblem);
    return record;
}

}  // namespace

std::vector<WorldEntry> listWorldFolders(const std::filesystem::path& saves,
                                         std::vector<std::string>* problems) {
    std::vector<std::pair<uint64_t, WorldEntry>> found;
    std::vector<std::pair<uint64_t, std::string>> refused;
    std::error_code error;
    for (std::filesystem::directory_iterator it(saves, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code entryError;
        if (!it->is_directory(entryError)) continue;
        const auto number = worldNumber(it->path().filename().string());
        if (!number) continue;
        std::string problem;
        const auto record = readWorldRecord(it->path(), problem);
        if (!problem.empty()) refused.emplace_back(*number, std::move(problem));
        if (!record) continue;
        found.emplace_back(*number, WorldEntry{ui::utf8ToUtf32(record->name), record->seed, it->path()});
    }
    const auto byNumber = [](const auto& a, const auto& b) { return a.first < b.first; };
    std::sort(found.begin(), found.end(), byNumber);
    std::sort(refused.begin(), refused.end(), byNumber);
    if (problems)
        for (auto& entry : refused) problems->push_back(std::move(entry.second));
    std::vector<WorldEntry> worlds;
    for (auto& entry : found) worlds.push_back(std::move(entry.second));
    return worlds;
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
    saves.worldListProblems.clear();
    ui.worlds = filesave::listWorldFolders(files.saves, &saves.worldListProblems);
}
