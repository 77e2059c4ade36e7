#include "content/file_limits.h"

#include <stdexcept>
#include <string>
#include <system_error>

#include "content/text.h"

namespace fs = std::filesystem;

namespace content {

namespace {

constexpr uint64_t KiB = 1024;
constexpr uint64_t MiB = 1024 * KiB;

// Each limit is the largest file of its kind that the readers accept, plus a quarter, rounded up to
// 4 KiB (to 1 MiB above 1 MiB). The largest file has every list at its longest and every text at
// its bound, written generously: one value on each line, indented by a tab per level, every number
// in 20 characters. Ids a reader does not bound count 100 bytes (the longest content id), other
// texts it does not bound 112 (the longest bounded name) and paths 4,096 (this system's limit);
// members no reader reads are not counted, and the quarter leaves room for some. The sizes in the
// comments are those largest files in bytes. No limit is below the one the game had before (64 KiB
// for most JSON), so that no hand-written file with members of its own that loaded then is refused now.
constexpr std::array<FileSizeLimit, contentFileKinds> limits = {{
    // 35,824: every key, six textures, an icon and a model at the path limit, 320 characters of
    // description in three bytes each.
    {ContentFile::Definition, "definition.json", 64 * KiB},
    {ContentFile::Recipe, ".recipe.json", 64 * KiB},  // 1,089: six ingredients
    {ContentFile::Potion, ".potion.json", 64 * KiB},  // 427
    {ContentFile::Crop, ".crop.json", 64 * KiB},      // 1,198: eight stages
    {ContentFile::Loot, ".loot.json", 256 * KiB},     // 12,866: 64 entries
    {ContentFile::Mob, ".mob.json", 64 * KiB},        // 4,147: nine dimensions, eight drops
    // 4,161,442: 16 ores, 28 biomes of six plants, 64 structures of 32 biomes, 128 cuboids, 16 loot
    // chests, 32 traps and 16 spawns.
    {ContentFile::Dimension, ".dimension.json", 5 * MiB},
    {ContentFile::Biome, ".biome.json", 64 * KiB},                  // 2,296
    {ContentFile::Structure, ".structure.json", 256 * KiB},         // 57,482
    {ContentFile::Quest, ".quest.json", 256 * KiB},                  // 1,118
    {ContentFile::Npc, ".npc.json", 256 * KiB},                      // 2,838: 16 quests and a trade
    {ContentFile::Sound, ".sound.json", 16 * KiB},                  // 4,255: a path at the limit
    {ContentFile::CombatRules, "combat_rules.json", 64 * KiB},      // 686
    {ContentFile::RpgRules, "rpg_rules.json", 64 * KiB},            // 147
    {ContentFile::FoodRules, "food_rules.json", 256 * KiB},         // 35,207: each of 255 resources once
    {ContentFile::FurnaceRules, "furnace_rules.json", 256 * KiB},  // 93,619: 255 recipes, 255 fuels
    {ContentFile::LivingWorld, "living_world.json", 1 * MiB},     // 14,004: 8 factions, 32 territories
    // 123,208,824: 100,000 triangles, each a mesh element of its own with one face over three
    // vertices, each named in the outliner; six textures, both display slots, both held views with
    // five clips of 128 keys. Parsing it takes about 850 MB. An NPC model, at most 256 elements, has
    // room beside that much geometry for some 88,000 animation keyframes; the 64 clips of 8,192 that
    // its reader would take come to 485 MB written so, which no parse here may spend.
    {ContentFile::Model, ".bbmodel", 147 * MiB},
    // 8,418,012: 64 x 16,384 pixels (the most a texture has, the tallest the decoder takes), 16 bits
    // a channel with alpha, stored uncompressed in data chunks of 8 KiB.
    {ContentFile::Texture, ".png", 11 * MiB},
    // 105,840,044: ten minutes, the longest sound, of 16-bit stereo at the mixer's 44.1 kHz.
    {ContentFile::Wave, ".wav", 127 * MiB},
}};

constexpr bool inKindOrder() {
    for (std::size_t i = 0; i < limits.size(); ++i) {
        if (static_cast<std::size_t>(limits[i].kind) != i) return false;
    }
    return true;
}
static_assert(inKindOrder(), "the limits are indexed by kind");

std::string tooLarge(const fs::path& file, uint64_t limit) {
    std::error_code error;
    const uintmax_t size = fs::file_size(file, error);
    if (error || size <= limit) return {};
    return "file too large (" + std::to_string(size) + " bytes, at most " + std::to_string(limit) + ")";
}

}  // namespace

const std::array<FileSizeLimit, contentFileKinds>& fileSizeLimits() {
    return limits;
}

uint64_t fileSizeLimit(ContentFile kind) {
    return limits.at(static_cast<std::size_t>(kind)).bytes;
}

uint64_t jsonValueLimit(ContentFile kind) {
    return fileSizeLimit(kind) / bytesPerJsonValue;
}

void requireFileSize(const fs::path& file, uint64_t limit) {
    const std::string message = tooLarge(file, limit);
    if (!message.empty()) throw std::runtime_error(message);
}

void requireFileSizeNamed(const fs::path& file, uint64_t limit) {
    const std::string message = tooLarge(file, limit);
    if (!message.empty()) throw std::runtime_error(pathToUtf8(file) + ": " + message);
}

}  // namespace content
