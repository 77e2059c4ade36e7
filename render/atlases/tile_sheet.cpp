#include "render/atlases/tile_sheet.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <optional>
#include <set>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "platform/file_read.h"
#include "world/block_registry.h"

namespace fs = std::filesystem;

namespace render {

namespace {

constexpr uint32_t kSkinSize = 64;
constexpr SheetPoint kSkinOrigin{192, 448};

// Built-in face texture names whose files carry another name.
const std::array<std::pair<const char*, const char*>, 3> kRenamedTextures = {{
    {"oak_log_top", "wood_top"},
    {"oak_log_side", "wood_side"},
    {"oak_leaves", "leaves"},
}};

const std::array<const char*, 6> kBodyParts = {"head", "body", "left_arm", "right_arm", "left_leg", "right_leg"};
const std::array<const char*, 6> kBodyFaces = {"top", "bottom", "front", "back", "right", "left"};

const std::array<const char*, kPanelCount> kPanelFiles = {
    "window.png", "title.png",   "slot.png",   "slot_hover.png",     "slot_selected.png",
    "tooltip.png", "button.png", "button_hover.png", "button_pressed.png",
};

struct ScreenSkin {
    uint32_t material;
    const char* file;  // relative to the textures folder
};
const std::array<ScreenSkin, 6> kScreenSkins = {{
    {4095, "UI/inventory_skin142.png"},
    {4094, "UI/inventory143.png"},
    {4093, "UI/workbench143.png"},
    {4092, "UI/alchemy143.png"},
    {4091, "UI/furnace143.png"},
    {4090, "UI/chest143.png"},
}};

constexpr uint8_t kPanelEdge[4] = {155, 140, 115, 255};
constexpr uint8_t kPanelFill[4] = {72, 69, 64, 255};
constexpr uint8_t kCheckerLight[4] = {255, 0, 255, 255};
constexpr uint8_t kCheckerDark[4] = {25, 25, 25, 255};

platform::Image solidImage(uint32_t width, uint32_t height, uint8_t value) {
    platform::Image image;
    image.width = width;
    image.height = height;
    image.pixels.assign(std::size_t{width} * height * 4, value);
    return image;
}

void setPixel(platform::Image& image, uint32_t x, uint32_t y, const uint8_t (&rgba)[4]) {
    std::memcpy(&image.pixels[(std::size_t{y} * image.width + x) * 4], rgba, 4);
}

void blit(platform::Image& target, const platform::Image& source, SheetPoint at) {
    for (uint32_t row = 0; row < source.height; ++row) {
        std::memcpy(&target.pixels[(std::size_t{at.y + row} * target.width + at.x) * 4],
                    &source.pixels[std::size_t{row} * source.width * 4], std::size_t{source.width} * 4);
    }
}

bool fileExists(const fs::path& file) {
    std::error_code error;
    return fs::exists(file, error);
}

// A file decoded and scaled nearest-neighbour to width x height; nothing when it does not load, and
// then, when asked for, why not.
std::optional<platform::Image> decodeTile(const fs::path& file, uint32_t width, uint32_t height,
                                          std::string* why = nullptr) {
    if (file.empty()) return std::nullopt;
    const std::optional<std::string> bytes = platform::readFileBytes(file);
    if (!bytes) {
        if (why) *why = fileExists(file) ? "texture cannot be read" : "texture file missing";
        return std::nullopt;
    }
    try {
        const auto* data = reinterpret_cast<const uint8_t*>(bytes->data());
        return platform::scaleNearest(platform::decodePngBytes(data, bytes->size()), width, height);
    } catch (const std::exception& failure) {
        if (why) *why = failure.what();
        return std::nullopt;
    }
}

fs::path builtinFaceFile(uint32_t layer, const fs::path& textureRoot) {
    std::string name = voxel::faceTexture(static_cast<uint8_t>(layer / 6), static_cast<uint8_t>(layer % 6));
    for (const auto& [from, to] : kRenamedTextures) {
        if (name == from) name = to;
    }
    return textureRoot / (name + ".png");
}

fs::path bodyPartFile(uint32_t layer, const fs::path& textureRoot) {
    const uint32_t k = layer - kBuiltinFaceLayers;
    const fs::path folder = textureRoot.parent_path() / "Character";
    const std::string part = kBodyParts[k / 6];
    fs::path perFace = folder / (part + "_" + kBodyFaces[k % 6] + ".png");
    return fileExists(perFace) ? perFace : folder / (part + ".png");
}

fs::path customFaceFile(uint32_t layer) {
    const uint32_t id = (layer - kFirstCustomLayer) / 7 + voxel::builtinBlockCount;
    const uint32_t face = (layer - kFirstCustomLayer) % 7;
    if (!voxel::isValidBlockId(id)) return {};
    const voxel::BlockDef& def = voxel::blockDef(static_cast<uint8_t>(id));
    if (face == 6) return fs::path(def.icon);
    if (def.textures.empty()) return {};
    return fs::path(def.textures[std::min<std::size_t>(face, def.textures.size() - 1)]);
}

// The icon layer of a custom block that names no icon file: the icon is painted from its model
// once the tiles are loaded, so nothing is missing there.
bool paintedIcon(uint32_t layer, const fs::path& file) {
    return layer >= kFirstCustomLayer && (layer - kFirstCustomLayer) % 7 == 6 && file.empty();
}

// Who a missing layer belongs to when it names no file: only custom blocks can.
std::string blockWithoutTexture(uint32_t layer) {
    const uint32_t id = (layer - kFirstCustomLayer) / 7 + voxel::builtinBlockCount;
    const voxel::BlockDef& def = voxel::blockDef(static_cast<uint8_t>(id));
    return def.id.empty() ? def.name : def.id;
}

}  // namespace

SheetLayout sheetLayout(std::size_t blockCount, std::size_t npcCount) {
    SheetLayout layout;
    const std::size_t custom = blockCount > voxel::builtinBlockCount ? blockCount - voxel::builtinBlockCount : 0;
    layout.layers = kFirstCustomLayer + 7 * static_cast<uint32_t>(custom);
    // Room for the nine panel tiles after the last layer, never fewer rows than the built-ins need.
    layout.rows = std::max<uint32_t>((layout.layers + 16) / kTilesPerRow, 16);
    layout.npcCount = static_cast<uint32_t>(npcCount);
    layout.npcTile = npcCount <= 32 ? 256 : 128;
    const uint32_t perRow = kSheetWidth / layout.npcTile;
    layout.height = kTileSize * layout.rows + layout.npcTile * ((layout.npcCount + perRow - 1) / perRow);
    return layout;
}

SheetPoint tileOrigin(uint32_t tile) {
    return {kTileSize * (tile % kTilesPerRow), kTileSize * (tile / kTilesPerRow)};
}

SheetPoint npcOrigin(const SheetLayout& layout, uint32_t index) {
    const uint32_t perRow = kSheetWidth / layout.npcTile;
    return {layout.npcTile * (index % perRow), kTileSize * layout.rows + layout.npcTile * (index / perRow)};
}

platform::Image checkerboard() {
    platform::Image image = solidImage(kTileSize, kTileSize, 0);
    for (uint32_t y = 0; y < kTileSize; ++y) {
        for (uint32_t x = 0; x < kTileSize; ++x) setPixel(image, x, y, (x / 8 + y / 8) % 2 == 0 ? kCheckerLight : kCheckerDark);
    }
    return image;
}

platform::Image builtinPanel() {
    platform::Image image = solidImage(kTileSize, kTileSize, 0);
    for (uint32_t y = 0; y < kTileSize; ++y) {
        for (uint32_t x = 0; x < kTileSize; ++x) {
            const bool edge = x < 2 || y < 2 || x >= kTileSize - 2 || y >= kTileSize - 2;
            setPixel(image, x, y, edge ? kPanelEdge : kPanelFill);
        }
    }
    return image;
}

const std::array<const char*, kPanelCount>& panelFiles() {
    return kPanelFiles;
}

fs::path layerTextureFile(uint32_t layer, const fs::path& textureRoot) {
    if (layer < kBuiltinFaceLayers) return builtinFaceFile(layer, textureRoot);
    if (layer < kBodyPartLayerEnd) return bodyPartFile(layer, textureRoot);
    if (layer < kFirstCustomLayer) return {};
    return customFaceFile(layer);
}

TileSheet blankTileSheet(std::size_t blockCount, std::size_t npcCount) {
    TileSheet sheet;
    sheet.layout = sheetLayout(blockCount, npcCount);
    sheet.image = solidImage(kSheetWidth, sheet.layout.height, 255);
    return sheet;
}

void loadLayerTiles(TileSheet& sheet, const fs::path& textureRoot) {
    std::set<std::string> named;  // a file shared by several faces gets one line
    for (uint32_t layer = 0; layer < sheet.layout.layers; ++layer) {
        if (layer >= kBodyPartLayerEnd && layer < kFirstCustomLayer) continue;
        const fs::path file = layerTextureFile(layer, textureRoot);
        const SheetPoint at = tileOrigin(layer);
        sheet.materials.push_back({layer, at.x, at.y, kTileSize, kTileSize, file.string()});
        std::string why;
        if (const std::optional<platform::Image> tile = decodeTile(file, kTileSize, kTileSize, &why)) {
            blit(sheet.image, *tile, at);
            ++sheet.loaded;
            continue;
        }
        blit(sheet.image, checkerboard(), at);
        if (paintedIcon(layer, file)) continue;
        ++sheet.missing;
        const std::string name = file.empty() ? blockWithoutTexture(layer) : file.string();
        if (!named.insert(name).second) continue;
        sheet.missingLines += name + ": " + (file.empty() ? std::string("no texture file") : why) + "\n";
    }
}

bool loadPlayerSkin(TileSheet& sheet, const fs::path& skinFile) {
    sheet.materials.push_back({kPlayerSkinMaterial, kSkinOrigin.x, kSkinOrigin.y, kSkinSize, kSkinSize, skinFile.string()});
    const std::optional<platform::Image> skin = decodeTile(skinFile, kSkinSize, kSkinSize);
    if (skin) blit(sheet.image, *skin, kSkinOrigin);
    return skin.has_value();
}

std::string loadPanelTiles(TileSheet& sheet, const fs::path& uiFolder) {
    std::string errors;
    for (uint32_t i = 0; i < kPanelCount; ++i) {
        const uint32_t tile = sheet.layout.layers + i;
        const SheetPoint at = tileOrigin(tile);
        const fs::path file = uiFolder / kPanelFiles[i];
        sheet.materials.push_back({tile, at.x, at.y, kTileSize, kTileSize, file.string()});
        std::optional<platform::Image> picture = decodeTile(file, kTileSize, kTileSize);
        if (!picture) {
            errors += std::string(kPanelFiles[i]) + ": missing or invalid PNG; using built-in fallback\n";
            picture = builtinPanel();
        }
        blit(sheet.image, *picture, at);
    }
    return errors;
}

void loadNpcTiles(TileSheet& sheet, const std::vector<std::string>& npcTextures) {
    const uint32_t side = sheet.layout.npcTile;
    for (uint32_t i = 0; i < npcTextures.size(); ++i) {
        const SheetPoint at = npcOrigin(sheet.layout, i);
        sheet.materials.push_back({kFirstNpcMaterial + i, at.x, at.y, side, side, npcTextures[i]});
        const std::optional<platform::Image> picture = decodeTile(fs::path(npcTextures[i]), side, side);
        if (!picture) throw std::runtime_error("Cannot load NPC texture: " + npcTextures[i]);
        blit(sheet.image, *picture, at);
    }
}

void listScreenSkins(TileSheet& sheet, const fs::path& texturesFolder) {
    for (const ScreenSkin& skin : kScreenSkins) {
        const fs::path file = texturesFolder / skin.file;
        std::error_code error;
        if (fs::is_regular_file(file, error)) sheet.materials.push_back({skin.material, 0, 0, kTileSize, kTileSize, file.string()});
    }
}

std::string playerTextureLine(bool loaded, const fs::path& skinFile) {
    return "VXM 3 player texture: " + std::string(loaded ? "loaded " : "MISSING ") + skinFile.string() + "\n";
}

std::string textureAtlasLine(const TileSheet& sheet) {
    return "Texture atlas: " + std::to_string(sheet.loaded) + " loaded, " + std::to_string(sheet.missing) +
           " missing (missing = pink checkerboard)\n";
}

}  // namespace render
