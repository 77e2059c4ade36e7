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

// Each well above the largest file of its kind the game ships (a few hundred bytes for most JSON,
// 22 KB for a model, 12 KB for a sound) and small enough that parsing stays within some hundred
// megabytes. A model's limit matches its vertex limit: 300,000 vertices take about 8 MB of cubes.
constexpr std::array<FileSizeLimit, contentFileKinds> limits = {{
    {ContentFile::Definition, "definition.json", 64 * KiB},
    {ContentFile::Recipe, ".recipe.json", 64 * KiB},
    {ContentFile::Potion, ".potion.json", 64 * KiB},
    {ContentFile::Crop, ".crop.json", 64 * KiB},
    {ContentFile::Loot, ".loot.json", 256 * KiB},
    {ContentFile::Mob, ".mob.json", 64 * KiB},
    {ContentFile::Dimension, ".dimension.json", 256 * KiB},
    {ContentFile::Biome, ".biome.json", 64 * KiB},
    {ContentFile::Structure, ".structure.json", 256 * KiB},
    {ContentFile::Quest, ".quest.json", 256 * KiB},
    {ContentFile::Npc, ".npc.json", 256 * KiB},
    {ContentFile::Sound, ".sound.json", 16 * KiB},
    {ContentFile::CombatRules, "combat_rules.json", 64 * KiB},
    {ContentFile::RpgRules, "rpg_rules.json", 64 * KiB},
    {ContentFile::FoodRules, "food_rules.json", 256 * KiB},
    {ContentFile::FurnaceRules, "furnace_rules.json", 256 * KiB},
    {ContentFile::LivingWorld, "living_world.json", 1 * MiB},
    {ContentFile::Model, ".bbmodel", 8 * MiB},
    // 1,048,576 pixels of a texture uncompressed, with room for the chunks beside them.
    {ContentFile::Texture, ".png", 8 * MiB},
    // Three minutes of 44.1 kHz 16-bit stereo.
    {ContentFile::Wave, ".wav", 32 * MiB},
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

void requireFileSize(const fs::path& file, uint64_t limit) {
    const std::string message = tooLarge(file, limit);
    if (!message.empty()) throw std::runtime_error(message);
}

void requireFileSizeNamed(const fs::path& file, uint64_t limit) {
    const std::string message = tooLarge(file, limit);
    if (!message.empty()) throw std::runtime_error(pathToUtf8(file) + ": " + message);
}

}  // namespace content
