#include <fstream>
#include <iostream>

#include "app/app.h"
#include "render/atlases/atlas_packing.h"
#include "render/atlases/item_icon.h"
#include "render/atlases/tile_sheet.h"
#include "world/block_registry.h"

namespace fs = std::filesystem;

namespace {

uint32_t imageSizeLimit(VkPhysicalDevice physical) {
    VkPhysicalDeviceProperties properties{};
    vkGetPhysicalDeviceProperties(physical, &properties);
    return properties.limits.maxImageDimension2D;
}

// Rewritten on every build, so an empty file means every panel loaded.
void writeUiErrors(const fs::path& file, const std::string& lines) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << lines;
}

// The block textures come from the definitions, so the ones that do not load are told in the
// definitions' error file, after the lines of the definition loader of this start-up.
void appendContentErrors(const fs::path& file, const std::string& lines) {
    if (lines.empty()) return;
    std::cerr << lines;
    std::ofstream out(file, std::ios::binary | std::ios::app);
    out << lines;
}

}  // namespace

namespace render {

void destroyAtlases(VkDevice dev, AtlasState& atlases) {
    GpuImage ui = atlases.uiAtlas();
    destroyImage(dev, ui);
    atlases.setUiAtlas(ui);
    GpuImage block = atlases.blockAtlas();
    destroyImage(dev, block);
    atlases.setBlockAtlas(block);
}

}  // namespace render

platform::Image App::buildTextureAtlas(const fs::path& textureRoot, uint32_t sizeLimit) {
    const fs::path texturesFolder = textureRoot.parent_path();
    render::TileSheet sheet = render::blankTileSheet(voxel::blockCount(), atlases.npcTextures.size());
    render::loadLayerTiles(sheet, textureRoot);
    appendContentErrors(files.base / "Content" / "content_errors.txt", sheet.missingLines);

    const fs::path skinFile = texturesFolder.parent_path() / "Models" / "Player" / "player.png";
    const bool skinLoaded = render::loadPlayerSkin(sheet, skinFile);
    std::cout << render::playerTextureLine(skinLoaded, skinFile) << std::flush;
    render::paintMissingIcons(sheet);

    const fs::path uiFolder = texturesFolder / "UI";
    writeUiErrors(uiFolder / "ui_errors.txt", render::loadPanelTiles(sheet, uiFolder));
    render::loadNpcTiles(sheet, atlases.npcTextures);
    render::listScreenSkins(sheet, texturesFolder);

    atlases.layerCount = sheet.layout.layers;
    platform::Image pixels = buildTextureAtlasImage(sheet.materials, sheet.image, sizeLimit);
    std::cout << render::textureAtlasLine(sheet) << std::flush;
    return pixels;
}

platform::Image App::buildTextureAtlasImage(const std::vector<render::MaterialRecord>& materials,
                                            const platform::Image& sheet, uint32_t sizeLimit) {
    render::PackedAtlas packed = render::packAtlas(materials, sheet, sizeLimit);
    atlases.atlasWidth = packed.image.width;
    atlases.atlasHeight = packed.image.height;
    atlases.materialRects = std::move(packed.materialRects);
    atlases.cutOutMaterials = std::move(packed.cutOutMaterials);
    std::cout << render::packedAtlasLine(packed) << std::flush;
    return std::move(packed.image);
}

void App::createBlockAtlas() {
    const uint32_t sizeLimit = imageSizeLimit(gpu.physical);
    const platform::Image pixels = buildTextureAtlas(files.root / "Assets" / "Textures" / "Blocks", sizeLimit);
    atlases.setBlockAtlas(
        render::uploadImage(*this, pixels, {VK_FORMAT_R8G8B8A8_UNORM, VK_FILTER_NEAREST}, render::kBlockAtlasSites));
    createContentMeta();
    buildUiAtlas();
    createAtlasDescriptors();
}
