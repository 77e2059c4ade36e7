#include "save/save_set.h"

#include <algorithm>
#include <fstream>
#include <set>
#include <stdexcept>
#include <system_error>

#include "platform/file_read.h"
#include "platform/file_replace.h"
#include "platform/file_sync.h"
#include "save/text_lines.h"
#include "save/text_record.h"

namespace fs = std::filesystem;

namespace filesave {

namespace {

constexpr std::string_view kCheckPrefix = "check ";
constexpr std::size_t kHashDigits = 16;
constexpr std::size_t kCheckLineBytes = kCheckPrefix.size() + kHashDigits + 1;

SaveStepHook stepHook = nullptr;

void step(const std::string& name) {
    if (stepHook) stepHook(name);
}

std::string hex16(uint64_t value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text(kHashDigits, '0');
    for (std::size_t k = kHashDigits; k-- > 0; value >>= 4) text[k] = kDigits[value & 15];
    return text;
}

std::optional<uint64_t> parseHex16(std::string_view text) {
    if (text.size() != kHashDigits) return std::nullopt;
    uint64_t value = 0;
    for (const char c : text) {
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (digit < 0) return std::nullopt;
        value = value << 4 | static_cast<uint64_t>(digit);
    }
    return value;
}

fs::path tmpPathOf(fs::path path) {
    return path += ".tmp";
}

std::runtime_error unreadable(const fs::path& path) {
    return std::runtime_error("Unreadable save file, left as it is: " + path.string());
}

// A name the manifest can hold and that stays inside the folder.
bool validName(std::string_view name) {
    if (name.empty() || name.find_first_of(" \r\n\\") != std::string_view::npos) return false;
    for (const fs::path& part : fs::path(name))
        if (part == ".." || part == "." || part.has_root_path()) return false;
    return !fs::path(name).is_absolute();
}

// Writes `path`.tmp and syncs it; a failure names the real file.
void writeTmpAndSync(const fs::path& path, const std::string& bytes) {
    const fs::path tmp = tmpPathOf(path);
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (out.fail()) throw std::runtime_error("Cannot write " + path.string());
    }
    platform::syncFile(tmp);
}

void removeQuietly(const fs::path& path) {
    std::error_code ignored;
    fs::remove(path, ignored);
}

bool matches(const std::optional<std::string>& bytes, const ManifestEntry& entry) {
    return bytes && bytes->size() == entry.size && contentHash(*bytes) == entry.hash;
}

void syncFolders(const fs::path& folder, const std::vector<ManifestEntry>& entries) {
    std::set<fs::path> folders{folder};
    for (const ManifestEntry& entry : entries) folders.insert((folder / entry.name).parent_path());
    for (const fs::path& each : folders) platform::syncFolder(each);
}

std::vector<ManifestEntry> entriesOf(const fs::path& folder, const std::vector<SavedFile>& files) {
    std::vector<ManifestEntry> entries;
    std::set<std::string> seen;
    for (const SavedFile& file : files) {
        const std::string name = file.path.lexically_relative(folder).generic_string();
        if (!validName(name) || !seen.insert(name).second)
            throw std::runtime_error("Cannot write " + file.path.string());
        entries.push_back({name, file.bytes.size(), contentHash(file.bytes)});
    }
    return entries;
}

// Every .tmp is on the disk before the manifest names it; a failure takes back what was written.
void writeTmpFiles(const std::vector<SavedFile>& files, const std::vector<ManifestEntry>& entries) {
    std::size_t written = 0;
    try {
        for (; written < files.size(); ++written) {
            writeTmpAndSync(files[written].path, files[written].bytes);
            step("tmp " + entries[written].name);
        }
    } catch (...) {
        for (std::size_t k = 0; k <= written && k < files.size(); ++k)
            removeQuietly(tmpPathOf(files[k].path));
        throw;
    }
}

}  // namespace

uint64_t contentHash(std::string_view bytes) {
    uint64_t hash = 0xCBF29CE484222325ull;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001B3ull;
    }
    return hash;
}

std::string sealFile(std::string bytes) {
    const uint64_t hash = contentHash(bytes);
    bytes += kCheckPrefix;
    bytes += hex16(hash);
    bytes += '\n';
    return bytes;
}

std::optional<std::string> unsealFile(std::string_view bytes) {
    if (bytes.size() < kCheckLineBytes) return std::string(bytes);
    const std::size_t body = bytes.size() - kCheckLineBytes;
    const std::string_view line = bytes.substr(body);
    if (!line.starts_with(kCheckPrefix) || line.back() != '\n') return std::string(bytes);
    const auto hash = parseHex16(line.substr(kCheckPrefix.size(), kHashDigits));
    if (!hash || *hash != contentHash(bytes.substr(0, body))) return std::nullopt;
    return std::string(bytes.substr(0, body));
}

