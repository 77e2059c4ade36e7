#pragma once
// A world's save is all or nothing. The files of one save (the state files, the changed chunks, the
// maps, world.txt) are written as "<name>.tmp" and synced, then a manifest naming each with its size
// and hash replaces "save_manifest.txt": that rename is the moment the save happens. Then each .tmp
// replaces its file and the manifest is removed. A manifest found when a world is opened is a save
// that a crash or a failed write stopped after that moment: it is finished from its .tmp files
// (finishInterruptedSave). Without a manifest, leftover .tmp files belong to a save that never
// happened and are ignored, so the world is as the last complete save left it.
//
// Manifest: a text record (save/text_record.h) sealed like a state file:
//   QUORVANE_SAVESET 1
//   <hash, 16 hex digits> <size> <name relative to the world folder>    one line per file
//   end
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace filesave {

inline constexpr const char* kManifestFile = "save_manifest.txt";
inline constexpr const char* kManifestTag = "QUORVANE_SAVESET 1";
inline constexpr std::size_t kMaxSaveSetFiles = 1u << 16;

struct ManifestEntry {
    std::string name;  // relative to the world folder, "/" between folders
    uint64_t size = 0;
    uint64_t hash = 0;
};

// One file of a save: its real path and the bytes it is to hold.
struct SavedFile {
    std::filesystem::path path;
    std::string bytes;
};

// FNV-1a 64 of the bytes.
uint64_t contentHash(std::string_view bytes);

// A state file carries its own check: the line "check <16 hex digits>\n" after its records, the
// FNV-1a 64 of every byte before it. `sealFile` appends it; `unsealFile` gives the records back, and
// nothing when the check does not match. A file without the line, written before files carried one,
// is given back whole: its own reader then decides, and its next save seals it.
std::string sealFile(std::string bytes);
std::optional<std::string> unsealFile(std::string_view bytes);

std::string encodeManifest(const std::vector<ManifestEntry>& entries);
// Nothing for a manifest that is damaged, cut short or names a file twice or outside the folder.
std::optional<std::vector<ManifestEntry>> decodeManifest(std::string_view bytes);

// Commits the files as one save of the world in `folder`: after a crash at any moment the world
// opens either as it was or with every one of these files. A save left unfinished in the folder is
// finished first. A failure before the manifest is in place removes the .tmp files written and
// leaves every file as it was; the message is "Cannot write <path>" or the step's own. A single
// file needs no manifest: its own replace is atomic.
void commitSaveSet(const std::filesystem::path& folder, const std::vector<SavedFile>& files);

// Finishes a save that stopped after its manifest was in place: each .tmp whose bytes match the
// manifest replaces its file. Throws "Unreadable save file, left as it is: <path>" for a damaged
// manifest, and for a file that matches neither its .tmp's nor its own entry: the world cannot be
// put together as one save, and nothing is changed further.
void finishInterruptedSave(const std::filesystem::path& folder);

// Tests stop a save between its steps through this hook; it hears the step's name ("tmp <name>",
// "manifest", "replace <name>", "done"). Null by default.
using SaveStepHook = void (*)(std::string_view step);
void setSaveStepHook(SaveStepHook hook);

}  // namespace filesave
