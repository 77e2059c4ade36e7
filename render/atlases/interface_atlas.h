#pragma once
// The interface atlas: a fixed 1,920 x 1,888 layout of the interface panels, the menu background,
// the font strip and the world-list previews, so the interface shaders address each by constants.
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/image.h"

struct WorldEntry;

namespace render {

inline constexpr uint32_t kUiAtlasWidth = 1920;
inline constexpr uint32_t kUiAtlasHeight = 1888;
inline constexpr std::size_t kPreviewCount = 4;

struct UiPlace {
    uint32_t x = 0, y = 0, width = 0, height = 0;
};

struct UiPicture {
    const char* file;  // in the interface folder
    UiPlace place;
};

// The nine panels (order of the panel table), "menu_background.png" and "font.png".
const std::array<UiPicture, 11>& uiAtlasPictures();
// Previews 0..2 are the visible rows of the world list, preview 3 the selected world.
UiPlace previewPlace(std::size_t preview);

using PreviewList = std::array<std::filesystem::path, kPreviewCount>;
// "preview.png" of the worlds in the three rows from `scroll` and of the selected world; an empty
// path where there is no such world.
PreviewList previewList(const std::vector<WorldEntry>& worlds, int32_t scroll, int32_t selected);

// Decodes `name` (in `folder`, or absolute), scales it to the place with the area filter and copies
// it into the atlas. "Cannot load interface texture: <name>" when it does not load.
void loadUiTexture(platform::Image& atlas, const std::filesystem::path& folder, const std::string& name,
                   const UiPlace& place);
// The whole atlas. Every fixed picture is required; a preview that is missing or does not decode
// leaves its place transparent.
platform::Image loadUiTextures(const std::filesystem::path& folder, const PreviewList& previews);

}  // namespace render