std::string encodeManifest(const std::vector<ManifestEntry>& entries) {
    std::vector<TextRow> rows;
    for (const ManifestEntry& entry : entries)
        rows.push_back({hex16(entry.hash), std::to_string(entry.size), entry.name});
    return sealFile(formatTextRecord(kManifestTag, rows));
}

std::optional<std::vector<ManifestEntry>> decodeManifest(std::string_view bytes) {
    const std::optional<std::string> text = unsealFile(bytes);
    if (!text || text->size() == bytes.size()) return std::nullopt;  // a manifest is always sealed
    const auto rows = parseTextRecord(*text, kManifestTag, 3, kMaxSaveSetFiles);
    if (!rows) return std::nullopt;
    std::vector<ManifestEntry> entries;
    std::set<std::string_view> seen;
    for (const auto& row : *rows) {
        const auto hash = parseHex16(row[0]);
        const auto size = parseWhole<uint64_t>(row[1]);
        if (!hash || !size || !validName(row[2]) || !seen.insert(row[2]).second) return std::nullopt;
        entries.push_back({std::string(row[2]), *size, *hash});
    }
    return entries;
}

static bool insideFolder(const fs::path& folder, const fs::path& path) {
    return validName(path.lexically_relative(folder).generic_string());
}

void commitSaveSet(const fs::path& folder, const std::vector<SavedFile>& files) {
    // A file outside the folder (a map kept in another world's folder) cannot be named by this
    // folder's manifest: it is committed alone after the set.
    const auto inside = [&](const SavedFile& file) { return insideFolder(folder, file.path); };
    if (!std::all_of(files.begin(), files.end(), inside)) {
        std::vector<SavedFile> set, outside;
        for (const SavedFile& file : files) (inside(file) ? set : outside).push_back(file);
        commitSaveSet(folder, set);
        for (const SavedFile& file : outside) commitSaveSet(file.path.parent_path(), {file});
        return;
    }
    finishInterruptedSave(folder);
    if (files.empty()) return;
    const std::vector<ManifestEntry> entries = entriesOf(folder, files);
    writeTmpFiles(files, entries);
    if (files.size() > 1) {
        const fs::path manifest = folder / kManifestFile;
        try {
            writeTmpAndSync(manifest, encodeManifest(entries));
            platform::replaceFile(tmpPathOf(manifest), manifest);
        } catch (...) {
            removeQuietly(tmpPathOf(manifest));
            for (const SavedFile& file : files) removeQuietly(tmpPathOf(file.path));
            throw;
        }
        platform::syncFolder(folder);
        step("manifest");
    }
    // From here on the save has happened: a failure leaves the manifest, and the next save or the
    // next opening of the world finishes it.
    for (std::size_t k = 0; k < files.size(); ++k) {
        try {
            platform::replaceFile(tmpPathOf(files[k].path), files[k].path);
        } catch (...) {
            // A lone file's .tmp is no part of any save: it goes. A set's stays for the finish.
            if (files.size() == 1) removeQuietly(tmpPathOf(files[k].path));
            throw;
        }
        step("replace " + entries[k].name);
    }
    syncFolders(folder, entries);
    if (files.size() > 1) {
        fs::remove(folder / kManifestFile);
        platform::syncFolder(folder);
    }
    step("done");
}

void finishInterruptedSave(const fs::path& folder) {
    const fs::path manifest = folder / kManifestFile;
    std::error_code error;
    if (!fs::exists(manifest, error)) {
        if (error) throw unreadable(manifest);
        return;
    }
    const std::optional<std::string> bytes = platform::readFileBytes(manifest);
    const auto entries = bytes ? decodeManifest(*bytes) : std::nullopt;
    if (!entries) throw unreadable(manifest);
    // Checked whole before anything moves, so a refused save is left exactly as it was found.
    std::vector<bool> fromTmp;
    for (const ManifestEntry& entry : *entries) {
        const fs::path path = folder / entry.name;
        if (matches(platform::readFileBytes(tmpPathOf(path)), entry))
            fromTmp.push_back(true);
        else if (matches(platform::readFileBytes(path), entry))
            fromTmp.push_back(false);
        else
            throw unreadable(path);
    }
    for (std::size_t k = 0; k < entries->size(); ++k)
        if (fromTmp[k])
            platform::replaceFile(tmpPathOf(folder / (*entries)[k].name), folder / (*entries)[k].name);
    syncFolders(folder, *entries);
    fs::remove(manifest);
    platform::syncFolder(folder);
}

void setSaveStepHook(SaveStepHook hook) {
    stepHook = hook;
}

}  // namespace filesave
