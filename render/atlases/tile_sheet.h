#pragma once
// The first pass of the block atlas: every texture scaled to a fixed size in a 256-pixel-wide tile
// sheet of 32 x 32 tiles (plus the player skin and the NPC region), with one material record per
// texture. The second pass (render/atlases/atlas_packing.h) packs the same files at their own resolution.
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/image.h"

namespace render {

inline constexpr uint32_t kSheetWidth = 256;
inline constexpr uint32_t kTileSize = 32;
inline constexpr uint32_t kTilesPerRow = kSheetWidth / kTileSize;
inline constexpr uint32_t kBuiltinFaceLayers = 78;  // 13 built-in blocks x 6 faces
inline constexpr uint32_t kBodyPartLayerEnd = 114;  // 6 body parts x 6 faces after the blocks
inline constexpr uint32_t kFirstCustomLayer = 128;
inline constexpr uint32_t kPlayerSkinMaterial = 1856;
inline constexpr uint32_t kFirstNpcMaterial = 1857;
inline constexpr uint32_t kMaterialLimit = 4096;
inline constexpr uint32_t kPanelCount = 9;

// One texture of the atlas: its material id, its rectangle in the tile sheet and its file.
struct MaterialRecord {
    uint32_t id = 0;
    uint32_t x = 0, y = 0, width = 0, height = 0;
    std::string path;  // empty when the texture has no file
};

struct SheetLayout {
    uint32_t layers = 0;   // L: texture layers of the block faces
    uint32_t rows = 0;     // R: tile rows of the grid
    uint32_t npcCount = 0;
    uint32_t npcTile = 0;  // T: side of an NPC tile
    uint32_t height = 0;
};

struct SheetPoint {
    uint32_t x = 0, y = 0;
};

SheetLayout sheetLayout(std::size_t blockCount, std::size_t npcCount);
SheetPoint tileOrigin(uint32_t tile);
SheetPoint npcOrigin(const SheetLayout& layout, uint32_t index);

// Magenta and dark grey in 8-pixel squares: what a missing block texture shows.
platform::Image checkerboard();
// A light 2-pixel frame around a dark fill: what a missing panel file shows.
platform::Image builtinPanel();
// The interface panel files, in material order L + i.
const std::array<const char*, kPanelCount>& panelFiles();

// The file a texture layer is read from (empty when it has none); `textureRoot` is the block
// texture folder, beside which the character folder lies. Layers 114..127 have no file.
std::filesystem::path layerTextureFile(uint32_t layer, const std::filesystem::path& textureRoot);

struct TileSheet {
    SheetLayout layout;
    platform::Image image;
    std::vector<MaterialRecord> materials;
    uint32_t loaded = 0;
    uint32_t missing = 0;
    // One line per texture counted missing, each file named once: "<path>: <why>", or
    // "<content id>: no texture file" for a block that names none (a placeholder).
    std::string missingLines;
};

// An opaque white sheet with its layout, for the current block registry.
TileSheet blankTileSheet(std::size_t blockCount, std::size_t npcCount);
// Every face layer but 114..127: the decoded tile, or the checkerboard when it does not load. A
// texture that does not load counts as missing; the icon layer of a block without an icon file does
// not, as paintMissingIcons fills it. Each missing texture gets its line in missingLines.
void loadLayerTiles(TileSheet& sheet, const std::filesystem::path& textureRoot);
// The 64 x 64 skin at (192, 448), material 1856; true when it loaded (else the region stays white).
bool loadPlayerSkin(TileSheet& sheet, const std::filesystem::path& skinFile);
// The nine panels at tiles L..L+8; returns the lines for ui_errors.txt.
std::string loadPanelTiles(TileSheet& sheet, const std::filesystem::path& uiFolder);
// NPC texture i at its place, material 1857 + i. "Cannot load NPC texture: <path>" when one fails.
void loadNpcTiles(TileSheet& sheet, const std::vector<std::string>& npcTextures);
// The screen skins (materials 4095 down to 4090) whose files exist; `texturesFolder` holds "UI".
void listScreenSkins(TileSheet& sheet, const std::filesystem::path& texturesFolder);

// The player skin line of the atlas build.
std::string playerTextureLine(bool loaded, const std::filesystem::path& skinFile);
// "Texture atlas: <loaded> loaded, <missing> missing (missing = pink checkerboard)"
std::string textureAtlasLine(const TileSheet& sheet);

}  // namespace render
