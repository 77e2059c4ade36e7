#pragma once
// The player's settings as the game holds them; `voxel_settings.txt` stores them.
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

struct SettingsBlock {
    // Sections "VFX101" (the first four) and "VFX105" (the last two; [5] is the particle setting:
    // 0 off, 1 reduced, else full).
    std::array<int32_t, 6> visualEffects{1, 1, 2, 1, 2, 2};
    // Section "GFX077".
    int32_t chunkRadius = 6;
    int32_t smoothLight = 1;
    int32_t cornerShadows = 1;
    int32_t textureRelief = 2;
    int32_t textureSmoothing = 2;
    int32_t waterWaves = 2;
    int32_t skyReflection = 2;
    int32_t waterTransparency = 2;
    int32_t fog = 2;
    int32_t brightness = 100;
    int32_t saturation = 105;
    int32_t contrast = 105;
    int32_t skyAndClouds = 2;
    int32_t verticalSync = 1;

    int32_t particles() const { return visualEffects[5]; }
};

// Section "SND078", 0..100 each.
struct VolumeSettings {
    int32_t master = 70;
    int32_t effects = 80;
    int32_t ambient = 50;
};

struct StoredSettings {
    SettingsBlock block;
    VolumeSettings volumes;
};

namespace filesave {

constexpr const char* kSettingsFile = "voxel_settings.txt";

// Parses the settings text over `defaults`: a missing or bad section leaves its defaults, values
// are clamped to their bounds. Never fails.
StoredSettings parseSettings(const std::string& text, const StoredSettings& defaults);
std::string formatSettings(const StoredSettings& settings);
// Reads `path` (a missing or unreadable file leaves the defaults).
StoredSettings readSettingsFile(const std::filesystem::path& path, const StoredSettings& defaults);
// Written in place, not through a temporary file.
void writeSettingsFile(const std::filesystem::path& path, const StoredSettings& settings);

}  // namespace filesave
