#include "render/atlases/interface_atlas.h"

#include <cstring>
#include <exception>
#include <stdexcept>
#include <system_error>

#include "ui/ui_state.h"

namespace fs = std::filesystem;

namespace render {

namespace {

constexpr uint32_t kPanelSide = 128;

const std::array<UiPicture, 11> kPictures = {{
    {"window.png", {0, 0, kPanelSide, kPanelSide}},
    {"title.png", {128, 0, kPanelSide, kPanelSide}},
    {"slot.png", {256, 0, kPanelSide, kPanelSide}},
    {"slot_hover.png", {0, 128, kPanelSide, kPanelSide}},
    {"slot_selected.png", {128, 128, kPanelSide, kPanelSide}},
    {"tooltip.png", {256, 128, kPanelSide, kPanelSide}},
    {"button.png", {0, 256, kPanelSide, kPanelSide}},
    {"button_hover.png", {128, 256, kPanelSide, kPanelSide}},
    {"button_pressed.png", {256, 256, kPanelSide, kPanelSide}},
    {"menu_background.png", {0, 384, 1920, 1080}},
    {"font.png", {0, 1464, 1920, 64}},
}};

const std::array<UiPlace, kPreviewCount> kPreviewPlaces = {{
    {0, 1528, 320, 180},
    {320, 1528, 320, 180},
    {640, 1528, 320, 180},
    {960, 1528, 640, 360},
}};

fs::path worldPreview(const std::vector<WorldEntry>& worlds, int64_t index) {
    if (index < 0 || index >= static_cast<int64_t>(worlds.size())) return {};
    return worlds[static_cast<std::size_t>(index)].directory / "preview.png";
}

bool fileExists(const fs::path& file) {
    std::error_code error;
    return fs::exists(file, error);
}

}  // namespace

const std::array<UiPicture, 11>& uiAtlasPictures() {
    return kPictures;
}

UiPlace previewPlace(std::size_t preview) {
    return kPreviewPlaces.at(preview);
}

PreviewList previewList(const std::vector<WorldEntry>& worlds, int32_t scroll, int32_t selected) {
    PreviewList previews;
    for (int64_t row = 0; row < 3; ++row) previews[static_cast<std::size_t>(row)] = worldPreview(worlds, scroll + row);
    previews[3] = worldPreview(worlds, selected);
    return previews;
}

void loadUiTexture(platform::Image& atlas, const fs::path& folder, const std::string& name, const UiPlace& place) {
    platform::Image picture;
    try {
        picture = platform::scaleArea(platform::decodePng(folder / name), place.width, place.height);
    } catch (const std::exception&) {
        throw std::runtime_error("Cannot load interface texture: " + name);
    }
    for (uint32_t row = 0; row < place.height; ++row) {
        std::memcpy(&atlas.pixels[(std::size_t{place.y + row} * atlas.width + place.x) * 4],
                    &picture.pixels[std::size_t{row} * place.width * 4], std::size_t{place.width} * 4);
    }
}

platform::Image loadUiTextures(const fs::path& folder, const PreviewList& previews) {
    platform::Image atlas;
    atlas.width = kUiAtlasWidth;
    atlas.height = kUiAtlasHeight;
    atlas.pixels.assign(std::size_t{kUiAtlasWidth} * kUiAtlasHeight * 4, 0);
    for (const UiPicture& picture : kPictures) loadUiTexture(atlas, folder, picture.file, picture.place);
    for (std::size_t k = 0; k < kPreviewCount; ++k) {
        if (previews[k].empty() || !fileExists(previews[k])) continue;
        // A preview is only a picture of the world: one that does not decode is treated as missing.
        try {
            loadUiTexture(atlas, folder, fs::absolute(previews[k]).string(), kPreviewPlaces[k]);
        } catch (const std::runtime_error&) {
        }
    }
    return atlas;
}

}  // namespace render
