#pragma once
// The most bytes and JSON values each kind of content file may hold. Content is untrusted input and
// the JSON parser spends many times a file's size on its values, so a file above its kind's limit is
// refused from its size on disk, before it is opened, and a parse stops at the value limit.
#include <array>
#include <cstdint>
#include <filesystem>

namespace content {

enum class ContentFile : uint32_t {
    Definition,  // definition.json
    Recipe,
    Potion,
    Crop,
    Loot,
    Mob,
    Dimension,
    Biome,
    Structure,
    Quest,
    Npc,
    Sound,  // the *.<kind>.json files above
    CombatRules,
    RpgRules,
    FoodRules,
    FurnaceRules,
    LivingWorld,  // the single rule files
    Model,        // .bbmodel
    Texture,      // PNG
    Wave,         // WAV
    Count,
};

struct FileSizeLimit {
    ContentFile kind;
    const char* name;  // the file name or the suffix that selects the kind
    uint64_t bytes;
};

inline constexpr std::size_t contentFileKinds = static_cast<std::size_t>(ContentFile::Count);

const std::array<FileSizeLimit, contentFileKinds>& fileSizeLimits();
uint64_t fileSizeLimit(ContentFile kind);

// The parser spends some 200 bytes on each JSON value, so a file of a value every two bytes would
// cost a hundred times its size. A file may hold one value per bytesPerJsonValue of its kind's
// limit: the largest file of every kind spends at least 27 bytes on each.
inline constexpr uint64_t bytesPerJsonValue = 24;
uint64_t jsonValueLimit(ContentFile kind);

// Refuses a file larger than limit with "file too large (<size> bytes, at most <limit>)". Only the
// file system is asked; a file whose size cannot be read passes, and opening it then fails with
// the reader's own message.
void requireFileSize(const std::filesystem::path& file, uint64_t limit);
// The same with the message starting with the file's path and ": ", for a file whose error line
// does not name it: one read on behalf of another (a definition's model, a sound's WAV) or a single
// rule file, whose lines carry only the message.
void requireFileSizeNamed(const std::filesystem::path& file, uint64_t limit);

}  // namespace content
